#include "dialogs/CRenameDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialogs/CFolderComboBox.h"
#include "dialogs/CFolderField.h"
#include "dialogs/DialogHelp.h"

CRenameDlg::CRenameDlg(CProfile& profile, QWidget* parent) : QDialog(parent) {
    setObjectName("RenameDlg");
    setWindowTitle(QStringLiteral("カタログ名変更"));

    m_explanation =
        new QLabel(QStringLiteral("カタログの名前を変更します。保存フォルダも変更されます。"), this);
    m_explanation->setObjectName("explanation");
    m_currentEdit = new QLineEdit(this);
    m_currentEdit->setObjectName("currentName");
    m_currentEdit->setReadOnly(true);
    m_newEdit = new QLineEdit(this);
    m_newEdit->setObjectName("newName");
    m_folderBox = new CFolderComboBox(profile, QStringLiteral("Folder"), QStringLiteral("Catalog"), this);
    m_folderBox->setObjectName("folderBox");
    m_folderBox->setMinimumWidth(320);
    auto* folderField = new CFolderField(m_folderBox, QStringLiteral("変更(&R)..."), "browseButton", this);

    auto* newLabel = new QLabel(QStringLiteral("新しい名前(&N):"), this);
    newLabel->setBuddy(m_newEdit);
    auto* folderLabel = new QLabel(QStringLiteral("フォルダ(&F):"), this);
    folderLabel->setBuddy(m_folderBox);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("現在の名前:"), this), 0, 0);
    grid->addWidget(m_currentEdit, 0, 1);
    grid->addWidget(newLabel, 1, 0);
    grid->addWidget(m_newEdit, 1, 1);
    grid->addWidget(folderLabel, 2, 0);
    grid->addWidget(folderField, 2, 1);
    grid->addWidget(
        new QLabel(QStringLiteral("このフォルダの配下にカタログ名でフォルダを作成します。"), this), 3, 1);

    auto* buttons = dialoghelp::okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRenameDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRenameDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_explanation);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void CRenameDlg::setSaveAs(bool saveAs) {
    m_saveAs = saveAs;
    setWindowTitle(saveAs ? QStringLiteral("名前を付けて保存") : QStringLiteral("カタログ名変更"));
    m_explanation->setText(saveAs
                               ? QStringLiteral("カタログを別名で保存します")
                               : QStringLiteral("カタログの名前を変更します。保存フォルダも変更されます。"));
}

void CRenameDlg::setCurrentName(const QString& name) {
    m_currentName = name;
    m_currentEdit->setText(name);
}

void CRenameDlg::setNewName(const QString& name) {
    m_newName = name;
    m_newEdit->setText(name);
}

void CRenameDlg::setFolder(const QString& folder) {
    m_folderBox->setCurrentFolder(folder);
}

QString CRenameDlg::folder() const {
    return m_folderBox->currentFolder();
}

void CRenameDlg::showEvent(QShowEvent* event) {
    if (!m_prepared) {
        m_prepared = true;
        m_folderBox->load();
        if (m_folderBox->findText(m_folderBox->currentFolder()) < 0) {
            // The catalog's own parent folder is offered even when the history does not hold it yet.
            m_folderBox->chooseFolder(m_folderBox->currentFolder());
        }
        m_newEdit->setFocus();
        m_newEdit->selectAll();
    }
    QDialog::showEvent(event);
}

void CRenameDlg::accept() {
    m_newName = m_newEdit->text();
    m_folderBox->save();
    QDialog::accept();
}
