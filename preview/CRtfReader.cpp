#include "preview/CRtfReader.h"

#include <QColor>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringDecoder>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

#include "text/Cp932.h"

namespace {

constexpr int kMaxGroupDepth = 1000;
constexpr int kDefaultHalfPoints = 24;  // RTF's default size, 12 points

enum class Destination { Text, FontTable, ColourTable, Skip };

// What a group carries: where its text goes and the character format in force.
struct State {
    Destination destination = Destination::Text;
    int font = -1;
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int colour = 0;
    int unicodeSkip = 1;  // \uc: fallback characters that follow each \u

    bool sameFormat(const State& other) const {
        return font == other.font && halfPoints == other.halfPoints && bold == other.bold &&
               italic == other.italic && underline == other.underline && strikeOut == other.strikeOut &&
               colour == other.colour;
    }
};

// What a rich text can hold that the document does not keep: a save would drop it. The names are shown to
// the user.
enum class Lost { Picture, HeaderFooter, Footnote, Comment, Object, Field, Table, StyleSheet, Info, List, Other };

QString nameOf(Lost kind) {
    switch (kind) {
    case Lost::Picture: return QStringLiteral("図");
    case Lost::HeaderFooter: return QStringLiteral("ヘッダー・フッター");
    case Lost::Footnote: return QStringLiteral("脚注");
    case Lost::Comment: return QStringLiteral("コメント");
    case Lost::Object: return QStringLiteral("埋め込みオブジェクト");
    case Lost::Field: return QStringLiteral("フィールド");
    case Lost::Table: return QStringLiteral("表");
    case Lost::StyleSheet: return QStringLiteral("スタイルシート");
    case Lost::Info: return QStringLiteral("文書情報");
    case Lost::List: return QStringLiteral("箇条書き");
    case Lost::Other: break;
    }
    return QStringLiteral("その他の書式");
}

Lost kindOf(const QByteArray& word) {
    static const std::map<QByteArray, Lost> kKinds = {
        {"pict", Lost::Picture},        {"shppict", Lost::Picture},        {"nonshppict", Lost::Picture},
        {"shp", Lost::Picture},         {"do", Lost::Picture},             {"header", Lost::HeaderFooter},
        {"headerl", Lost::HeaderFooter}, {"headerr", Lost::HeaderFooter},  {"headerf", Lost::HeaderFooter},
        {"footer", Lost::HeaderFooter}, {"footerl", Lost::HeaderFooter},   {"footerr", Lost::HeaderFooter},
        {"footerf", Lost::HeaderFooter}, {"footnote", Lost::Footnote},     {"annotation", Lost::Comment},
        {"atnid", Lost::Comment},       {"atnauthor", Lost::Comment},      {"atrfstart", Lost::Comment},
        {"atrfend", Lost::Comment},     {"object", Lost::Object},          {"objdata", Lost::Object},
        {"field", Lost::Field},         {"fldinst", Lost::Field},          {"fldrslt", Lost::Field},          {"datafield", Lost::Field},
        {"trowd", Lost::Table},         {"cell", Lost::Table},             {"row", Lost::Table},
        {"intbl", Lost::Table},         {"cellx", Lost::Table},            {"nestcell", Lost::Table},
        {"nestrow", Lost::Table},       {"nesttableprops", Lost::Table},   {"stylesheet", Lost::StyleSheet},
        {"info", Lost::Info},           {"listtable", Lost::List},         {"listoverridetable", Lost::List},
        {"listtext", Lost::List},       {"pntext", Lost::List},            {"pn", Lost::List},
        {"ls", Lost::List}};
    const auto found = kKinds.find(word);
    return found == kKinds.end() ? Lost::Other : found->second;
}

// Words that the document keeps, or that carry nothing a save would miss (language tags, revision marks,
// view settings, the writing program's name): a file made only of these opens for editing.
bool isKeptWord(const QByteArray& word) {
    static const QSet<QByteArray> kKept = {
        "rtf",     "ansi",     "ansicpg",  "mac",       "pc",        "pca",      "deff",     "uc",
        "u",       "f",        "fs",       "b",         "i",         "ul",       "ulnone",   "strike",
        "cf",      "plain",    "pard",     "par",       "\n",       "\r",      "line",     "tab",
        "\\",    "{",        "}",        "~",         "_",         "emdash",   "endash",   "lquote",
        "rquote",  "ldblquote", "rdblquote", "bullet",  "emspace",   "enspace",  "fonttbl",  "colortbl",
        "deflang", "deflangfe", "adeflang", "adeflangfe", "lang",    "langfe",   "langnp",   "langfenp",
        "alang",   "nouicompat", "viewkind", "viewscale", "viewzk",  "deftab",   "loch",     "hich",
        "dbch",    "rsid",     "rsidroot", "insrsid",   "charrsid",  "pararsid", "sectrsid", "generator",
        "rsidtbl"};
    return kKept.contains(word);
}

struct Font {
    QString name;
    int codePage = 0;  // 0: the document's code page
};

// The Windows code page of a font character set (\fcharset), 0 for the document's own.
int codePageOfCharset(int charset) {
    static const std::map<int, int> kCodePages = {{128, 932}, {129, 949}, {134, 936}, {136, 950}, {161, 1253},
                                                   {162, 1254}, {177, 1255}, {178, 1256}, {186, 1257},
                                                   {204, 1251}, {222, 874},  {238, 1250}, {0, 1252}};
    const auto found = kCodePages.find(charset);
    return found == kCodePages.end() ? 0 : found->second;
}

QString decodeBytes(const QByteArray& bytes, int codePage) {
    if (codePage == 932) {
        return QString::fromStdString(jtext::cp932ToUtf8(std::string_view(bytes.constData(), bytes.size())));
    }
    if (codePage != 1252) {
        QStringDecoder decoder(("windows-" + QByteArray::number(codePage)).constData());
        if (decoder.isValid()) {
            return decoder.decode(bytes);
        }
    }
    // Windows-1252: Latin-1 with printable characters in 0x80-0x9F.
    static const char16_t k1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                       0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text += QChar(value >= 0x80 && value < 0xA0 ? k1252[value - 0x80] : char16_t(value));
    }
    return text;
}

