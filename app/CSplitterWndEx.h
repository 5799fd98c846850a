#pragma once

#include <QList>
#include <QSplitter>

// A vertical splitter whose last row can be hidden and shown again without destroying its pane. While the
// row is hidden the panes above it share the height; showing it restores the row sizes it had.
class CSplitterWndEx final : public QSplitter {
    Q_OBJECT
public:
    explicit CSplitterWndEx(QWidget* parent = nullptr);

    // The number of rows shown.
    int rowCount() const { return count() - (isRowHidden() ? 1 : 0); }
    bool isRowHidden() const { return m_hiddenRow >= 0; }

    // Hides the last row. When the focus is in it, the row before it takes the focus.
    void hideLastRow();
    // Shows the hidden row again with the sizes the rows had before.
    void showHiddenRow();

    // The height of a row as laid out (0 for a hidden or missing row).
    int rowHeight(int row) const;
    // Gives the row the height; the last shown row takes the rest.
    void setRowHeight(int row, int height);

private:
    int m_hiddenRow = -1;
    QList<int> m_sizesBeforeHide;
};
