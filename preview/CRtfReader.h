#pragma once

#include <QByteArray>
#include <QStringList>

class QString;
class QTextDocument;

// Reads RTF into a text document: the text with its fonts, sizes, colours, bold, italic, underline and
// strike-out, and its paragraphs. Text in code page 932 (\ansicpg932 or a font of character set 128) comes
// through Shift-JIS; other Windows code pages through the system's converters; \uN through Unicode.
// Destinations that hold no text (font and colour tables aside: pictures, headers, {\*...}) are skipped, so
// RTF written by other programs shows its text. Any input is safe: a group nesting deeper than the reader
// keeps, a truncated file or garbage ends the text where it becomes unreadable, never in a crash. The
// reader says what the file held that the document does not keep (a save would drop it): pictures,
// tables, fields, style sheets, formats it does not read.
class CRtfReader final {
public:
    CRtfReader() = delete;

    // Replaces the document's contents. False, with the reason in *error, when the bytes are not RTF at all
    // (no "{\rtf" at the start) or nest groups deeper than 1000 levels; the document then holds the text
    // read up to that point. An RTF file that ends early is read as far as it goes. *notKept, when given,
    // receives the kinds of what was not kept, each once, as the user reads them ("図", "表", ...); empty
    // when the document holds the whole file. The reading is one edit, not an undo step.
    static bool read(const QByteArray& rtf, QTextDocument& into, QString* error, QStringList* notKept = nullptr);
};
