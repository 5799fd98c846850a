#pragma once

#include "gui/CQuilloryView.h"

// The category pane: one list of values per shown category, for drilling down through the catalog. It is
// the first view of the main window and passes the item commands on to the item list view.
class CCategoryView final : public CQuilloryView {
    Q_OBJECT
public:
    CCategoryView(CQuilloryDoc& document, QWidget* parent);

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // The item commands that this pane sends on unchanged to the item list view.
    static bool isForwardedItemCommand(int id);
};
