#pragma once

#include <QTreeView>
#include <vector>

// A list with one headed column: a real item view, so that screen readers read its heading and rows and
// the keyboard moves through it (arrows; Tab leaves it). Rows have one fixed height and are never measured.
// With `multiSelection` the user picks several rows with Ctrl and Shift, else one row at a time.
class CListCtrlBox final : public QTreeView {
    Q_OBJECT
public:
    CListCtrlBox(bool multiSelection, QWidget* parent);

    // Selects the row, makes it the current (focused) row and scrolls it into view.
    void selectRow(int row);
    // Clears every selection.
    void clearSelectedRows();
    // The indices of the selected rows, in row order.
    std::vector<int> selectedRows() const;
    // The row at the top of the visible area, 0 when empty.
    int topRow() const;
    // Scrolls so that the row is at the top (as far as the list allows).
    void scrollRowToTop(int row);
    // The list width that shows its heading and a row text of the width (in pixels) whole, with the list's
    // frame, margins and, when its rows need one at its present height, its vertical scroll bar.
    int widthToShow(int textWidth) const;
};
