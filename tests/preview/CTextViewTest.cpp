// The preview pane in the whole program, driven as a user drives it: texts shown as the grid moves, the
// question on leaving an edited text, the browser-mode switch, files that are no text or too large to edit,
// replace through its dialogs with the count it reports, and rich text with its styles.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include "CTestSession.h"
#include "PreviewTestFiles.h"
#include "app/CMainFrame.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "model/CFileItem.h"
#include "platform/CProfile.h"
#include "preview/CImageView.h"
#include "preview/CREditCtrl.h"
#include "preview/CTextView.h"
#include "support/CTempFolder.h"
#include "support/CToolRunner.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

CTextView& paneOf(CTestSession& session) {
    return *session.frame().textView();
}

void goToRow(CTestSession& session, int row) {
    MyCug& grid = session.frame().fileListView()->grid();
    grid.gotoCell(1, row);
}

// Answers the next modal dialog that opens with `answer`.
void whenDialogOpens(std::function<void(QDialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            answer(*dialog);
        }
    });
}

}  // namespace

class CTextViewTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void leavingAnEditedTextAsksToSave();
    void browserModeAndFilesTheEditorDoesNotTake();
    void picturesShowInTheImageMode();
    void replaceThroughTheDialogsCounts();
    void richTextStylesAreSavedAsRichText();
};

void CTextViewTest::leavingAnEditedTextAsksToSave() {
    CTestSession session;
    CTempFolder folder;
    const QString a = write(folder, "a.txt", sjis(QStringLiteral("一行目\r\n")));
    const QString b = write(folder, "b.txt", sjis(QStringLiteral("別の行\r\n")));
    QVERIFY(session.start({writeCatalog(session, {a, b})}));
    CTextView& pane = paneOf(session);
    QCOMPARE(pane.path(), a);
    QVERIFY(pane.editor());
    QCOMPARE(pane.editor()->toPlainText(), QStringLiteral("一行目\n"));

    // Yes saves the edit in the file's own code before the next item is shown.
    typeText(pane.editor()->viewport(), QStringLiteral("追加"));
    session.ui().clear();
    session.ui().scriptAnswers({true});
    goToRow(session, 1);
    QCOMPARE(session.ui().texts(), std::vector<std::string>{"変更されています。保存しますか？"});
    QCOMPARE(readBytes(a), sjis(QStringLiteral("追加一行目\r\n")));
    QCOMPARE(pane.path(), b);
    QCOMPARE(pane.editor()->toPlainText(), QStringLiteral("別の行\n"));

    // No leaves the file as it was.
    typeText(pane.editor()->viewport(), QStringLiteral("x"));
    session.ui().clear();
    session.ui().scriptAnswers({false});
    goToRow(session, 0);
    QCOMPARE(session.ui().texts().size(), size_t(1));
    QCOMPARE(readBytes(b), sjis(QStringLiteral("別の行\r\n")));

    // With "System"/"Save" 0 an edit is saved without a question.
    session.document().profile().writeInt("System", "Save", 0);
    typeText(pane.editor()->viewport(), QStringLiteral("再"));
    session.ui().clear();
    goToRow(session, 1);
    QVERIFY(session.ui().texts().empty());
    QCOMPARE(readBytes(a), sjis(QStringLiteral("再追加一行目\r\n")));
}

