#include "dialogs/CFolderCheckDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/DialogHelp.h"

CFolderCheckDlg::CFolderCheckDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("FolderCheckDlg");
    setWindowTitle(QStringLiteral("フォルダの確認"));

    auto* text = new QLabel(QStringLiteral("ドロップしたファイルにフォルダが含まれています。"), this);
    text->setObjectName("text");
    auto* allFiles = new QPushButton(QStringLiteral("フォルダ内のファイルを全て登録する"), this);
    allFiles->setObjectName("allFiles");
    allFiles->setDefault(true);
    auto* asIs = new QPushButton(QStringLiteral("フォルダをそのまま登録する"), this);
    asIs->setObjectName("asIs");
    connect(allFiles, &QPushButton::clicked, this, &CFolderCheckDlg::accept);
    connect(asIs, &QPushButton::clicked, this, &CFolderCheckDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(allFiles);
    buttons->addWidget(asIs);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
    allFiles->setFocus();
}

void CFolderCheckDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    dialoghelp::centreOnParent(*this);
}