class CRtfParser final {
public:
    CRtfParser(const QByteArray& rtf, QTextDocument& doc) : m_rtf(rtf), m_doc(doc), m_cursor(&doc) {}

    bool run(QString* error);
    // The kinds of what the text held and the document does not keep, in the order first met.
    QStringList notKept() const;

private:
    bool parse(QString* error);
    void noteLost(Lost kind);
    void controlWord(const QByteArray& word, bool hasParameter, int parameter);
    void groupStart();
    void groupEnd();
    void textByte(char byte);
    void appendText(const QString& text);
    void flushBytes();
    void flushText();
    void paragraph();
    int codePage() const;
    QTextCharFormat charFormat(const State& state) const;
    void commitFont();
    bool fail(QString* error, const QString& reason);

    const QByteArray& m_rtf;
    QTextDocument& m_doc;
    QTextCursor m_cursor;
    qsizetype m_pos = 0;
    State m_state;
    std::vector<State> m_stack;
    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    std::map<int, Font> m_fonts;
    std::vector<QColor> m_colours;  // invalid: the automatic colour
    int m_red = -1, m_green = -1, m_blue = -1;
    int m_entryFont = -1;
    int m_entryCharset = -1;
    QByteArray m_entryName;
    QByteArray m_bytes;  // code page bytes not decoded yet, in the format and code page below
    State m_bytesState;
    int m_bytesCodePage = 0;
    QString m_text;  // decoded text not yet in the document, in the format below
    State m_textState;
    bool m_pendingParagraph = false;
    int m_skipFallback = 0;
    bool m_ended = false;
    bool m_starPending = false;  // "\*" in the text: the next word names the destination skipped
    std::vector<Lost> m_lost;
};

QStringList CRtfParser::notKept() const {
    QStringList names;
    for (const Lost kind : m_lost) {
        names.append(nameOf(kind));
    }
    return names;
}

void CRtfParser::noteLost(Lost kind) {
    if (std::find(m_lost.begin(), m_lost.end(), kind) == m_lost.end()) {
        m_lost.push_back(kind);
    }
}

