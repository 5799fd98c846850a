#pragma once

#include <QLineEdit>

class CUGCtrl;

// The in-place edit box. Enter, Tab, Shift+Tab and the Up and Down arrows finish the edit and ask the grid
// to go on editing in the next cell that way; Escape cancels; losing the focus finishes the edit.
class CUGEdit final : public QLineEdit {
    Q_OBJECT
public:
    CUGEdit(QWidget* parent, CUGCtrl& grid);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CUGCtrl& m_grid;
};
