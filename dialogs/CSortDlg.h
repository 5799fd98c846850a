#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

class CMenuButton;
class CSortArray;
class QListWidget;
class QPushButton;
class QRadioButton;

// "整列の設定": the catalog's sort keys, the first deciding first. It works on the keys themselves: each
// change is there at once. Whichever way it closes, an empty list gets the key "(ファイル名)" ascending, so
// the catalog always has a key. The caller sorts again afterwards.
class CSortDlg final : public QDialog {
    Q_OBJECT
public:
    CSortDlg(CSortArray& keys, std::vector<std::string> categoryNames, QWidget* parent = nullptr);

    // The label of a key: a built-in key's word in parentheses, a category key the bare category name.
    QString keyLabel(int key) const;

    QListWidget* keyList() const { return m_list; }
    CMenuButton* addMenuButton() const { return m_add; }
    int selectedLine() const;

    // The keys the add menu offers, in its order: the built-in keys -1 to -5, then the categories.
    std::vector<int> addableKeys() const;
    // What choosing an entry of the add menu does: appends the key ascending and selects it.
    void addKey(int key);
    void deleteKey();
    void moveKey(int step);

    void accept() override;
    void reject() override;

private:
    void dropAddMenu();
    void setSelectedDirection(bool ascending);
    // Refills the lines and selects the line (none for -1).
    void fill(int line);
    // Follows the selection: the direction buttons and which buttons can act.
    void selectionChanged();
    void keepOneKey();

    CSortArray& m_keys;
    std::vector<std::string> m_categoryNames;
    QListWidget* m_list = nullptr;
    QRadioButton* m_ascending = nullptr;
    QRadioButton* m_descending = nullptr;
    CMenuButton* m_add = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
};
