#pragma once

#include "gui/CQuilloryView.h"

// The item list: hosts the grid of the displayed items, above the preview row.
class CFileListView final : public CQuilloryView {
    Q_OBJECT
public:
    CFileListView(CQuilloryDoc& document, QWidget* parent);
};
