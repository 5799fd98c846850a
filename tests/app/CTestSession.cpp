#include "CTestSession.h"

#include <QSettings>

#include "app/CMainFrame.h"
#include "app/CQuilloryApp.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "gui/CQuilloryDoc.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

CTestSession::CTestSession() : CTestSession(Setup{}) {}

CTestSession::CTestSession(const Setup& setup) : m_ui(setup.answerYes), m_wizard(setup.wizard) {
    QVariantMap settings = setup.settings;
    if (setup.firstStartDone) {
        settings.insert("System/FirstExec", 0);
    }
    if (!settings.isEmpty()) {
        presetSettings(settings);
    }
}

CTestSession::~CTestSession() {
    stop();
}

bool CTestSession::start(const QStringList& arguments) {
    stop();
    m_wizardRuns = 0;
    m_app = std::make_unique<CQuilloryApp>();
    if (m_wizard != Wizard::Real) {
        m_app->setNewCatalogWizard([this, wizard = m_wizard](CQuilloryDoc& document) {
            ++m_wizardRuns;
            if (wizard == Wizard::EmptyCatalog) {
                document.deleteContents();
                document.setModifiedFlag(false);
                document.setPathName(QString(), false);
            }
            return wizard != Wizard::Cancels;
        });
    }
    return m_app->initInstance(arguments);
}

void CTestSession::stop() {
    if (m_app) {
        m_app->exitInstance();
        m_app.reset();
    }
}

CMainFrame& CTestSession::frame() {
    return *m_app->mainFrame();
}

MyCug& CTestSession::grid() {
    return frame().fileListView()->grid();
}

QStringList CTestSession::columnTexts(const MyCug& grid, int col) {
    QStringList texts;
    for (int row = 0; row < grid.numberRows(); ++row) {
        texts << grid.quickGetText(col, row);
    }
    return texts;
}

CQuilloryDoc& CTestSession::document() {
    return m_app->document();
}

CFileCatalog& CTestSession::catalog() {
    return m_app->document().catalog();
}

bool CTestSession::run(int command) {
    return frame().routeCommand(command);
}

QString CTestSession::catalogsFolder() const {
    return m_home.documents() + QStringLiteral("/Quillory");
}

QString CTestSession::writeCatalog(const QString& name, const QStringList& categories) const {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(catalogsFolder().toStdString(), name.toStdString());
    for (const QString& category : categories) {
        catalog.addCategory(category.toStdString());
    }
    const std::string path = catalog.path();
    if (CCatalogFile::write(catalog, path)) {
        return {};
    }
    return QString::fromStdString(path);
}

void CTestSession::presetSettings(const QVariantMap& values) const {
    QSettings file(m_home.settingsFile(), QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it) {
        file.setValue(it.key(), it.value());
    }
}

void CTestSession::removeSetting(const QString& key) const {
    QSettings(m_home.settingsFile(), QSettings::IniFormat).remove(key);
}

QVariant CTestSession::setting(const QString& key) const {
    return QSettings(m_home.settingsFile(), QSettings::IniFormat).value(key);
}
