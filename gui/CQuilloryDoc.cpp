#include "gui/CQuilloryDoc.h"

#include <QFileInfo>
#include <algorithm>

#include "catalogfile/CCatalogFile.h"
#include "gui/CQuilloryView.h"
#include "gui/CWaitCursor.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "platform/CProfile.h"
#include "platform/CUserInterface.h"

CQuilloryDoc::CQuilloryDoc(CProfile& profile, QObject* parent) : QObject(parent), m_profile(profile) {}

CQuilloryDoc::~CQuilloryDoc() = default;

void CQuilloryDoc::addView(CQuilloryView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) {
        m_views.push_back(view);
    }
}

void CQuilloryDoc::removeView(CQuilloryView* view) {
    std::erase(m_views, view);
    if (m_itemCommandView == view) {
        m_itemCommandView = nullptr;
    }
    if (m_imageCommandView == view) {
        m_imageCommandView = nullptr;
    }
}

void CQuilloryDoc::updateAllViews(CQuilloryView* sender, int hintValue) {
    // A copy: a view may be added or removed while the hint travels.
    const std::vector<CQuilloryView*> views = m_views;
    for (CQuilloryView* view : views) {
        if (view != sender) {
            view->onUpdate(sender, hintValue);
        }
    }
}

void CQuilloryDoc::setCommandView(PassedCommands kind, CQuilloryView* view) {
    (kind == PassedCommands::Item ? m_itemCommandView : m_imageCommandView) = view;
}

CQuilloryView* CQuilloryDoc::commandView(PassedCommands kind) const {
    return kind == PassedCommands::Item ? m_itemCommandView.data() : m_imageCommandView.data();
}

void CQuilloryDoc::addCommandFamily(CCommandTarget* family) {
    if (std::find(m_families.begin(), m_families.end(), family) == m_families.end()) {
        m_families.push_back(family);
    }
}

void CQuilloryDoc::removeCommandFamily(CCommandTarget* family) {
    std::erase(m_families, family);
}

QString CQuilloryDoc::title() const {
    return m_pathName.isEmpty() ? QString::fromUtf8(kUntitled) : QFileInfo(m_pathName).fileName();
}

void CQuilloryDoc::setPathName(const QString& path, bool addToRecentFiles) {
    m_pathName = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (addToRecentFiles && !m_pathName.isEmpty()) {
        Q_EMIT recentFileAdded(m_pathName);
    }
    Q_EMIT titleChanged();
}

void CQuilloryDoc::setModifiedFlag(bool modified) {
    m_modified = modified;
}

void CQuilloryDoc::recordUndoPoint() {
    m_undo.recordCatalog(m_catalog);
}

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
    newCatalogCompleted();
    return true;
}

void CQuilloryDoc::newCatalogCompleted() {
    if (m_newCatalogCompleted) {
        m_newCatalogCompleted();
    }
}

bool CQuilloryDoc::onOpenDocument(const QString& path) {
    deleteContents();
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    std::optional<CCatalogFileError> error;
    {
        CWaitCursor wait;
        error = CCatalogFile::read(m_catalog, absolutePath.toStdString());
    }
    setModifiedFlag(false);
    if (error) {
        // The catalog was cleared: the document is empty and has no file.
        m_catalog.clear();
        setPathName(QString(), false);
        updateAllViews(nullptr, hint::kUndoRedo | hint::kValueLists);
        CUserInterface::current().message(error->userMessage(), MessageIcon::Warning);
        return false;
    }
    setPathName(absolutePath);
    rememberFileStamp(absolutePath);
    updateAllViews(nullptr, hint::kUndoRedo | hint::kValueLists);
    return true;
}

bool CQuilloryDoc::onSaveDocument(const QString& path) {
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    // The file as it was read, when it still is: the core refuses the save if another program replaces it
    // between this check and the save (the user was not asked, so nothing of theirs may be overwritten).
    std::optional<CFileStamp> expected;
    if (absolutePath == m_stampedPath && m_fileStamp &&
        CFileStamp::of(absolutePath.toStdString()) == m_fileStamp) {
        expected = m_fileStamp;
    }
    if (!confirmOverwriteChangedFile(absolutePath)) {
        return false;
    }
    std::optional<CCatalogFileError> error;
    {
        CWaitCursor wait;
        error = CCatalogFile::write(m_catalog, absolutePath.toStdString(), expected);
    }
    if (error) {
        CUserInterface::current().message(error->userMessage(), MessageIcon::Warning);
        return false;
    }
    setModifiedFlag(false);
    rememberFileStamp(absolutePath);
    return true;
}

