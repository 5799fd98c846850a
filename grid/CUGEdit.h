#pragma once

#include <QLineEdit>

class CUGCtrl;

// The in-place edit box. Enter, Tab, Shift+Tab and the Up and Down arrows finish the edit and ask the grid
// to go on editing in the next cell that way; Escape cancels; losing the focus finishes the edit. As in a
// spreadsheet, a text longer than its cell widens the box to the right over the next cells, as far as the
// grid shows, so that the whole text stays in view while it is typed.
class CUGEdit final : public QLineEdit {
    Q_OBJECT
public:
    CUGEdit(QWidget* parent, CUGCtrl& grid);

    // Places the box over its cell (in its parent's coordinates), widened for its text.
    void placeOver(const QRect& cell);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void fitText();

    CUGCtrl& m_grid;
    QRect m_cell;
};
