#pragma once

#include "gui/CCommandTarget.h"
#include "search/CFileSearchCondition.h"

class CFileListView;
class CQuilloryDoc;

// The item search of the item list: "アイテム検索" (32918) asks for the conditions and walks the displayed
// items from the current row on; "次を検索" (32919) walks on from the row after it and "前を検索" (32920)
// back from the row before it, with the conditions of the last search. No walk wraps around. A hit becomes
// the current row; a hit inside a text file also hands its offset to the preview (32965). Registered with
// the item list view as a command family.
class CItemSearchCommands final : public CCommandTarget {
public:
    explicit CItemSearchCommands(CFileListView& view);

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

private:
    void search();
    // Walks from the row, up (direction > 0) or down, and shows what it found.
    void searchFrom(int row, int direction);
    // The walk itself; when it reads text files it shows the wait cursor, and a progress dialog with
    // "中止" once it runs longer than a second. -1 for no hit, -2 when the user stopped it.
    int walk(int row, int direction);
    void showHit(int row);
    CQuilloryDoc& document() const;

    CFileListView& m_view;
    CFileSearchCondition m_condition;
};
