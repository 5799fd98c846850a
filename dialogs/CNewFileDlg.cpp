#include "dialogs/CNewFileDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "dialogs/DialogHelp.h"
#include "platform/CProfile.h"

namespace {

constexpr const char* kSection = "System";
constexpr const char* kFolderEntry = "NewFileFolder";

}  // namespace

CNewFileDlg::CNewFileDlg(CProfile& profile, QWidget* parent) : QDialog(parent), m_profile(profile) {
    setObjectName("NewFileDlg");
    setWindowTitle(QStringLiteral("ファイルの新規作成"));

    m_folder = QString::fromStdString(m_profile.readString(kSection, kFolderEntry, ""));
    if (m_folder.isEmpty()) {
        m_folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName("fileName");
    m_nameEdit->setMinimumWidth(300);
    m_folderField = new CFolderField(QStringLiteral("..."), "browseButton", this);
    m_folderField->setFolder(m_folder);

    auto* nameLabel = new QLabel(QStringLiteral("ファイル名(&N):"), this);
    nameLabel->setBuddy(m_nameEdit);
    auto* folderLabel = new QLabel(QStringLiteral("フォルダ(&F):"), this);
    folderLabel->setBuddy(m_folderField->field());

    auto* grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_nameEdit, 0, 1);
    grid->addWidget(folderLabel, 1, 0);
    grid->addWidget(m_folderField, 1, 1);

    auto* buttons = dialoghelp::okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewFileDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewFileDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    m_nameEdit->setFocus();
}

void CNewFileDlg::accept() {
    m_fileName = m_nameEdit->text();
    m_folder = m_folderField->folder();
    m_profile.writeString(kSection, kFolderEntry, m_folder.toStdString());
    QDialog::accept();
}
