#include "preview/CWebTitleCommand.h"

#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CFileItem.h"

CWebTitleCommand::CWebTitleCommand(CQuilloryDoc& document, std::function<Shown()> shown)
    : m_document(document), m_shown(std::move(shown)) {
    m_document.addCommandFamily(this);
}

CWebTitleCommand::~CWebTitleCommand() {
    m_document.removeCommandFamily(this);
}

bool CWebTitleCommand::onCommand(int id) {
    if (id != cmd::kSetWebPageTitle) {
        return false;
    }
    const Shown shown = m_shown();
    const std::string title = shown.pageTitle.trimmed().toStdString();
    if (!shown.item || title.empty() || title == shown.item->title()) {
        return true;
    }
    m_document.recordUndoPoint();
    shown.item->setTitle(title);
    m_document.finishChange(hint::kSortOrFilterChanged);
    return true;
}

bool CWebTitleCommand::onUpdateCommand(int id, CCommandState& state) {
    if (id != cmd::kSetWebPageTitle) {
        return false;
    }
    const Shown shown = m_shown();
    state.enabled = shown.item && !shown.pageTitle.trimmed().isEmpty();
    return true;
}