bool CQuilloryDoc::doFileSave() {
    if (m_pathName.isEmpty()) {
        return m_saveAsStep && m_saveAsStep();
    }
    return onSaveDocument(m_pathName);
}

bool CQuilloryDoc::saveModified() {
    if (!m_modified) {
        return true;
    }
    const QString question = QStringLiteral("%1 への変更を保存しますか?").arg(title());
    switch (CUserInterface::current().askYesNoCancel(question.toStdString())) {
        case Answer::Yes:
            return doFileSave();
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

void CQuilloryDoc::deleteContents() {
    m_catalog.clear();
    m_undo.clear();
    m_stampedPath.clear();
    m_fileStamp.reset();
}

void CQuilloryDoc::followMovedFile(const QString& path) {
    if (m_fileStamp && CFileStamp::of(path.toStdString()) == m_fileStamp) {
        m_stampedPath = path;
    }
}

// ---- command routing ----

bool CQuilloryDoc::onCommand(int id) {
    if (cmd::isPassedItemCommand(id) || cmd::isPassedImageCommand(id)) {
        CQuilloryView* view =
            commandView(cmd::isPassedItemCommand(id) ? PassedCommands::Item : PassedCommands::Image);
        return view && view->onCommand(id);
    }
    if (onOwnCommand(id)) {
        return true;
    }
    return std::any_of(m_families.begin(), m_families.end(),
                       [id](CCommandTarget* family) { return family->onCommand(id); });
}

bool CQuilloryDoc::onUpdateCommand(int id, CCommandState& state) {
    if (cmd::isPassedItemCommand(id) || cmd::isPassedImageCommand(id)) {
        CQuilloryView* view =
            commandView(cmd::isPassedItemCommand(id) ? PassedCommands::Item : PassedCommands::Image);
        return view && view->onUpdateCommand(id, state);
    }
    if (onUpdateOwnCommand(id, state)) {
        return true;
    }
    return std::any_of(m_families.begin(), m_families.end(),
                       [id, &state](CCommandTarget* family) { return family->onUpdateCommand(id, state); });
}

// ---- the document's own commands: save, undo, redo ----

bool CQuilloryDoc::onOwnCommand(int id) {
    switch (id) {
        case cmd::kFileSave:
            doFileSave();
            return true;
        case cmd::kEditUndo:
            undo();
            return true;
        case cmd::kEditRedo:
            redo();
            return true;
        default:
            return false;
    }
}

bool CQuilloryDoc::onUpdateOwnCommand(int id, CCommandState& state) {
    switch (id) {
        case cmd::kFileSave:
            state.enabled = true;
            return true;
        case cmd::kEditUndo:
            state.enabled = m_undo.canUndo();
            return true;
        case cmd::kEditRedo:
            state.enabled = m_undo.canRedo();
            return true;
        default:
            return false;
    }
}

namespace {

constexpr const char* kChangedOnDisk = "%1 は他のプログラムによって変更されています。上書きしますか？";

}  // namespace

void CQuilloryDoc::undo() {
    // A state from before a save as or rename still belongs in the catalog's present file.
    const std::string path = m_catalog.path();
    if (m_undo.undoCatalog(m_catalog)) {
        m_catalog.setPath(path);
        finishChange(hint::kUndoRedo);
    }
}

void CQuilloryDoc::redo() {
    const std::string path = m_catalog.path();
    if (m_undo.redoCatalog(m_catalog)) {
        m_catalog.setPath(path);
        finishChange(hint::kUndoRedo);
    }
}

void CQuilloryDoc::rememberFileStamp(const QString& path) {
    m_stampedPath = path;
    m_fileStamp = CFileStamp::of(path.toStdString());
}

bool CQuilloryDoc::confirmOverwriteChangedFile(const QString& path) {
    if (path != m_stampedPath || !m_fileStamp) {
        return true;
    }
    const std::optional<CFileStamp> now = CFileStamp::of(path.toStdString());
    if (!now || *now == *m_fileStamp) {
        return true;  // unchanged, or gone: nothing of another program's is overwritten
    }
    const QString question = QString::fromUtf8(kChangedOnDisk).arg(QFileInfo(path).fileName());
    return CUserInterface::current().askYesNo(question.toStdString());
}
