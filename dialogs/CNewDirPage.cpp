#include "dialogs/CNewDirPage.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWizard>

#include "dialogs/CCatalogDlg.h"
#include "gui/AppUtil.h"
#include "platform/CProfile.h"
#include "platform/CUserInterface.h"

namespace {

constexpr const char* kSection = "Folder";
constexpr const char* kRecentFolderEntry = "Catalog00";

}  // namespace

CNewDirPage::CNewDirPage(CProfile& profile, QWidget* parent) : QWizardPage(parent), m_profile(profile) {
    setObjectName("NewDirPage");
    setTitle(QStringLiteral("新規カタログ"));

    auto* explanation = new QLabel(QStringLiteral("新規に作成するカタログの名称を入力してください。\n"
                                                  "その名称で保存フォルダ配下に新規フォルダを作成します。"),
                                   this);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName("catalogName");
    auto* nameLabel = new QLabel(QStringLiteral("新規カタログ名(&S):"), this);
    nameLabel->setBuddy(m_nameEdit);
    m_folderField = new CFolderField(QStringLiteral("変更(&R)..."), "changeFolderButton", this);
    m_folderField->lineEdit()->setReadOnly(true);
    connect(m_folderField, &CFolderField::folderChosen, this, &CNewDirPage::rememberFolder);
    auto* openExisting = new QPushButton(QStringLiteral("既存カタログを開く場合にはこのボタン(&O)..."), this);
    openExisting->setObjectName("openExistingButton");
    openExisting->setAutoDefault(false);
    connect(openExisting, &QPushButton::clicked, this, &CNewDirPage::chooseExistingCatalog);

    auto* grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_nameEdit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("保存フォルダ:"), this), 1, 0);
    grid->addWidget(m_folderField, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addSpacing(8);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(openExisting, 0, Qt::AlignRight);

    // The folder proposed is the most recent catalog folder; on a first start the default one, which is
    // stored at once so that the catalog list starts there too.
    QString folder = QString::fromStdString(m_profile.readString(kSection, kRecentFolderEntry, ""));
    if (folder.isEmpty()) {
        folder = apputil::defaultCatalogFolder();
        m_profile.writeString(kSection, kRecentFolderEntry, folder.toStdString());
    }
    m_folderField->setFolder(folder);
}

QString CNewDirPage::catalogName() const {
    return m_nameEdit->text();
}

QString CNewDirPage::catalogFolder() const {
    const QString parent = folder().endsWith(QLatin1Char('/')) ? folder() : folder() + QLatin1Char('/');
    return parent + catalogName();
}

void CNewDirPage::rememberFolder(const QString& folder) {
    m_profile.writeString(kSection, kRecentFolderEntry, folder.toStdString());
}

void CNewDirPage::chooseExistingCatalog() {
    CCatalogDlg dialog(m_profile, this);
    dialog.setOpenCatalogPath(m_openCatalogPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedPath().isEmpty()) {
        return;  // with no catalog chosen there is nothing to open: the user stays on the page
    }
    m_openExisting = true;
    m_existingCatalogPath = dialog.selectedPath();
    if (wizard()) {
        wizard()->accept();
    }
}

bool CNewDirPage::validatePage() {
    if (m_openExisting) {
        return true;
    }
    CUserInterface& ui = CUserInterface::current();
    if (catalogName().isEmpty()) {
        ui.message("新規カタログ名を入力してください", MessageIcon::Warning);
        return false;
    }
    const QString folder = catalogFolder();
    if (QFileInfo(folder).isDir() && !ui.askYesNo((QStringLiteral("既存のフォルダがあります - ") + folder +
                                                   QStringLiteral("\nこのフォルダを使いますか？"))
                                                      .toStdString())) {
        return false;
    }
    const QString file = folder + QLatin1Char('/') + catalogName() + QStringLiteral(".qlry");
    if (QFileInfo::exists(file) &&
        !ui.askYesNo((QStringLiteral("既存のカタログがあります - ") + catalogName() +
                      QStringLiteral("\n上書きしますか？ 注：上書き保存された場合、旧データは失われます。"))
                         .toStdString())) {
        return false;
    }
    return true;
}
