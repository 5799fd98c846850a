#pragma once

#include <QDialog>

class QLineEdit;
class QScrollBar;

// The zoom dialog: the reduce divisor or the enlarge factor as a decimal number from 1.0 to 10.0, typed
// or set with a scroll bar that moves in tenths.
class CZoomDlg final : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Reduce, Enlarge };

    CZoomDlg(Kind kind, double value, QWidget* parent = nullptr);

    // The value typed or set (what the edit holds; the edit is not checked against the range).
    double value() const { return m_value; }

    void accept() override;

private:
    void setValue(double value);
    void scrollAction(int action);

    double m_value = 1.0;
    QLineEdit* m_edit = nullptr;
    QScrollBar* m_scrollBar = nullptr;
};