bool CRtfParser::fail(QString* error, const QString& reason) {
    flushText();
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

// The whole text goes in as one edit without undo: a view lays the document out once, at the end, instead
// of once per run of text (which made a long paragraph quadratic), and the reading is not an undo step.
bool CRtfParser::run(QString* error) {
    const bool undo = m_doc.isUndoRedoEnabled();
    m_doc.setUndoRedoEnabled(false);
    m_doc.clear();
    m_cursor = QTextCursor(&m_doc);
    m_cursor.beginEditBlock();
    const bool read = parse(error);
    m_cursor.endEditBlock();
    m_doc.setUndoRedoEnabled(undo);
    return read;
}

bool CRtfParser::parse(QString* error) {
    if (!m_rtf.startsWith("{\\rtf")) {
        return fail(error, QStringLiteral("not RTF: the text does not start with {\\rtf (byte 0)"));
    }
    const qsizetype size = m_rtf.size();
    while (m_pos < size && !m_ended) {
        const char c = m_rtf.at(m_pos);
        if (c == '{') {
            if (static_cast<int>(m_stack.size()) >= kMaxGroupDepth) {
                return fail(error, QStringLiteral("RTF groups nested more than %1 deep (byte %2)")
                                       .arg(kMaxGroupDepth)
                                       .arg(m_pos));
            }
            ++m_pos;
            groupStart();
        } else if (c == '}') {
            ++m_pos;
            groupEnd();
        } else if (c == '\\') {
            ++m_pos;
            if (m_pos >= size) {
                break;
            }
            const char next = m_rtf.at(m_pos);
            if (std::isalpha(static_cast<unsigned char>(next))) {
                const qsizetype start = m_pos;
                while (m_pos < size && m_pos - start < 32 && std::isalpha(static_cast<unsigned char>(m_rtf.at(m_pos)))) {
                    ++m_pos;
                }
                const QByteArray word = m_rtf.mid(start, m_pos - start);
                bool negative = false;
                if (m_pos < size && m_rtf.at(m_pos) == '-') {
                    negative = true;
                    ++m_pos;
                }
                long long value = 0;
                bool hasParameter = false;
                while (m_pos < size && std::isdigit(static_cast<unsigned char>(m_rtf.at(m_pos)))) {
                    value = std::min(value * 10 + (m_rtf.at(m_pos) - '0'), 100000000LL);
                    hasParameter = true;
                    ++m_pos;
                }
                if (m_pos < size && m_rtf.at(m_pos) == ' ') {
                    ++m_pos;
                }
                controlWord(word, hasParameter, static_cast<int>(negative ? -value : value));
            } else if (next == '\'') {
                // Exactly two hex digits; a broken escape is dropped.
                const QByteArray digits = m_rtf.mid(m_pos + 1, 2);
                bool ok = digits.size() == 2 && std::isxdigit(static_cast<unsigned char>(digits[0])) &&
                          std::isxdigit(static_cast<unsigned char>(digits[1]));
                const int value = ok ? digits.toInt(&ok, 16) : 0;
                m_pos += std::min<qsizetype>(3, size - m_pos);
                if (ok && m_skipFallback > 0) {
                    --m_skipFallback;
                } else if (ok) {
                    textByte(static_cast<char>(value));
                }
            } else {
                ++m_pos;
                controlWord(QByteArray(1, next), false, 0);
            }
        } else {
            ++m_pos;
            if (c != '\r' && c != '\n' && c != '\0') {
                if (m_skipFallback > 0) {
                    --m_skipFallback;
                } else {
                    textByte(c);
                }
            }
        }
    }
    flushText();
    return true;
}

void CRtfParser::groupStart() {
    flushBytes();
    m_skipFallback = 0;
    m_starPending = false;
    m_stack.push_back(m_state);
}

void CRtfParser::groupEnd() {
    flushBytes();
    m_skipFallback = 0;
    m_starPending = false;
    if (m_state.destination == Destination::FontTable) {
        commitFont();
    }
    if (m_stack.empty()) {
        m_ended = true;  // the closing brace of the document
        return;
    }
    m_state = m_stack.back();
    m_stack.pop_back();
    if (m_stack.empty()) {
        m_ended = true;
    }
}

int CRtfParser::codePage() const {
    const auto font = m_fonts.find(m_state.font < 0 ? m_defaultFont : m_state.font);
    if (font != m_fonts.end() && font->second.codePage != 0) {
        return font->second.codePage;
    }
    return m_ansiCodePage;
}

void CRtfParser::textByte(char byte) {
    switch (m_state.destination) {
    case Destination::Skip:
        return;
    case Destination::ColourTable:
        if (byte == ';') {
            const bool automatic = m_red < 0 && m_green < 0 && m_blue < 0;
            m_colours.push_back(automatic ? QColor()
                                          : QColor(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255),
                                                   std::clamp(m_blue, 0, 255)));
            m_red = m_green = m_blue = -1;
        }
        return;
    case Destination::FontTable:
        if (byte == ';') {
            commitFont();
        } else {
            m_entryName += byte;
        }
        return;
    case Destination::Text:
        break;
    }
    // The code page follows the font: bytes in the format of those before them join them at once.
    if (!m_bytes.isEmpty() && m_state.sameFormat(m_bytesState)) {
        m_bytes += byte;
        return;
    }
    const int page = codePage();
    if (!m_bytes.isEmpty()) {
        flushBytes();
    }
    if (m_bytes.isEmpty()) {
        m_bytesState = m_state;
        m_bytesCodePage = page;
    }
    m_bytes += byte;
}

