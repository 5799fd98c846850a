#pragma once

#include "gui/CCommandTarget.h"

class CQuilloryDoc;

// The filter and sort dialogs of the catalog: "フィルタ設定(&A)..." and "整列の設定(&M)...". Both dialogs
// edit the catalog's conditions and keys in place; neither records an undo point nor marks the document
// modified, as the other sort and filter commands do not. Registered with the document as a command family.
class CFilterSortCommands final : public CCommandTarget {
public:
    explicit CFilterSortCommands(CQuilloryDoc& document);
    ~CFilterSortCommands() override;
    CFilterSortCommands(const CFilterSortCommands&) = delete;
    CFilterSortCommands& operator=(const CFilterSortCommands&) = delete;

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

private:
    // The filter dialog; "実行(&X)" switches filtering on. While filtering is on (also after "閉じる"), the
    // list is rebuilt with the conditions as they are now.
    void editFilters();
    // The sort dialog; whichever way it closes, the list is sorted again by the keys as they are now.
    void editSortKeys();

    CQuilloryDoc& m_document;
};
