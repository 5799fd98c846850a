#pragma once

#include <QString>
#include <cstdint>

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

    // Where the item search found its text inside the current item's file: the byte offset in the file and
    // the text searched for. The select-search-hit command (32965) that follows selects it in the editor.
    void setSearchHit(std::int64_t offset, const QString& text);
    std::int64_t searchHitOffset() const { return m_searchHitOffset; }
    const QString& searchHitText() const { return m_searchHitText; }

private:
    void rebuildPreview();

    int m_previewRebuilds = 0;
    std::int64_t m_searchHitOffset = -1;
    QString m_searchHitText;
};
