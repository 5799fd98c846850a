#include "gui/CQuilloryView.h"

#include "gui/CQuilloryDoc.h"

CQuilloryView::CQuilloryView(CQuilloryDoc& document, QWidget* parent)
    : QWidget(parent), m_document(document) {
    setFocusPolicy(Qt::StrongFocus);
    m_document.addView(this);
}

CQuilloryView::~CQuilloryView() {
    m_document.removeView(this);
}

void CQuilloryView::onUpdate(CQuilloryView* sender, int hintValue) {
    (void)sender;
    (void)hintValue;
    update();
}