void CRtfParser::flushBytes() {
    if (m_bytes.isEmpty()) {
        return;
    }
    const QString text = decodeBytes(m_bytes, m_bytesCodePage);
    m_bytes.clear();
    const State current = m_state;
    m_state = m_bytesState;
    appendText(text);
    m_state = current;
}

void CRtfParser::appendText(const QString& text) {
    if (m_state.destination != Destination::Text || text.isEmpty()) {
        return;
    }
    flushBytes();
    if (!m_text.isEmpty() && !m_state.sameFormat(m_textState)) {
        flushText();
    }
    if (m_text.isEmpty()) {
        m_textState = m_state;
    }
    m_text += text;
}

void CRtfParser::flushText() {
    flushBytes();
    if (m_text.isEmpty()) {
        return;
    }
    if (m_pendingParagraph) {
        m_cursor.insertBlock();
        m_pendingParagraph = false;
    }
    m_cursor.insertText(m_text, charFormat(m_textState));
    m_text.clear();
}

// A paragraph mark ends the paragraph; the new one is opened only when something follows, so the mark
// after the last paragraph adds no empty line.
void CRtfParser::paragraph() {
    if (m_state.destination != Destination::Text) {
        return;
    }
    flushText();
    if (m_pendingParagraph) {
        m_cursor.insertBlock(QTextBlockFormat(), charFormat(m_state));
    }
    m_pendingParagraph = true;
}

QTextCharFormat CRtfParser::charFormat(const State& state) const {
    QTextCharFormat format;
    const auto font = m_fonts.find(state.font < 0 ? m_defaultFont : state.font);
    if (font != m_fonts.end() && !font->second.name.isEmpty()) {
        format.setFontFamilies({font->second.name});
    }
    format.setFontPointSize(state.halfPoints / 2.0);
    format.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(state.italic);
    format.setFontUnderline(state.underline);
    format.setFontStrikeOut(state.strikeOut);
    if (state.colour > 0 && state.colour < static_cast<int>(m_colours.size()) && m_colours[state.colour].isValid()) {
        format.setForeground(m_colours[state.colour]);
    }
    return format;
}

void CRtfParser::commitFont() {
    if (m_entryFont >= 0) {
        Font& font = m_fonts[m_entryFont];
        font.codePage = codePageOfCharset(m_entryCharset);
        font.name = decodeBytes(m_entryName, font.codePage != 0 ? font.codePage : m_ansiCodePage).trimmed();
    }
    m_entryFont = -1;
    m_entryCharset = -1;
    m_entryName.clear();
}

