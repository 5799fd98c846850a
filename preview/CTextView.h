#pragma once

#include "gui/CQuilloryView.h"

// The preview pane below the item list: shows the current item through the viewer its kind selects.
class CTextView final : public CQuilloryView {
    Q_OBJECT
public:
    CTextView(CQuilloryDoc& document, QWidget* parent);

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // How often the preview of the current item was rebuilt (the preview command).
    int previewRebuildCount() const { return m_previewRebuilds; }

private:
    void rebuildPreview();

    int m_previewRebuilds = 0;
};