void CTextViewTest::browserModeAndFilesTheEditorDoesNotTake() {
    CTestSession session;
    CTempFolder folder;
    const QString text = write(folder, "a.txt", QByteArray("plain text\n"));
    const QString binary = write(folder, "b.dat", QByteArray("MZ\0\0\x90\x01", 6));
    QByteArray large;
    while (large.size() <= CCodedTextFile::kLargeFileBytes) {
        large += "a long line of a very large log file that nobody edits in a preview pane\n";
    }
    const QString big = write(folder, "c.log", large);
    const QString sub = QString::fromStdString(folder.makeFolder("d"));
    QVERIFY(session.start({writeCatalog(session, {text, binary, big, sub})}));
    CTextView& pane = paneOf(session);
    QCOMPARE(pane.mode(), CTextView::Mode::Text);

    // Not text: the information text, read only.
    goToRow(session, 1);
    QVERIFY(pane.editor()->isReadOnly());
    QCOMPARE(pane.editor()->toPlainText(),
             QStringLiteral("■通常モードで表示できないファイルです\nファイルタイプ：datファイル\nファイル名：b.dat\n"
                            "フォルダ名：%1\n")
                 .arg(QString::fromStdString(folder.path())));
    // Too large: its beginning, read only, with a note.
    goToRow(session, 2);
    QVERIFY(pane.editor()->isReadOnly());
    QVERIFY(pane.note().contains(QStringLiteral("読み取り専用")));
    QVERIFY(pane.editor()->toPlainText().size() <= CCodedTextFile::kLargeFileShownBytes);
    QVERIFY(pane.editor()->toPlainText().startsWith(QStringLiteral("a long line")));
    // A folder: the single word.
    goToRow(session, 3);
    QCOMPARE(pane.editor()->toPlainText(), QStringLiteral("ディレクトリ"));
    QVERIFY(pane.note().isEmpty());
    // Gone since the catalog was read: told in the pane, without a message box in the way.
    QFile::remove(text);
    session.ui().clear();
    goToRow(session, 0);
    QCOMPARE(pane.note(), QStringLiteral("ファイルが見つかりません"));
    QVERIFY(session.ui().texts().empty());
    write(folder, "a.txt", QByteArray("plain text\n"));

    // Browser mode: the folder goes to the web view, the setting is written, and the menu shows it checked.
    QVERIFY(session.run(cmd::kBrowserMode));
    QCOMPARE(pane.mode(), CTextView::Mode::Browser);
    QVERIFY(pane.isBrowserShown());
    QVERIFY(!pane.editor());
    QCOMPARE(session.document().profile().readInt("View", "BrowserMode", 0), 1);
    // A folder gone since: the pane says so in Japanese rather than showing the web view's English error.
    QVERIFY(QDir().rmdir(sub));
    goToRow(session, 3);
    QCOMPARE(pane.note(), QStringLiteral("ファイルが見つかりません"));
    QVERIFY(!pane.isBrowserShown());
    QVERIFY(session.ui().texts().empty());
    goToRow(session, 0);
    QCOMPARE(pane.mode(), CTextView::Mode::Browser);
    QVERIFY(pane.note().isEmpty());
    QCOMPARE(pane.path(), text);
    QVERIFY(session.run(cmd::kBrowserMode));
    QCOMPARE(pane.mode(), CTextView::Mode::Text);
    QVERIFY(!pane.isBrowserShown());
    QCOMPARE(pane.editor()->toPlainText(), QStringLiteral("plain text\n"));
    QCOMPARE(session.document().profile().readInt("View", "BrowserMode", 1), 0);
}

void CTextViewTest::picturesShowInTheImageMode() {
    CTestSession session;
    CTempFolder folder;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QString png = QString::fromStdString(folder.path()) + "/a.png";
    QVERIFY(picture.save(png));
    QFile whole(png);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    const QString cut = write(folder, "b.png", whole.read(40));
    const QString text = write(folder, "c.txt", QByteArray("plain text\n"));
    QVERIFY(session.start({writeCatalog(session, {png, cut, text})}));
    CTextView& pane = paneOf(session);

    // A picture: the image view takes the pane and the image commands come alive.
    goToRow(session, 0);
    QCOMPARE(pane.mode(), CTextView::Mode::Image);
    QVERIFY(!pane.imageView()->isHidden());
    QVERIFY(!pane.editor());
    QVERIFY(pane.note().isEmpty());
    QVERIFY(session.frame().commandState(cmd::kImageActualSize).enabled);
    // A cut picture: told in the pane, no message box in the way of the next move.
    session.ui().clear();
    goToRow(session, 1);
    QCOMPARE(pane.note(), QStringLiteral("表示できません"));
    QVERIFY(session.ui().texts().empty());
    // A text: the editor again, and the image commands have nothing to act on.
    goToRow(session, 2);
    QCOMPARE(pane.mode(), CTextView::Mode::Text);
    QVERIFY(pane.imageView()->isHidden());
    QCOMPARE(pane.editor()->toPlainText(), QStringLiteral("plain text\n"));
    QVERIFY(!session.frame().commandState(cmd::kImageActualSize).enabled);
}

