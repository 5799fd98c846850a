#include "preview/CRtfWriter.h"

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>
#include <optional>
#include <vector>

#include "text/Cp932.h"

namespace {

// The character format of one stretch of text, as RTF describes it.
struct RunFormat {
    int font = 0;         // index in the font table
    int halfPoints = 20;  // \fs
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int colour = 0;       // index in the colour table; 0 is the automatic colour
};

void appendHex(QByteArray& out, unsigned char byte) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\'";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

// Text as code page 932 RTF: ASCII printable characters as they are (RTF's own three escaped), Japanese as
// \'hh per byte (a trail byte may be "\" or "{"), anything else as \uN? with N the signed UTF-16 unit.
void appendText(QByteArray& out, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t unit = c.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit == u'\t') {
            out += "\\tab ";
        } else if (unit == QChar::LineSeparator || unit == u'\n' || unit == u'\r' || unit == QChar::ParagraphSeparator) {
            out += "\\line ";
        } else if (unit == QChar::Nbsp) {
            out += "\\~";
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char32_t codePoint = unit;
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                codePoint = QChar::surrogateToUcs4(c, text.at(i + 1));
            }
            const std::optional<std::uint16_t> code =
                codePoint < 0x80 ? std::nullopt : jtext::cp932Code(codePoint);
            if (code) {
                if (*code > 0xFF) {
                    appendHex(out, static_cast<unsigned char>(*code >> 8));
                }
                appendHex(out, static_cast<unsigned char>(*code & 0xFF));
                continue;
            }
            // Control characters and characters outside code page 932, one \u per UTF-16 unit.
            const bool pair = codePoint > 0xFFFF;
            for (int k = 0; k < (pair ? 2 : 1); ++k) {
                out += "\\u" + QByteArray::number(static_cast<qint16>(text.at(i + k).unicode())) + '?';
            }
            if (pair) {
                ++i;
            }
        }
    }
}

// The font table entry's name: the family in code page 932, escaped as text is.
QByteArray fontEntry(int index, const QString& family) {
    QByteArray entry = "{\\f" + QByteArray::number(index) + "\\fnil\\fcharset128 ";
    appendText(entry, family);
    entry += ";}";
    return entry;
}

}  // namespace

QByteArray CRtfWriter::write(const QTextDocument& doc) {
    QStringList fonts;
    std::vector<QColor> colours;
    auto fontIndex = [&](const QString& family) {
        qsizetype index = fonts.indexOf(family);
        if (index < 0) {
            fonts.append(family);
            index = fonts.size() - 1;
        }
        return static_cast<int>(index);
    };
    auto colourIndex = [&](const QColor& colour) {
        for (std::size_t i = 0; i < colours.size(); ++i) {
            if (colours[i] == colour) {
                return static_cast<int>(i) + 1;
            }
        }
        colours.push_back(colour);
        return static_cast<int>(colours.size());
    };
    const QFont defaultFont = doc.defaultFont();
    auto familyOf = [](const QFont& font) {
        const QStringList families = font.families();
        return families.isEmpty() ? font.family() : families.front();
    };
    auto runFormat = [&](const QTextCharFormat& format) {
        const QFont font = format.font().resolve(defaultFont);
        RunFormat run;
        run.font = fontIndex(familyOf(font));
        double points = font.pointSizeF();
        if (points <= 0 && font.pixelSize() > 0) {
            points = font.pixelSize() * 72.0 / 96.0;
        }
        run.halfPoints = points > 0 ? static_cast<int>(std::lround(points * 2)) : 20;
        run.bold = font.weight() > QFont::Medium;
        run.italic = font.italic();
        run.underline = font.underline();
        run.strikeOut = font.strikeOut();
        if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush) {
            run.colour = colourIndex(format.foreground().color());
        }
        return run;
    };

    fontIndex(familyOf(defaultFont));
    QByteArray body;
    RunFormat current;
    bool first = true;
    auto switchTo = [&](const RunFormat& next) {
        QByteArray words;
        auto flag = [&](bool now, bool before, const char* on, const char* off) {
            if (first || now != before) {
                words += now ? on : off;
            }
        };
        if (first || next.font != current.font) {
            words += "\\f" + QByteArray::number(next.font);
        }
        if (first || next.halfPoints != current.halfPoints) {
            words += "\\fs" + QByteArray::number(next.halfPoints);
        }
        flag(next.bold, current.bold, "\\b", "\\b0");
        flag(next.italic, current.italic, "\\i", "\\i0");
        flag(next.underline, current.underline, "\\ul", "\\ulnone");
        flag(next.strikeOut, current.strikeOut, "\\strike", "\\strike0");
        if (first || next.colour != current.colour) {
            words += "\\cf" + QByteArray::number(next.colour);
        }
        if (!words.isEmpty()) {
            body += words + ' ';
        }
        current = next;
        first = false;
    };

    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin()) {
            body += "\\par\r\n";
        }
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.text().isEmpty()) {
                continue;
            }
            switchTo(runFormat(fragment.charFormat()));
            appendText(body, fragment.text());
            empty = false;
        }
        if (empty) {
            switchTo(runFormat(block.charFormat()));
        }
    }

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1041{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i) {
        rtf += fontEntry(i, fonts.at(i));
    }
    rtf += "}\r\n";
    if (!colours.empty()) {
        rtf += "{\\colortbl ;";
        for (const QColor& colour : colours) {
            rtf += "\\red" + QByteArray::number(colour.red()) + "\\green" + QByteArray::number(colour.green()) +
                   "\\blue" + QByteArray::number(colour.blue()) + ';';
        }
        rtf += "}\r\n";
    }
    rtf += "\\uc1\\pard ";
    rtf += body;
    rtf += "\\par\r\n}\r\n";
    return rtf;
}
