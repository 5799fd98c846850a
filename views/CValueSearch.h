#pragma once

#include <string>

#include "gui/CCommandTarget.h"

class CCategoryView;

// The value search of the category pane: "属性リスト検索" (32910) asks for a text and one of the shown
// categories and selects that list's first value containing the text; "属性リスト次検索" (32911) and
// "属性リスト前検索" (32912) search the focused list after and before its current row with the last text.
// A found value is selected as the user would select it, so the item list follows. The pane offers this
// family every command it does not handle itself.
class CValueSearch final : public CCommandTarget {
public:
    explicit CValueSearch(CCategoryView& pane);

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // The text of the last value search.
    const std::string& lastText() const { return m_lastText; }

private:
    void search();
    // Searches the focused list from its current row on (direction > 0) or back.
    void searchNext(int direction);
    // Searches the values of the list at the position from value index `from`, up or down; a hit becomes
    // the list's one selected row.
    void searchList(int position, int from, int direction);

    CCategoryView& m_pane;
    std::string m_lastText;
};
