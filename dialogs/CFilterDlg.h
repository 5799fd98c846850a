#pragma once

#include <QDialog>
#include <string>
#include <vector>

class CFileCatalog;
class QListWidget;

// "フィルタ": the catalog's filter conditions, one readable line each ("かつ サイズ が 1000 以上"), with add,
// edit, delete and move up / down. It works on the catalog's conditions themselves: every edit is there at
// once, whichever way the dialog closes. "実行(&X)" closes it accepted (the caller switches filtering on),
// "閉じる" closes it rejected.
class CFilterDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CFilterDlg(CFileCatalog& catalog, QWidget* parent = nullptr);

    QListWidget* conditionList() const { return m_list; }
    // The line selected in the list, -1 for none.
    int selectedLine() const;

    void addCondition();
    void editCondition();
    void deleteCondition();
    // Swaps the selected condition with its neighbour (-1 above, +1 below), keeping it selected.
    void moveCondition(int step);

private:
    // Refills the lines from the conditions and selects the line (none for -1).
    void fill(int line);

    CFileCatalog& m_catalog;
    std::vector<std::string> m_categoryNames;
    QListWidget* m_list = nullptr;
};
