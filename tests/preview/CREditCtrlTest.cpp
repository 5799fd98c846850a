// The preview's editor as a user meets it: texts that iconv wrote in the four codes with the three kinds
// of line end are shown as text and saved back byte for byte, also after an edit; a character the file's
// code cannot hold is never dropped silently; lines of any length are written whole; find, replace and
// replace-all count what they did.

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTextBlock>

#include "preview/CREditCtrl.h"
#include "support/CRecordingUserInterface.h"
#include "support/CTempFolder.h"
#include "support/CToolRunner.h"
#include "text/JapaneseCode.h"

namespace {

// Types the text as the keyboard (or an input method, for Japanese) delivers it: one key event per
// character, carrying the character.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray convert(const QByteArray& utf8, const char* iconvName) {
    const CToolRunner::Result result = CToolRunner::run(
        std::string("iconv -f UTF-8 -t ") + iconvName, std::string_view(utf8.constData(), utf8.size()));
    return QByteArray::fromStdString(result.output);
}

QString write(const CTempFolder& folder, const char* name, const QByteArray& bytes) {
    return QString::fromStdString(folder.write(name, std::string_view(bytes.constData(), bytes.size())));
}

std::string guess(const QByteArray& bytes) {
    return CToolRunner::run("nkf --guess", std::string_view(bytes.constData(), bytes.size())).output;
}

const QString kText = QStringLiteral("吾輩は猫である。名前はまだ無い。\nABC abc 123\n\n表示と能力、ソ十\n最後の行");

}  // namespace

class CREditCtrlTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textsInEveryCodeAndLineEndRoundTrip();
    void charactersTheCodeCannotHoldAreNotDropped();
    void longLinesAreWrittenWhole();
    void findReplaceAndReplaceAllCount();
};

