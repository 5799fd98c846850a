#include "dialogs/CNewCatalogWizard.h"

#include "dialogs/CNewCategoryPage.h"
#include "dialogs/CNewDirPage.h"
#include "dialogs/CNewFinishPage.h"
#include "dialogs/DialogHelp.h"

CNewCatalogWizard::CNewCatalogWizard(CProfile& profile, QWidget* parent) : QWizard(parent) {
    setObjectName("NewCatalogWizard");
    setWindowTitle(QStringLiteral("新規作成"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::HaveHelpButton, true);
    setButtonText(QWizard::BackButton, QStringLiteral("< 戻る(&B)"));
    setButtonText(QWizard::NextButton, QStringLiteral("次へ(&N) >"));
    setButtonText(QWizard::CancelButton, QStringLiteral("ｷｬﾝｾﾙ"));
    setButtonText(QWizard::HelpButton, QStringLiteral("ヘルプ"));
    connect(this, &QWizard::helpRequested, this, [] { dialoghelp::show(dialoghelp::kNewCatalogContext); });

    m_dirPage = new CNewDirPage(profile, this);
    m_categoryPage = new CNewCategoryPage(this);
    m_finishPage = new CNewFinishPage(this);
    addPage(m_dirPage);
    addPage(m_categoryPage);
    addPage(m_finishPage);
    resize(560, 400);
}

bool CNewCatalogWizard::openExisting() const {
    return m_dirPage->openExisting();
}

QString CNewCatalogWizard::existingCatalogPath() const {
    return m_dirPage->existingCatalogPath();
}

QString CNewCatalogWizard::folder() const {
    return m_dirPage->folder();
}

QString CNewCatalogWizard::catalogName() const {
    return m_dirPage->catalogName();
}

QStringList CNewCatalogWizard::categoryNames() const {
    return m_categoryPage->categoryNames();
}
