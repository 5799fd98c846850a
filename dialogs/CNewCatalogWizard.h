#pragma once

#include <QStringList>
#include <QWizard>

class CNewCategoryPage;
class CNewDirPage;
class CNewFinishPage;
class CProfile;

// The new-catalog wizard "新規作成": the folder page, the category page and the finish page. It only
// collects the user's choice; after it is finished the caller either opens the existing catalog chosen on
// the folder page, or creates folder/name/name.qlry with the categories in order.
class CNewCatalogWizard final : public QWizard {
    Q_OBJECT
public:
    explicit CNewCatalogWizard(CProfile& profile, QWidget* parent = nullptr);

    // True when the user chose an existing catalog instead of creating one.
    bool openExisting() const;
    QString existingCatalogPath() const;
    // The parent folder of the new catalog's folder, and the catalog's name.
    QString folder() const;
    QString catalogName() const;
    QStringList categoryNames() const;

    CNewDirPage& dirPage() const { return *m_dirPage; }
    CNewCategoryPage& categoryPage() const { return *m_categoryPage; }
    CNewFinishPage& finishPage() const { return *m_finishPage; }

private:
    CNewDirPage* m_dirPage = nullptr;
    CNewCategoryPage* m_categoryPage = nullptr;
    CNewFinishPage* m_finishPage = nullptr;
};
