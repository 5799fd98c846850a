#include "app/CQuilloryDoc.h"

#include <QFileInfo>
#include <algorithm>

#include "app/CQuilloryView.h"
#include "app/CRecentFileList.h"
#include "app/UpdateHints.h"
#include "model/CCatalogFile.h"
#include "platform/CUserInterface.h"
#include "preview/CTextView.h"
#include "views/CCategoryView.h"
#include "views/CFileListView.h"

namespace {

// Until the new-catalog wizard exists the new-catalog step starts an empty catalog without a file.
bool startEmptyCatalog(CQuilloryDoc& document) {
    document.deleteContents();
    document.setModifiedFlag(false);
    document.setPathName(QString(), false);
    return true;
}

}  // namespace

CQuilloryDoc::CQuilloryDoc(CProfile& profile, CRecentFileList& recentFiles, QObject* parent)
    : QObject(parent), m_profile(profile), m_recentFiles(recentFiles), m_newCatalogWizard(startEmptyCatalog) {}

CQuilloryDoc::~CQuilloryDoc() = default;

void CQuilloryDoc::addView(CQuilloryView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) {
        m_views.push_back(view);
    }
}

void CQuilloryDoc::removeView(CQuilloryView* view) { std::erase(m_views, view); }

void CQuilloryDoc::updateAllViews(CQuilloryView* sender, int hintValue) {
    // A copy: a view may be added or removed while the hint travels.
    const std::vector<CQuilloryView*> views = m_views;
    for (CQuilloryView* view : views) {
        if (view != sender) {
            view->onUpdate(sender, hintValue);
        }
    }
}

template <typename View>
static View* findView(const std::vector<CQuilloryView*>& views) {
    for (CQuilloryView* view : views) {
        if (auto* found = qobject_cast<View*>(view)) {
            return found;
        }
    }
    return nullptr;
}

CCategoryView* CQuilloryDoc::categoryView() const { return findView<CCategoryView>(m_views); }
CFileListView* CQuilloryDoc::fileListView() const { return findView<CFileListView>(m_views); }
CTextView* CQuilloryDoc::textView() const { return findView<CTextView>(m_views); }

QString CQuilloryDoc::title() const {
    return m_pathName.isEmpty() ? QString::fromUtf8(kUntitled) : QFileInfo(m_pathName).fileName();
}

void CQuilloryDoc::setPathName(const QString& path, bool addToRecentFiles) {
    m_pathName = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (addToRecentFiles && !m_pathName.isEmpty()) {
        m_recentFiles.add(m_pathName);
    }
    Q_EMIT titleChanged();
}

void CQuilloryDoc::setModifiedFlag(bool modified) { m_modified = modified; }

void CQuilloryDoc::recordUndoPoint() { m_undo.recordCatalog(m_catalog); }

void CQuilloryDoc::finishChange(int hintValue) {
    m_catalog.recompute();
    setModifiedFlag(true);
    updateAllViews(nullptr, hintValue);
}

QStringList CQuilloryDoc::categoryNames() const {
    QStringList names;
    for (const std::string& name : m_catalog.categoryNames()) {
        names.append(QString::fromStdString(name));
    }
    return names;
}

bool CQuilloryDoc::onNewDocument() {
    if (!m_newCatalogWizard || !m_newCatalogWizard(*this)) {
        return false;
    }
    if (m_newCatalogCompleted) {
        m_newCatalogCompleted();
    }
    return true;
}

bool CQuilloryDoc::onOpenDocument(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        CUserInterface::current().message(
            QStringLiteral("%1 を開けませんでした。").arg(path).toStdString(), MessageIcon::Warning);
        return false;
    }
    deleteContents();
    const std::string filePath = QFileInfo(path).absoluteFilePath().toStdString();
    if (const std::optional<CCatalogFileError> error = CCatalogFile::read(m_catalog, filePath)) {
        CUserInterface::current().message(error->userMessage(), MessageIcon::Warning);
        return false;
    }
    setModifiedFlag(false);
    setPathName(path);
    updateAllViews(nullptr, hint::kUndoRedo | hint::kValueLists);
    return true;
}

bool CQuilloryDoc::saveModified() { return true; }

void CQuilloryDoc::deleteContents() { m_catalog.clear(); }

bool CQuilloryDoc::onCommand(int id) { return onFileCommand(id) || onCatalogCommand(id); }

bool CQuilloryDoc::onUpdateCommand(int id, CCommandState& state) {
    return onUpdateFileCommand(id, state) || onUpdateCatalogCommand(id, state);
}

// ---- the file and edit commands ----

bool CQuilloryDoc::onFileCommand(int id) {
    (void)id;
    return false;
}

bool CQuilloryDoc::onUpdateFileCommand(int id, CCommandState& state) {
    (void)id;
    (void)state;
    return false;
}

// ---- the catalog-wide commands ----

bool CQuilloryDoc::onCatalogCommand(int id) {
    (void)id;
    return false;
}

bool CQuilloryDoc::onUpdateCatalogCommand(int id, CCommandState& state) {
    (void)id;
    (void)state;
    return false;
}
