#include "preview/CTextView.h"

#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"

CTextView::CTextView(CQuilloryDoc& document, QWidget* parent) : CQuilloryView(document, parent) {
    setObjectName("TextView");
    document.setCommandView(CQuilloryDoc::PassedCommands::Image, this);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

bool CTextView::onCommand(int id) {
    if (id == cmd::kPreviewCurrent) {
        rebuildPreview();
        return true;
    }
    if (id == cmd::kSelectSearchHit) {
        return true;  // the hit stays set for the editor, which selects it when it shows the file
    }
    return false;
}

bool CTextView::onUpdateCommand(int id, CCommandState& state) {
    if (id == cmd::kPreviewCurrent || id == cmd::kSelectSearchHit) {
        state.enabled = true;
        return true;
    }
    return false;
}

void CTextView::rebuildPreview() {
    ++m_previewRebuilds;
    update();
}

void CTextView::setSearchHit(std::int64_t offset, const QString& text) {
    m_searchHitOffset = offset;
    m_searchHitText = text;
}
