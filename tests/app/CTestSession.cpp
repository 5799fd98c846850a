#include "CTestSession.h"

#include <QSettings>

#include "EmptyCatalogWizard.h"
#include "app/CMainFrame.h"
#include "app/CQuilloryApp.h"
#include "gui/CQuilloryDoc.h"
#include "model/CCatalogFile.h"
#include "model/CCatalogFolder.h"
#include "model/CFileCatalog.h"

CTestSession::CTestSession() {
    // Past the first start, so that the program does not bring up its sample catalog.
    QSettings(m_home.settingsFile(), QSettings::IniFormat).setValue("System/FirstExec", 0);
}

CTestSession::~CTestSession() = default;

bool CTestSession::start(const QStringList& arguments) {
    m_app = std::make_unique<CQuilloryApp>();
    return m_app->initInstance(arguments);
}

bool CTestSession::startWithEmptyCatalog() {
    m_app = std::make_unique<CQuilloryApp>();
    m_app->setNewCatalogWizard(startEmptyCatalog);
    return m_app->initInstance({});
}

CMainFrame& CTestSession::frame() {
    return *m_app->mainFrame();
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

QString CTestSession::setting(const QString& key) const {
    return QSettings(m_home.settingsFile(), QSettings::IniFormat).value(key).toString();
}