void CTextViewTest::replaceThroughTheDialogsCounts() {
    CTestSession session;
    CTempFolder folder;
    const QString a = write(folder, "a.txt", QStringLiteral("猫の行\r\none cat, two cats, three cats\n").toUtf8());
    QVERIFY(session.start({writeCatalog(session, {a})}));
    CTextView& pane = paneOf(session);
    session.frame().setActiveView(&pane);

    // Replace from after the first "cat": the next match is selected, then "全て置換" replaces it and the
    // one after it.
    QTextCursor after = pane.editor()->textCursor();
    after.setPosition(11);
    pane.editor()->setTextCursor(after);
    whenDialogOpens([](QDialog& dialog) {
        dialog.findChild<QComboBox*>("findText")->setEditText(QStringLiteral("cat"));
        dialog.findChild<QComboBox*>("replaceText")->setEditText(QStringLiteral("dog"));
        whenDialogOpens([](QDialog& step) { step.findChild<QPushButton*>("replaceAll")->click(); });
        dialog.accept();
    });
    QVERIFY(session.run(cmd::kEditReplace));
    QCOMPARE(session.ui().texts().back(), std::string("2個置換しました"));
    QCOMPARE(pane.editor()->toPlainText(), QStringLiteral("猫の行\none cat, two dogs, three dogs\n"));
    QCOMPARE(session.document().profile().readString("Find", "Str00", ""), "cat");
    QCOMPARE(session.document().profile().readString("Replace", "Str00", ""), "dog");

    // Find, then repeat until nothing is left: "見つかりません".
    whenDialogOpens([](QDialog& dialog) {
        QCOMPARE(dialog.findChild<QComboBox*>("findText")->currentText(), QStringLiteral("cat"));
        dialog.accept();
    });
    pane.editor()->moveCursor(QTextCursor::Start);
    QVERIFY(session.run(cmd::kEditFind));
    QCOMPARE(pane.editor()->textCursor().selectionStart(), 8);
    session.ui().clear();
    QVERIFY(session.run(cmd::kEditRepeat));
    QCOMPARE(session.ui().texts(), std::vector<std::string>{"見つかりません"});

    // Saved on request in the file's code.
    QVERIFY(session.run(cmd::kFileSave));
    QCOMPARE(readBytes(a), QStringLiteral("猫の行\r\none cat, two dogs, three dogs\n").toUtf8());

    // A content search hit, a byte offset in the file and the text searched for, is selected.
    pane.setSearchHit(QByteArray("猫の行\r\none cat, ").size(), QStringLiteral("two"));
    QVERIFY(pane.onCommand(cmd::kSelectSearchHit));
    QCOMPARE(pane.editor()->textCursor().selectedText(), QStringLiteral("two"));
    pane.setSearchHit(3, QStringLiteral("の"));
    QVERIFY(pane.onCommand(cmd::kSelectSearchHit));
    QCOMPARE(pane.editor()->textCursor().selectedText(), QStringLiteral("の"));
}

void CTextViewTest::richTextStylesAreSavedAsRichText() {
    CTestSession session;
    CTempFolder folder;
    const QString plain = write(folder, "a.txt", QByteArray("plain\n"));
    const QString rich = write(folder, "b.rtf",
                               QByteArray("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 IPAGothic;}}"
                                          "{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs24 plain \\cf1 red\\cf0  text\\par}"));
    QVERIFY(session.start({writeCatalog(session, {plain, rich})}));
    CTextView& pane = paneOf(session);
    CMainFrame& frame = session.frame();
    frame.setActiveView(&pane);
    QCOMPARE(pane.mode(), CTextView::Mode::Text);
    QVERIFY(!frame.commandState(cmd::kBold).enabled);

    goToRow(session, 1);
    frame.setActiveView(&pane);
    QCOMPARE(pane.mode(), CTextView::Mode::RichText);
    QVERIFY(frame.commandState(cmd::kBold).enabled);
    QCOMPARE(pane.editor()->toPlainText().trimmed(), QStringLiteral("plain red text"));
    QTextCursor cursor(pane.editor()->document());
    cursor.setPosition(7);
    QCOMPARE(cursor.charFormat().foreground().color(), QColor(255, 0, 0));

    // Bold on the first word, saved: the file reads back with it, and a real reader sees the text.
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    pane.editor()->setTextCursor(cursor);
    QVERIFY(session.run(cmd::kBold));
    QVERIFY(frame.commandState(cmd::kBold).checked);
    QVERIFY(session.run(cmd::kFileSave));
    QVERIFY(session.run(cmd::kPreviewCurrent));
    QTextCursor reread(pane.editor()->document());
    reread.setPosition(2);
    QVERIFY(reread.charFormat().fontWeight() > QFont::Medium);
    reread.setPosition(7);
    QCOMPARE(reread.charFormat().foreground().color(), QColor(255, 0, 0));
    QVERIFY(reread.charFormat().fontWeight() <= QFont::Medium);
    const std::string text = CToolRunner::run("unrtf --text " + rich.toStdString()).output;
    QVERIFY2(QString::fromStdString(text).contains(QStringLiteral("plain red text")), text.c_str());
}

QTEST_MAIN(CTextViewTest)
#include "CTextViewTest.moc"