void CREditCtrlTest::textsInEveryCodeAndLineEndRoundTrip() {
    CRecordingUserInterface ui;
    CTempFolder folder;
    CREditCtrl editor(nullptr);
    editor.resize(300, 200);
    editor.show();
    const struct {
        const char* iconvName;
        const char* nkfName;
    } codes[] = {{"CP932", "Shift_JIS"}, {"ISO-2022-JP", "ISO-2022-JP"}, {"EUC-JP", "EUC-JP"}, {"UTF-8", "UTF-8"}};
    const struct {
        const char* bytes;
        const char* nkfName;
    } lineEnds[] = {{"\r\n", "CRLF"}, {"\n", "LF"}, {"\r", "CR"}};
    for (const auto& code : codes) {
        for (const auto& lineEnd : lineEnds) {
            const QString context = QStringLiteral("%1 %2").arg(code.iconvName, lineEnd.nkfName);
            QString source = kText;
            source.replace('\n', QString::fromLatin1(lineEnd.bytes));
            const QByteArray file = convert(source.toUtf8(), code.iconvName);
            const QString path = write(folder, "text.txt", file);

            QCOMPARE(editor.loadFile(path), CCodedTextFile::Status::Loaded);
            QVERIFY2(editor.toPlainText() == kText, qPrintable(context));
            QVERIFY2(!editor.isReadOnly(), qPrintable(context));
            QVERIFY(editor.saveFile(path));
            QVERIFY2(readBytes(path) == file, qPrintable(context + " saved unedited"));

            // A line typed at the end goes in the file's code with its line end, as iconv writes it.
            editor.moveCursor(QTextCursor::End);
            QTest::keyClick(editor.viewport(), Qt::Key_Return);
            typeText(editor.viewport(), QStringLiteral("追加した行"));
            QVERIFY(editor.document()->isModified());
            QVERIFY(editor.saveFile(path));
            const QByteArray edited = readBytes(path);
            QVERIFY2(edited == convert((source + lineEnd.bytes + QStringLiteral("追加した行")).toUtf8(),
                                       code.iconvName),
                     qPrintable(context + " edited"));
            QCOMPARE(guess(edited), std::string(code.nkfName) + " (" + lineEnd.nkfName + ")\n");
            QVERIFY(!editor.document()->isModified());
        }
    }

    // A file without any line end and one with mixed line ends come back unchanged when saved unedited; an
    // edit touches only its own line. One holding a byte that forms no character is shown read only, and
    // a copy of it keeps that byte.
    const QByteArray mixed = convert(QStringLiteral("一行目\r\n二行目\n三行目\r四行目").toUtf8(), "CP932");
    const QByteArray broken = QByteArray("abc\x81\r\n") + convert(QStringLiteral("日本語\r\n").toUtf8(), "CP932");
    for (const QByteArray& file : {convert(QStringLiteral("改行のない一行").toUtf8(), "EUC-JP"), mixed, broken}) {
        const QString path = write(folder, "odd.txt", file);
        const CCodedTextFile::Status status = editor.loadFile(path);
        QCOMPARE(status, file == broken ? CCodedTextFile::Status::StrayBytes : CCodedTextFile::Status::Loaded);
        QCOMPARE(editor.isReadOnly(), file == broken);
        QVERIFY(editor.saveFile(path + ".copy"));
        QCOMPARE(readBytes(path + ".copy"), file);
    }
    // JIS that stays in kanji mode across a line end is shown, read only: an edit could change the next line.
    const QString shiftedPath = write(folder, "shifted.txt", QByteArray("\x1B$BF|\nK\\\x1B(B\n"));
    QCOMPARE(editor.loadFile(shiftedPath), CCodedTextFile::Status::NotExact);
    QCOMPARE(editor.toPlainText(), QStringLiteral("日\n本\n"));
    QVERIFY(editor.isReadOnly());

    // A UTF-8 byte order mark stays in front of an edited first line.
    const QString markPath = write(folder, "mark.txt", QByteArray("\xEF\xBB\xBF") + QStringLiteral("見出し\n本文\n").toUtf8());
    QCOMPARE(editor.loadFile(markPath), CCodedTextFile::Status::Loaded);
    QCOMPARE(editor.document()->firstBlock().text(), QStringLiteral("見出し"));
    editor.moveCursor(QTextCursor::Start);
    typeText(editor.viewport(), QStringLiteral("新"));
    QVERIFY(editor.saveFile(markPath));
    QCOMPARE(readBytes(markPath), QByteArray("\xEF\xBB\xBF") + QStringLiteral("新見出し\n本文\n").toUtf8());

    const QString mixedPath = write(folder, "mixed.txt", mixed);
    editor.loadFile(mixedPath);
    QTextCursor cursor(editor.document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(QStringLiteral("だけ"));
    QVERIFY(editor.saveFile(mixedPath));
    QCOMPARE(readBytes(mixedPath),
             convert(QStringLiteral("一行目\r\n二行目だけ\n三行目\r四行目").toUtf8(), "CP932"));
}

void CREditCtrlTest::charactersTheCodeCannotHoldAreNotDropped() {
    CRecordingUserInterface ui;
    CTempFolder folder;
    CREditCtrl editor(nullptr);
    editor.show();
    const QByteArray file = convert(QStringLiteral("カフェ\r\nメニュー\r\n").toUtf8(), "CP932");
    const QString path = write(folder, "menu.txt", file);
    editor.loadFile(path);
    QTextCursor cursor(editor.document()->findBlockByNumber(0));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(QStringLiteral(" café"));

    // No: the file stays as it was, and the text stays unsaved.
    ui.scriptAnswers({false});
    QVERIFY(!editor.saveFile(path));
    QCOMPARE(ui.shown().size(), size_t(1));
    QCOMPARE(ui.shown()[0].kind, CRecordingUserInterface::Shown::Kind::YesNo);
    QVERIFY(QString::fromStdString(ui.shown()[0].text).contains(QStringLiteral("1行目の「é」")));
    QVERIFY(QString::fromStdString(ui.shown()[0].text).contains(QStringLiteral("Shift-JIS")));
    QCOMPARE(readBytes(path), file);
    QVERIFY(editor.document()->isModified());

    // Yes: the whole text goes to the file as UTF-8, line ends kept; it is UTF-8 from then on.
    ui.scriptAnswers({true});
    QVERIFY(editor.saveFile(path));
    QCOMPARE(readBytes(path), QStringLiteral("カフェ café\r\nメニュー\r\n").toUtf8());
    QCOMPARE(editor.textFile().code(), int(jtext::kCodeUtf8));

    // Changed by another program since it was read: asked before it is written over.
    const QByteArray theirs = QStringLiteral("他のプログラムの変更\r\n").toUtf8();
    write(folder, "menu.txt", theirs);
    typeText(editor.viewport(), QStringLiteral("!"));
    ui.clear();
    ui.scriptAnswers({false});
    QVERIFY(!editor.saveFile(path));
    QCOMPARE(ui.texts().size(), size_t(1));
    QCOMPARE(readBytes(path), theirs);
}

void CREditCtrlTest::longLinesAreWrittenWhole() {
    CRecordingUserInterface ui;
    CTempFolder folder;
    CREditCtrl editor(nullptr);
    editor.resize(120, 100);  // every long line wraps many times on screen
    editor.show();
    const QString longLine = QString(40000, QChar(0x3042)) + QStringLiteral("終");
    const QByteArray file = convert((QStringLiteral("先頭\n") + longLine + QStringLiteral("\n末尾\n")).toUtf8(), "EUC-JP");
    const QString path = write(folder, "long.txt", file);
    QCOMPARE(editor.loadFile(path), CCodedTextFile::Status::Loaded);
    QCOMPARE(editor.document()->blockCount(), 4);
    QVERIFY(editor.saveFile(path));
    QCOMPARE(readBytes(path), file);

    QTextCursor cursor(editor.document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(QStringLiteral("！"));
    QVERIFY(editor.saveFile(path));
    QCOMPARE(readBytes(path),
             convert((QStringLiteral("先頭\n") + longLine + QStringLiteral("！\n末尾\n")).toUtf8(), "EUC-JP"));
}

void CREditCtrlTest::findReplaceAndReplaceAllCount() {
    CRecordingUserInterface ui;
    CREditCtrl editor(nullptr);
    editor.show();
    editor.setPlainText(QStringLiteral("cat Cat dog cat\ncat"));
    editor.moveCursor(QTextCursor::Start);

    // The search starts one character after the selection: the "cat" at the very start is not found.
    QCOMPARE(editor.find(QStringLiteral("CAT")), 4);
    QCOMPARE(editor.textCursor().selectedText(), QStringLiteral("Cat"));
    QCOMPARE(editor.findNext(), 12);
    QCOMPARE(editor.findNext(), 16);
    QCOMPARE(editor.findNext(), -1);
    QCOMPARE(editor.textCursor().selectionStart(), 16);

    // Replace-all replaces the selected match and every one after it; a replacement holding the searched
    // text ends all the same.
    editor.moveCursor(QTextCursor::Start);
    QCOMPARE(editor.find(QStringLiteral("cat")), 4);
    QCOMPARE(editor.replaceAll(QStringLiteral("cat"), QStringLiteral("cats")), 3);
    QCOMPARE(editor.toPlainText(), QStringLiteral("cat cats dog cats\ncats"));
    editor.moveCursor(QTextCursor::Start);
    QCOMPARE(editor.replaceAll(QStringLiteral("dog"), QStringLiteral("hotdog")), 1);
    QCOMPARE(editor.toPlainText(), QStringLiteral("cat cats hotdog cats\ncats"));
    editor.moveCursor(QTextCursor::Start);
    QCOMPARE(editor.replaceAll(QStringLiteral("cats"), QStringLiteral("cat")), 3);
    QCOMPARE(editor.toPlainText(), QStringLiteral("cat cat hotdog cat\ncat"));
    QVERIFY(editor.document()->isModified());
}

QTEST_MAIN(CREditCtrlTest)
#include "CREditCtrlTest.moc"
