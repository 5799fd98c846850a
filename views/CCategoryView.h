#pragma once

#include <QFont>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/CQuilloryView.h"
#include "views/CCategoryLayout.h"

class CCategoryListModel;
class CCategoryPaneCommands;
class CListCtrlBox;
class QScrollBar;
class CValueSearch;

// The category pane: one list of values per category shown in the pane, side by side in category order,
// each headed by the category's name with "全て(%d)" as its first row. The rows selected in the lists are
// the catalog's category selections; the lists drill down from left to right. The pane carries out the
// category commands (change, delete, move, value rename, equal widths, font) and passes the item commands
// on to the item list view. Lists too narrow for their heading and values are widened, and the pane then
// scrolls sideways.
class CCategoryView final : public CQuilloryView {
    Q_OBJECT
public:
    // The gap between two lists, in pixels; dragging in it changes the widths of its two lists.
    static constexpr int kGap = 2;

    CCategoryView(CQuilloryDoc& document, QWidget* parent);
    ~CCategoryView() override;

    void onInitialUpdate() override;
    void onUpdate(CQuilloryView* sender, int hintValue) override;
    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // The item commands that this pane sends on unchanged to the item list view.
    static bool isForwardedItemCommand(int id);

    int listCount() const { return static_cast<int>(m_lists.size()); }
    CListCtrlBox* list(int position) const { return m_lists[static_cast<std::size_t>(position)]; }
    CCategoryListModel* listModel(int position) const { return m_models[static_cast<std::size_t>(position)]; }
    // The catalog index of the category the list at the position shows.
    int categoryOf(int position) const { return m_categories[static_cast<std::size_t>(position)]; }
    // The position of the list that holds the keyboard focus, -1 for none.
    int focusedList() const;
    const QFont& paneFont() const { return m_font; }
    // Selects in every list the rows of its category's selection (row 0 when it has none).
    void restoreSelections();
    // The pane width that shows every list whole, side by side: its heading and its values (up to a
    // readable length).
    int readableWidth() const;
    // The sideways scroll bar, shown while the lists need more room than the pane has.
    QScrollBar* scrollBar() const { return m_scrollBar; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // Destroys and recreates every list, fills them and restores the catalog's selections.
    void rebuildLists();
    // Refills one list; `keep` keeps its first selected value when still offered, else selects `row`.
    void fillList(int position, int row, bool keep);
    // The user changed the selection of a list: the catalog narrows, the lists to its right refill.
    void onSelectionChanged(int position);
    // Every list's selected values (row 0 left out) become its category's selection.
    void storeSelections();
    // Places the lists with their gaps; the last list reaches the right edge. Shows the scroll bar when
    // the lists are wider than the pane.
    void layoutLists();
    // Moves the lists to the scroll bar's position.
    void placeLists();
    // Scrolls sideways so that the list is in view, as much of it as the pane can show.
    void scrollToList(int position);
    // Measures what the list needs to show its heading and values; true when that changed.
    bool measureList(int position);
    // Writes each list's requested width to its category. Widths are kept with the catalog when it is
    // saved, but changing them does not mark it modified: they are the view's state, like the selections.
    void storeWidths();
    // The gap under the pane's x coordinate (gap i lies right of list i), -1 for none.
    int gapAt(int x) const;
    // True while the lists stand for the categories the catalog shows, in the same order. Hints may reach
    // the pane after another program's file or an undo changed the categories; the pane then rebuilds
    // rather than index past them.
    bool listsMatchCatalog() const;
    std::vector<int> shownCategories() const;

    void equalWidths();
    void chooseFont();
    void loadFont();

    std::vector<CListCtrlBox*> m_lists;
    std::vector<CCategoryListModel*> m_models;
    std::vector<int> m_categories;  // the catalog index of each list's category
    CCategoryLayout m_layout{kGap};
    QScrollBar* m_scrollBar = nullptr;
    int m_lastFocusedList = 0;
    bool m_notify = false;
    QFont m_font;
    bool m_dragging = false;
    int m_dragGap = -1;
    // The category commands and the value search, each kept in a family of its own.
    std::unique_ptr<CCategoryPaneCommands> m_categoryCommands;
    std::unique_ptr<CValueSearch> m_valueSearch;
};
