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
    return false;
}

bool CTextView::onUpdateCommand(int id, CCommandState& state) {
    if (id == cmd::kPreviewCurrent) {
        state.enabled = true;
        return true;
    }
    return false;
}

void CTextView::rebuildPreview() {
    ++m_previewRebuilds;
    update();
}
