// The memo editor's RTF: what the writer produces reads back with the same text and formats, a real RTF
// reader (unrtf) reads it too, RTF from other programs shows its text and names what a save would drop,
// and damaged or hostile RTF never crashes the reader.

#include <QColor>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include "preview/CRtfReader.h"
#include "preview/CRtfWriter.h"
#include "support/CTempFolder.h"
#include "support/CToolRunner.h"

namespace {

// One stretch of text with the formats the editor sets, as a document shows it.
struct Run {
    QString text;
    QString family;
    double points;
    bool bold, italic, underline, strikeOut;
    QColor colour;  // invalid: automatic

    bool operator==(const Run&) const = default;
};

QTextCharFormat formatOf(const Run& run) {
    QTextCharFormat format;
    format.setFontFamilies({run.family});
    format.setFontPointSize(run.points);
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.italic);
    format.setFontUnderline(run.underline);
    format.setFontStrikeOut(run.strikeOut);
    if (run.colour.isValid()) {
        format.setForeground(run.colour);
    }
    return format;
}

// The paragraphs of a document, each a list of runs.
std::vector<std::vector<Run>> runsOf(const QTextDocument& doc) {
    std::vector<std::vector<Run>> paragraphs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        std::vector<Run> runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QStringList families = format.fontFamilies().toStringList();
            const bool coloured = format.hasProperty(QTextFormat::ForegroundBrush);
            runs.push_back({it.fragment().text(), families.value(0), format.fontPointSize(),
                            format.fontWeight() > QFont::Medium, format.fontItalic(), format.fontUnderline(),
                            format.fontStrikeOut(), coloured ? format.foreground().color() : QColor()});
        }
        paragraphs.push_back(runs);
    }
    return paragraphs;
}

QString plainAfterReading(const QByteArray& rtf, bool* ok = nullptr) {
    QTextDocument doc;
    QString error;
    const bool read = CRtfReader::read(rtf, doc, &error);
    if (ok != nullptr) {
        *ok = read;
    }
    return doc.toPlainText();
}

}  // namespace

class RtfTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writtenTextReadsBackWithItsFormats() {
        const QString gothic = QStringLiteral("ＭＳ ゴシック");
        const std::vector<std::vector<Run>> paragraphs = {
            {{QStringLiteral("Plain {braces} and \\ back"), gothic, 12, false, false, false, false, QColor()},
             {QStringLiteral("太字の表"), gothic, 12, true, false, false, false, QColor()},  // 表 ends in 0x5C
             {QStringLiteral("斜体ｶﾅ"), QStringLiteral("Arial"), 9, false, true, false, false, QColor(Qt::red)}},
            {},
            {{QStringLiteral("下線"), gothic, 20.5, false, false, true, false, QColor(0, 128, 255)},
             {QStringLiteral("打ち消し €¥ 😀 \u4E02"), gothic, 12, true, true, true, true, QColor(Qt::red)}},
        };
        QTextDocument doc;
        QTextCursor cursor(&doc);
        for (std::size_t p = 0; p < paragraphs.size(); ++p) {
            if (p > 0) {
                cursor.insertBlock();
            }
            for (const Run& run : paragraphs[p]) {
                cursor.insertText(run.text, formatOf(run));
            }
        }
        const QByteArray rtf = CRtfWriter::write(doc);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932"));
        QVERIFY(rtf.contains("\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;"));
        QVERIFY(rtf.contains("\\'95\\'5c"));  // 表: the trail byte "\" stays an escape
        QVERIFY(rtf.contains("\\u8364?") && rtf.contains("\\u-10179?\\u-8704?"));  // € and 😀 outside 932
        for (const char byte : rtf) {
            QVERIFY(static_cast<unsigned char>(byte) < 0x80);  // 7-bit clean
        }

