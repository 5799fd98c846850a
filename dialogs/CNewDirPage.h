#pragma once

#include <QString>
#include <QWizardPage>

#include "dialogs/CFolderField.h"

class CProfile;
class QLineEdit;

// The first page of the new-catalog wizard: the name of the new catalog and the folder under which its own
// folder is made, or an existing catalog chosen in the catalog list instead (which ends the wizard).
class CNewDirPage final : public QWizardPage {
    Q_OBJECT
public:
    explicit CNewDirPage(CProfile& profile, QWidget* parent = nullptr);

    bool openExisting() const { return m_openExisting; }
    QString existingCatalogPath() const { return m_existingCatalogPath; }
    QString folder() const { return m_folderField->folder(); }
    QString catalogName() const;
    // The folder the catalog gets: folder + "/" + catalog name.
    QString catalogFolder() const;

    // The catalog that is open in the program; the catalog list behind the open-existing button refuses
    // to rename it.
    void setOpenCatalogPath(const QString& path) { m_openCatalogPath = path; }

    // The folder chooser behind "変更(&R)..."; replaceable so that a test can answer for the user.
    void setFolderPicker(CFolderField::FolderPicker picker) {
        m_folderField->setFolderPicker(std::move(picker));
    }

    // The next button: a name is required, and an existing folder or catalog file is used only when the
    // user agrees.
    bool validatePage() override;

private:
    void rememberFolder(const QString& folder);
    void chooseExistingCatalog();

    CProfile& m_profile;
    bool m_openExisting = false;
    QString m_existingCatalogPath;
    QString m_openCatalogPath;
    QLineEdit* m_nameEdit = nullptr;
    CFolderField* m_folderField = nullptr;
};
