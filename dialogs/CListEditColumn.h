#pragma once

// The shape that the list-editing dialogs share (categories, filter conditions, sort keys): the list on the
// left, a column of buttons beside it (追加, 編集, 削除, up, down), and the dialog's button box below both.

class QDialogButtonBox;
class QLayout;
class QListWidget;
class QPushButton;
class QVBoxLayout;
class QWidget;

class CListEditColumn final {
public:
    explicit CListEditColumn(QWidget* dialog);

    // A button at the foot of the column. It never takes Enter: that stays with the dialog's default button.
    QPushButton* addButton(const char* text, const char* objectName);
    // A button made by the dialog (a menu button, say), placed at the foot of the column.
    void addButton(QPushButton* button);
    // Lays out the dialog: `left` (the list and whatever sits under it) beside the column, `buttons` below.
    void layOut(QLayout* left, QDialogButtonBox* buttons);

    // The row of the first selected line, -1 when none is selected.
    static int selectedRow(const QListWidget& list);

private:
    QWidget* m_dialog;
    QVBoxLayout* m_column;
};
