// What the preview writes back to a user's file: never more than the user changed. A rich text holding
// parts the editor drops, a file shown only in part or as an information text, and a text with bytes that
// form no character in its code all leave the file byte for byte as it was, whatever the user tries; a long
// rich paragraph loads in time proportional to its length.

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "CTestSession.h"
#include "PreviewTestFiles.h"
#include "app/CMainFrame.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "gui/CommandIds.h"
#include "model/CFileItem.h"
#include "preview/CREditCtrl.h"
#include "preview/CTextView.h"
#include "support/CTempFolder.h"
#include "support/CToolRunner.h"
#include "text/JapaneseCode.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

void goToRow(CTestSession& session, int row) {
    session.frame().fileListView()->grid().gotoCell(1, row);
}

// "名前を付けて保存" with `name` typed into the file dialog; an existing file is confirmed for replacing.
void saveAs(CTestSession& session, const QString& name) {
    QTimer::singleShot(0, [name] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTimer::singleShot(0, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->button(QMessageBox::Yes)->click();
            }
        });
        dialog->selectFile(name);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides the public slot
    });
    QVERIFY(session.run(cmd::kFileSaveAs));
}

// Every way the user can try to write the shown text back: typing, saving, showing it again (Yes to any
// question in a session that answers Yes), and Save As under the file's own name.
void tryToChange(CTestSession& session, const QString& path) {
    CTextView& pane = *session.frame().textView();
    pane.editor()->moveCursor(QTextCursor::End);
    typeText(pane.editor()->viewport(), QStringLiteral("!"));
    QVERIFY(session.run(cmd::kFileSave));
    saveAs(session, path);
    QVERIFY(session.run(cmd::kPreviewCurrent));
}

QByteArray digest(const QString& path) {
    return QCryptographicHash::hash(readBytes(path), QCryptographicHash::Sha256);
}

}  // namespace

class PreviewSaveTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void richTextWithPartsTheEditorDropsStaysIntact();
    void longRichParagraphLoadsInLinearTime();
    void partialAndInformationViewsNeverReplaceTheFile();
    void textsWithStrayBytesKeepTheirBytes();
};

void PreviewSaveTest::richTextWithPartsTheEditorDropsStaysIntact() {
    CTestSession session(CTestSession::Setup{.answerYes = true});
    CTempFolder folder;
    const QString rich = write(
        folder, "report.rtf",
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 IPAGothic;}}"
        "{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}{\\header \\pard Header\\par}\r\n"
        "\\pard\\plain\\f0\\fs24 See {\\field{\\*\\fldinst HYPERLINK \"http://example.com/\"}{\\fldrslt the site}}"
        "{\\footnote \\pard A footnote.}\\par\r\n{\\pict\\pngblip 89504e470d0a1a0a}"
        "{\\object\\objemb{\\*\\objclass Paint.Picture}{\\*\\objdata 01050000}}\\par\r\n"
        "\\trowd\\cellx1000\\cellx2000 A1\\cell B1\\cell\\row\\pard End\\par}");
    const QString other = write(folder, "z.txt", "next\n");
    const QByteArray before = readBytes(rich);
    QVERIFY(session.start({writeCatalog(session, {rich, other})}));
    CTextView& pane = *session.frame().textView();
    session.frame().setActiveView(&pane);
    QCOMPARE(pane.mode(), CTextView::Mode::RichText);
    QVERIFY(pane.editor()->toPlainText().contains(QStringLiteral("the site")));
    QVERIFY(pane.editor()->isReadOnly());
    for (const char* kind : {"図", "表", "脚注", "ヘッダー・フッター", "埋め込みオブジェクト", "フィールド", "スタイルシート"}) {
        QVERIFY2(pane.note().contains(QString::fromUtf8(kind)) && pane.note().contains(QStringLiteral("読み取り専用")),
                 qPrintable(pane.note()));
    }

    tryToChange(session, rich);
    goToRow(session, 1);
    QCOMPARE(readBytes(rich), before);
}

void PreviewSaveTest::longRichParagraphLoadsInLinearTime() {
    CTempFolder folder;
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 IPAGothic;}}"
                     "{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\f0\\fs20 ";
    int runs = 0;
    while (rtf.size() < 192 * 1024) {
        rtf += runs % 2 ? "\\b0\\cf0 plain words " : "\\b\\cf1 bold red words ";
        ++runs;
    }
    rtf += "\\par}";
    const QString path = write(folder, "long.rtf", rtf);
    CREditCtrl editor(nullptr);
    editor.resize(400, 300);
    editor.show();
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(editor.loadFile(path), CCodedTextFile::Status::Loaded);
    QApplication::processEvents();
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(editor.document()->blockCount(), 1);
    QVERIFY(editor.toPlainText().endsWith(runs % 2 ? QStringLiteral("red words ") : QStringLiteral("plain words ")));
    QVERIFY(!editor.document()->isUndoAvailable());
    // Quadratic work took half a minute here; linear work takes a small part of a second.
    QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("%1 ms for %2 runs").arg(elapsed).arg(runs)));
}

