#pragma once

#include <QDialog>

// The question asked once per drop that holds folders: register every file below the dropped folders
// ("フォルダ内のファイルを全て登録する", OK, the default) or the folders as they are ("フォルダをそのまま登録する",
// Cancel, also Escape). exec() answers which.
class CFolderCheckDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CFolderCheckDlg(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};