void CRtfParser::controlWord(const QByteArray& word, bool hasParameter, int parameter) {
    const bool on = !hasParameter || parameter != 0;
    if (m_skipFallback > 0 && word != "u") {
        --m_skipFallback;
        return;
    }
    if (m_state.destination == Destination::FontTable) {
        if (word == "f") {
            commitFont();
            m_entryFont = parameter;
        } else if (word == "fcharset") {
            m_entryCharset = parameter;
        } else if (word == "*" || word == "panose" || word == "falt") {
            m_state.destination = Destination::Skip;
        }
        return;
    }
    if (m_state.destination == Destination::ColourTable) {
        if (word == "red") {
            m_red = parameter;
        } else if (word == "green") {
            m_green = parameter;
        } else if (word == "blue") {
            m_blue = parameter;
        }
        return;
    }
    // What the text holds beyond what the document keeps: a destination skipped from the text (for "\*",
    // named by the word after it) or a word of the text that is not read.
    if (m_starPending) {
        m_starPending = false;
        if (!isKeptWord(word)) {
            noteLost(kindOf(word));
        }
    } else if (m_state.destination == Destination::Text && !isKeptWord(word)) {
        if (word == "*") {
            m_starPending = true;
        } else {
            noteLost(kindOf(word));
        }
    }
    static const QSet<QByteArray> kSkipped = {
        "*",        "stylesheet", "info",       "pict",      "header",     "headerl",    "headerr",
        "headerf",  "footer",     "footerl",    "footerr",   "footerf",    "footnote",   "annotation",
        "object",   "objdata",    "fldinst",    "datafield", "themedata",  "colorschememapping",
        "latentstyles", "datastore", "listtable", "listoverridetable", "rsidtbl", "xmlnstbl", "generator",
        "filetbl",  "revtbl",     "userprops",  "template",  "pgdsctbl",   "nonshppict", "listtext",
        "pntext",   "pntxta",     "pntxtb",     "atnid",     "atnauthor",  "txe",        "xe",  "tc"};
    if (kSkipped.contains(word)) {
        flushBytes();
        m_state.destination = Destination::Skip;
        return;
    }
    if (word == "fonttbl") {
        m_state.destination = Destination::FontTable;
    } else if (word == "colortbl") {
        m_state.destination = Destination::ColourTable;
        m_colours.clear();
    } else if (word == "bin") {
        m_pos += std::clamp<qsizetype>(parameter, 0, m_rtf.size() - m_pos);
    } else if (m_state.destination == Destination::Skip) {
        return;
    } else if (word == "u" && hasParameter) {
        const char16_t unit = static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter);
        appendText(QString(QChar(unit)));
        m_skipFallback = m_state.unicodeSkip;
    } else if (word == "uc") {
        m_state.unicodeSkip = std::clamp(parameter, 0, 16);
    } else if (word == "ansicpg") {
        flushBytes();
        m_ansiCodePage = parameter;
    } else if (word == "mac" || word == "pc" || word == "pca") {
        flushBytes();
        m_ansiCodePage = word == "mac" ? 10000 : (word == "pc" ? 437 : 850);
    } else if (word == "deff") {
        flushBytes();
        m_defaultFont = parameter;
    } else if (word == "f") {
        m_state.font = parameter;
    } else if (word == "fs") {
        m_state.halfPoints = std::clamp(hasParameter ? parameter : kDefaultHalfPoints, 2, 3276);
    } else if (word == "b") {
        m_state.bold = on;
    } else if (word == "i") {
        m_state.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash" ||
               word == "ulwave" || word == "ulth") {
        m_state.underline = on;
    } else if (word == "ulnone") {
        m_state.underline = false;
    } else if (word == "strike" || word == "striked") {
        m_state.strikeOut = on;
    } else if (word == "cf") {
        m_state.colour = parameter;
    } else if (word == "plain") {
        const State reset;
        m_state.font = reset.font;
        m_state.halfPoints = reset.halfPoints;
        m_state.bold = m_state.italic = m_state.underline = m_state.strikeOut = false;
        m_state.colour = 0;
    } else if (word == "par" || word == "\n" || word == "\r") {
        paragraph();
    } else if (word == "line") {
        appendText(QString(QChar::LineSeparator));
    } else if (word == "tab") {
        appendText(QStringLiteral("\t"));
    } else if (word == "\\" || word == "{" || word == "}") {
        appendText(QString::fromLatin1(word));
    } else if (word == "~") {
        appendText(QString(QChar::Nbsp));
    } else if (word == "_") {
        appendText(QString(QChar(0x2011)));
    } else {
        static const std::map<QByteArray, char16_t> kSymbols = {
            {"emdash", 0x2014}, {"endash", 0x2013},    {"lquote", 0x2018}, {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"bullet", 0x2022}, {"emspace", 0x2003},
            {"enspace", 0x2002}};
        const auto symbol = kSymbols.find(word);
        if (symbol != kSymbols.end()) {
            appendText(QString(QChar(symbol->second)));
        }
    }
}

}  // namespace

bool CRtfReader::read(const QByteArray& rtf, QTextDocument& into, QString* error, QStringList* notKept) {
    CRtfParser parser(rtf, into);
    const bool read = parser.run(error);
    if (notKept != nullptr) {
        *notKept = parser.notKept();
    }
    return read;
}
