#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "gui/CPageCapture.h"

class CBrowserCapture;
class CCategoryCombos;
class CFileCatalog;
class CFileItem;
class QLineEdit;
class QPlainTextEdit;

// "アイテムの編集": one item's path, values, title and memo. The dialog changes the item it is given when
// the user confirms; recording the undo point, recomputing and telling the views is the caller's work.
// A path that the user did not touch keeps its bytes exactly (a file name need not be valid UTF-8).
class CFileItemDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitlePrompt = "タイトル（一覧表示名）を入力してください";
    static constexpr const char* kNoBrowser = CPageCapture::kNoBrowser;

    // capture: the browser capture behind "ブラウザから取り込み(&B)", or nullptr when the program has none.
    CFileItemDlg(CFileCatalog& catalog, CFileItem& item, CBrowserCapture* capture, QWidget* parent = nullptr);

    CCategoryCombos& combos() const { return *m_combos; }

    // Stores the fields in the item; a URL without a title first asks for one (the item is stored whether
    // or not the question is answered).
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void browseFile();
    void browseFolder();
    void openPath();
    void captureFromBrowser();
    // The path that the field stands for, as native bytes.
    std::string fieldPath() const;

    CFileCatalog& m_catalog;
    CFileItem& m_item;
    CBrowserCapture* m_capture;
    // The item's path as it was, and as the field showed it.
    std::string m_originalPath;
    QString m_originalPathText;
    QString m_originalMemoText;
    QLineEdit* m_pathEdit = nullptr;
    QLineEdit* m_titleEdit = nullptr;
    QPlainTextEdit* m_memoEdit = nullptr;
    CCategoryCombos* m_combos = nullptr;
};
