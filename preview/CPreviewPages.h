#pragma once

#include <QString>

// The small pages the preview pane shows in its browser for files the browser should not open itself: a
// file information page and a page that plays a media file. Every page overwrites one fixed file in a
// folder only this user can write: $XDG_RUNTIME_DIR when it is such a folder, else a folder of our own
// made with mkdtemp in the temporary folder. The page is opened without following a link, so nothing
// planted at its name is written through. Each writer returns the page's path (also when writing failed:
// *error then says why), or "about:blank" when no private folder could be made.
// Pages are UTF-8 and say so; every text placed in them is HTML-escaped and file links are real file URLs.
class CPreviewPages final {
public:
    CPreviewPages() = delete;

    // "VemtoHtmlPreview.html" in the private folder, "" when none can be made.
    static QString previewPagePath();

    // The title as heading, the file name as a link to the file, its size and its creation and last change
    // times.
    static QString writeFileInfoPage(const QString& path, const QString& title, QString* error);

    // A <video> (with a height of the pane's height minus 50, never wider than the pane) or an <audio>
    // element with controls, which plays the file in place; it does not start by itself.
    static QString writeMediaPage(const QString& path, bool video, int paneHeight, QString* error);

    // The information page of the current item titled "バイナリファイル", or "about:blank" (no file is
    // written) when there is no current item: the page that makes the browser let go of a document.
    static QString writeBlankInfoPage(const QString& currentPathOrEmpty, QString* error);

    // The page text around a body: the charset declaration and the title in the head.
    static QByteArray pageBytes(const QString& title, const QString& body);
};
