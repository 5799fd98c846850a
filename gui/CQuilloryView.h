#pragma once

#include <QWidget>

#include "gui/CCommandTarget.h"

class CQuilloryDoc;

// A view of the document: one of the three panes of the main window. The document tells every view of a
// change with an update hint (gui/UpdateHints.h); the active view is the first to be offered a command.
class CQuilloryView : public QWidget, public CCommandTarget {
    Q_OBJECT
public:
    CQuilloryView(CQuilloryDoc& document, QWidget* parent);
    ~CQuilloryView() override;

    CQuilloryDoc& document() const { return m_document; }

    // Called once the document is open, before the view is first shown.
    virtual void onInitialUpdate() { onUpdate(nullptr, 0); }
    // The document changed; `sender` is the view that made the change, or nullptr.
    virtual void onUpdate(CQuilloryView* sender, int hintValue);

private:
    CQuilloryDoc& m_document;
};