void PreviewSaveTest::partialAndInformationViewsNeverReplaceTheFile() {
    CTestSession session(CTestSession::Setup{.answerYes = true});
    CTempFolder folder;
    QByteArray log;
    for (int line = 0; log.size() <= CCodedTextFile::kLargeFileBytes; ++line) {
        log += "2026-12-09 12:00:00 entry " + QByteArray::number(line) + " of a log that is too large to edit\n";
    }
    const QString large = write(folder, "big.log", log);
    QByteArray binaryBytes(16 * 1024, '\0');
    for (int i = 0; i < binaryBytes.size(); ++i) {
        binaryBytes[i] = static_cast<char>(i * 7);
    }
    const QString binary = write(folder, "data.bin", binaryBytes);
    const QByteArray largeDigest = digest(large);
    QVERIFY(session.start({writeCatalog(session, {large, binary})}));
    CTextView& pane = *session.frame().textView();
    session.frame().setActiveView(&pane);

    for (int row = 0; row < 2; ++row) {
        goToRow(session, row);
        const QString path = row == 0 ? large : binary;
        const QString shown = pane.editor()->toPlainText();
        QVERIFY(pane.editor()->isReadOnly());
        session.ui().clear();
        tryToChange(session, path);
        QVERIFY2(!session.ui().texts().empty() &&
                     QString::fromStdString(session.ui().texts().back()).contains(QStringLiteral("別の名前")),
                 qPrintable(path));
        QCOMPARE(pane.path(), path);
        QVERIFY(pane.editor()->isReadOnly());

        // Under another name the shown text is written, and the pane stays on the file, read only.
        const QString copy = QString::fromStdString(folder / "copy.txt");
        saveAs(session, copy);
        QCOMPARE(QString::fromUtf8(readBytes(copy)), shown);
        QCOMPARE(pane.path(), path);
        QVERIFY(pane.editor()->isReadOnly());
    }
    goToRow(session, 0);
    QCOMPARE(digest(large), largeDigest);
    QCOMPARE(readBytes(binary), binaryBytes);
}

void PreviewSaveTest::textsWithStrayBytesKeepTheirBytes() {
    CTestSession session(CTestSession::Setup{.answerYes = true});
    CTempFolder folder;
    // 33 KB of UTF-8 with one stray byte in line 100.
    QByteArray utf8;
    for (int line = 0; line < 402; ++line) {
        utf8 += QStringLiteral("%1行目：吾輩は猫である。名前はまだ無い。\n").arg(line).toUtf8();
        if (line == 100) {
            utf8.insert(utf8.size() - 1, '\xE9');
        }
    }
    const QString stray = write(folder, "a.txt", utf8);
    // Shift-JIS with a lone lead byte at the end of an untouched line.
    const QByteArray shiftJis = sjis(QStringLiteral("一行目\r\n")) + "abc\x81\r\n" + sjis(QStringLiteral("三行目\r\n"));
    const QString lead = write(folder, "b.txt", shiftJis);
    const QByteArray valid = sjis(QStringLiteral("一行目\r\n二行目\r\n三行目\r\n"));
    const QString neighbour = write(folder, "c.txt", valid);
    QVERIFY(session.start({writeCatalog(session, {stray, lead, neighbour})}));
    CTextView& pane = *session.frame().textView();
    session.frame().setActiveView(&pane);

    // Read in the code the file is written in, shown, and never written back.
    QCOMPARE(pane.editor()->textFile().code(), int(jtext::kCodeUtf8));
    QCOMPARE(pane.editor()->document()->findBlockByNumber(7).text(), QStringLiteral("7行目：吾輩は猫である。名前はまだ無い。"));
    for (const QString& path : {stray, lead}) {
        goToRow(session, path == stray ? 0 : 1);
        QVERIFY(pane.editor()->isReadOnly());
        QVERIFY2(pane.note().contains(QStringLiteral("読み取り専用")), qPrintable(pane.note()));
        tryToChange(session, path);
    }
    goToRow(session, 2);
    QCOMPARE(readBytes(stray), utf8);
    QCOMPARE(readBytes(lead), shiftJis);

    // A neighbour line edited with a character Shift-JIS cannot hold: Yes writes UTF-8, and the untouched
    // lines are the same characters.
    QTextCursor cursor(pane.editor()->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(QStringLiteral("😀"));
    QVERIFY(session.run(cmd::kFileSave));
    QCOMPARE(readBytes(neighbour), QStringLiteral("一行目\r\n二行目😀\r\n三行目\r\n").toUtf8());
}

QTEST_MAIN(PreviewSaveTest)
#include "PreviewSaveTest.moc"
