#pragma once

#include <QString>

class CExtArray;

// Which viewer the preview pane shows a file item with, decided by the file's extension (compared
// ignoring case) in this order: bitmaps, idea-tree files, video, audio, executables, the no-preview list;
// then with browser mode on the browser shows everything else (a workbook the browser already shows is
// not loaded again); with it off rich text, workbooks and documents, images, and text for the rest. A
// path without "." is text.
class CViewerChoice final {
public:
    enum class Viewer {
        Image,
        IdeaTree,
        MediaVideo,
        MediaAudio,
        Binary,
        Browser,
        BrowserAlreadyShown,
        RichText,
        Text,
    };

    // `browserLocation` is the address the browser shows now ("" for none).
    static Viewer choose(const QString& path, bool browserMode, const CExtArray* noPreview,
                         const QString& browserLocation);
    // The text after the last "." of the path ("" when it has none).
    static QString extensionOf(const QString& path);
    // The address of a local file as the browser reports it.
    static QString fileUrl(const QString& path);
    // True for the extensions the image preview takes.
    static bool isImageExtension(const QString& extension);
};