        QTextDocument back;
        QString error;
        QVERIFY2(CRtfReader::read(rtf, back, &error), qPrintable(error));
        QCOMPARE(back.toPlainText(), doc.toPlainText());
        QVERIFY(runsOf(back) == paragraphs);
    }

    void realReaderReadsWhatWeWrite() {
        if (CToolRunner::run("command -v unrtf").exitStatus != 0) {
            QSKIP("unrtf is not installed (tools/install-deps.sh test)");
        }
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(QStringLiteral("First line "), QTextCharFormat());
        cursor.insertText(QStringLiteral("with bold"), bold);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("Second {line} \\ end 日本語"), QTextCharFormat());
        CTempFolder folder;
        const std::string rtf = CRtfWriter::write(doc).toStdString();
        const std::string path = folder.write("memo.rtf", rtf);
        const CToolRunner::Result text = CToolRunner::run("unrtf --text '" + path + "' 2>/dev/null");
        QCOMPARE(text.exitStatus, 0);
        QVERIFY2(text.output.find("First line with bold\n") != std::string::npos, text.output.c_str());
        QVERIFY2(text.output.find("Second {line} \\ end") != std::string::npos, text.output.c_str());
        const CToolRunner::Result html = CToolRunner::run("unrtf --html '" + path + "' 2>/dev/null");
        QVERIFY2(html.output.find("<b>with bold<br>\n</b>Second") != std::string::npos, html.output.c_str());
        // unrtf decodes the Shift-JIS escapes through code page 932 into character references.
        QVERIFY2(html.output.find("&#26085;&#26412;&#35486;") != std::string::npos, html.output.c_str());
    }

    void otherProgramsRtfShowsItsText() {
        // As word processors write it: tables of styles and document information, a field, a picture,
        // {\*...} groups, \uN with a fallback of two \'hh and a Latin page.
        const QByteArray foreign =
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}"
            "{\\f1\\fnil\\fcharset128{\\*\\panose 02020609040205080304}\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}"
            "{\\colortbl;\\red255\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret}{\\author A}}"
            "{\\*\\generator LibreOffice}{\\*\\rsidtbl \\rsid1}\\pard\\plain\\f0\\fs24 Caf\\'e9 \\ldblquote ok\\rdblquote"
            "\\par {\\f1 \\'93\\'fa\\'96\\'7b}{\\uc2\\u26085\\'93\\'fa}"
            "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}"
            "{\\pict\\pngblip 89504e47}\\par\r\n{\\cf1\\b red}\\line next\\tab tab\\par}";
        bool ok = false;
        QCOMPARE(plainAfterReading(foreign, &ok), QStringLiteral("Café \u201Cok\u201D\n日本日link\nred\nnext\ttab"));
        QVERIFY(ok);
        QTextDocument doc;
        QString error;
        CRtfReader::read(foreign, doc, &error);
        const auto runs = runsOf(doc);
        QCOMPARE(runs.at(1).at(0).family, QStringLiteral("ＭＳ 明朝"));
        QCOMPARE(runs.at(2).at(0).colour, QColor(Qt::red));
        QVERIFY(runs.at(2).at(0).bold);
    }

    void partsTheDocumentCannotHoldAreReported() {
        // What the writer produces, and the bookkeeping of word processors, hold nothing that is lost.
        QTextDocument source;
        QTextCursor cursor(&source);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setForeground(Qt::red);
        cursor.insertText(QStringLiteral("日本語 {x} \\ "), bold);
        cursor.insertText(QStringLiteral("\t😀\u00A0"), QTextCharFormat());
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("two"));
        const QByteArray bookkeeping =
            "{\\rtf1\\ansi\\ansicpg932\\deff0\\nouicompat\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
            "{\\*\\panose 0}Gothic;}}{\\*\\generator Riched20 10.0}{\\*\\rsidtbl \\rsid1}\\viewkind4\\uc1\\pard"
            "\\lang1041\\f0\\fs22 text\\par}";
        for (const QByteArray& rtf : {CRtfWriter::write(source), bookkeeping}) {
            QTextDocument doc;
            QString error;
            QStringList notKept;
            QVERIFY2(CRtfReader::read(rtf, doc, &error, &notKept), qPrintable(error));
            QVERIFY2(notKept.isEmpty(), qPrintable(notKept.join(',') + " in " + QString::fromLatin1(rtf)));
        }

        // Each part that a save would drop is named once, whatever else the file holds.
        const struct {
            QByteArray body;
            QString kind;
        } parts[] = {
            {"{\\pict\\pngblip 89504e47}", QStringLiteral("図")},
            {"{\\*\\shppict{\\pict\\wmetafile8 0100}}", QStringLiteral("図")},
            {"{\\header \\pard head\\par}", QStringLiteral("ヘッダー・フッター")},
            {"{\\footerf foot}", QStringLiteral("ヘッダー・フッター")},
            {"x{\\footnote \\pard note}", QStringLiteral("脚注")},
            {"{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105}}", QStringLiteral("埋め込みオブジェクト")},
            {"{\\field{\\*\\fldinst HYPERLINK \"http://x/\"}{\\fldrslt link}}", QStringLiteral("フィールド")},
            {"\\trowd\\cellx1000\\cellx2000 A1\\cell B1\\cell\\row", QStringLiteral("表")},
            {"{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}", QStringLiteral("スタイルシート")},
            {"{\\info{\\title T}{\\author A}}", QStringLiteral("文書情報")},
            {"{\\*\\annotation note}", QStringLiteral("コメント")},
            {"{\\*\\listtable{\\list\\listid1}}", QStringLiteral("箇条書き")},
            {"\\qc centred", QStringLiteral("その他の書式")},
            {"\\page x", QStringLiteral("その他の書式")},
            {"{\\*\\unknowndestination data}", QStringLiteral("その他の書式")},
        };
        for (const auto& part : parts) {
            const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0 text " + part.body + part.body + "\\par}";
            QTextDocument doc;
            QString error;
            QStringList notKept;
            QVERIFY2(CRtfReader::read(rtf, doc, &error, &notKept), qPrintable(error));
            QVERIFY2(notKept == QStringList{part.kind}, qPrintable(QString::fromLatin1(part.body) + ": " + notKept.join(',')));
        }
    }

    void hostileRtfNeverCrashes() {
        QString error;
        QTextDocument doc;
        QVERIFY(!CRtfReader::read("plain text", doc, &error));
        QVERIFY(error.contains(QStringLiteral("byte 0")));
        QVERIFY(!CRtfReader::read(QByteArray("{\\rtf1 ") + QByteArray(5000, '{') + "x", doc, &error));
        QVERIFY2(error.contains(QStringLiteral("1000")), qPrintable(error));

        bool ok = false;
        // Truncated in a \' escape, a control word, a Unicode fallback and a group: the text so far shows.
        for (const QByteArray& cut : {QByteArray("{\\rtf1 abc\\'8"), QByteArray("{\\rtf1 abc\\"),
                                      QByteArray("{\\rtf1 abc\\u-"), QByteArray("{\\rtf1 abc{\\b"),
                                      QByteArray("{\\rtf1 abc\\bin999999999 "), QByteArray("{\\rtf1 abc\\'zz}")}) {
            QCOMPARE(plainAfterReading(cut, &ok), QStringLiteral("abc"));
            QVERIFY(ok);
        }
        QCOMPARE(plainAfterReading("{\\rtf1 a}}}}b{{{", &ok), QStringLiteral("a"));
        QVERIFY(!plainAfterReading("{\\rtf1\\ansicpg932 \\'82}", &ok).isEmpty());  // a lone lead byte
        QCOMPARE(plainAfterReading("{\\rtf1\\fs99999999999999\\cf-5\\f-1\\uc99999 \\u99999999999x}", &ok).size(), 1);

        // Every prefix of a document we wrote, and the same bytes with random damage.
        QTextDocument source;
        QTextCursor cursor(&source);
        QTextCharFormat colour;
        colour.setForeground(Qt::blue);
        cursor.insertText(QStringLiteral("日本語 text 😀"), colour);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("two"));
        const QByteArray written = CRtfWriter::write(source);
        for (qsizetype length = 0; length <= written.size(); ++length) {
            CRtfReader::read(written.left(length), doc, &error);
        }
        QRandomGenerator random(19);
        for (int round = 0; round < 2000; ++round) {
            QByteArray damaged = written;
            for (int k = 0; k < 1 + round % 8; ++k) {
                const char kInteresting[] = "{}\\'0123456789-;u\x82\xff ";
                damaged[random.bounded(damaged.size())] = random.bounded(4) == 0
                    ? static_cast<char>(random.bounded(256))
                    : kInteresting[random.bounded(static_cast<int>(sizeof kInteresting) - 1)];
            }
            damaged.prepend("{\\rtf1");
            CRtfReader::read(damaged, doc, &error);
        }
    }
};

QTEST_MAIN(RtfTest)
#include "RtfTest.moc"
