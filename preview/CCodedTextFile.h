#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

#include "platform/CFileStamp.h"
#include "text/JapaneseCode.h"

class QTextBlock;
class QTextDocument;
class QTextEdit;

// A plain text file in the editor: read in its own Japanese code (Shift-JIS, JIS, EUC-JP, UTF-8 or plain
// ASCII) with its own line ends, one block of the document per line of the file, and written back the same
// way. Every block remembers the line it was read from; a line the user did not change is written back as
// its original bytes, so saving never changes what the user did not edit, whatever the file held (a code's
// duplicate forms, mixed line ends). A file with bytes that form no character in its code is shown read
// only: the editor would hold a replacement character for each, and a change of code on saving would
// write that instead. New lines take the file's first line end.
class CCodedTextFile final {
public:
    // Larger files show their beginning, read only: the editor would need seconds for them.
    static constexpr qint64 kLargeFileBytes = 8 * 1024 * 1024;
    static constexpr qint64 kLargeFileShownBytes = 1024 * 1024;

    enum class Status {
        Loaded,     // editable
        Beginning,  // a large file: its beginning only, read only
        NotExact,   // the editor cannot hold the text exactly (a paragraph separator in it): read only
        StrayBytes, // bytes that form no character in the file's code: shown, read only
        Binary,     // not text at all: nothing was loaded
        NotFound,   // the file could not be opened
    };
    enum class SaveResult { Saved, KeptUnchanged, Failed };

    // Reads the file into the editor as plain text, the caret at the start. The text is marked unchanged.
    Status load(const QString& path, QTextEdit& editor);
    // Writes the document to the path in the file's code and line ends. A changed line with a character
    // that the code cannot hold is not dropped: the user is asked whether to save the whole text as UTF-8
    // instead (Yes) or to keep the file unchanged (No). A file that another program changed since it was
    // read is not written over unasked. Failures to write are told to the user; the file
    // then stays as it was. After a save the document is marked unchanged.
    SaveResult save(const QString& path, QTextDocument& document);

    // The line end the block is written with (its own, or the file's first for a new line; none for the
    // last block).
    int lineEndOf(const QTextBlock& block) const;

    // The position in the document of a byte offset in the file as stored (a content search's hit). Lines
    // the user changed count as they were read.
    int positionOfFileOffset(const QTextDocument& document, qint64 offset) const;

    int code() const { return m_code; }
    int lineEnd() const { return m_lineEnd; }
    qint64 fileSize() const { return m_fileSize; }

private:
    bool encodeDocument(QTextDocument& document, int code, QByteArray& bytes, QString* badCharacter,
                        int* badLine) const;
    static void rememberOrigins(QTextDocument& document, const QByteArray& written);

    int m_code = jtext::kCodeNone;
    int m_lineEnd = jtext::kLineEndNone;
    qint64 m_fileSize = 0;
    bool m_byteOrderMark = false;
    // The file as it was read or last written, to notice another program's change before a save.
    QString m_stampedPath;
    std::optional<CFileStamp> m_stamp;
};
