#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a text document as RTF: what the memo editor produces (fonts, sizes, colours, bold, italic,
// underline, strike-out, paragraphs). Text is code page 932: ASCII as it is, Japanese as \'hh escapes of
// its Shift-JIS bytes, and characters that code page 932 cannot hold as \uN with "?" for older readers.
class CRtfWriter final {
public:
    CRtfWriter() = delete;

    static QByteArray write(const QTextDocument& doc);
};
