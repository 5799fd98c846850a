#pragma once

#include <QDialog>

class CFileCatalog;
class QListWidget;

// "カテゴリの編集": adds, changes, deletes and reorders the catalog's categories, and chooses with the check
// marks which of them the category pane shows. Every change goes to the catalog at once; the check marks go
// to it when the dialog closes, whether by "閉じる" or by cancelling. The caller recomputes and records the
// undo point (a snapshot taken before opening) when changed() says so.
class CCategoryListDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CCategoryListDlg(CFileCatalog& catalog, QWidget* parent = nullptr);

    bool changed() const { return m_changed; }
    // The line selected in the list, -1 for none.
    int selectedLine() const;

    void accept() override;
    void reject() override;

private:
    // Refills the list from the catalog and selects the line.
    void fill(int line);
    void addCategory();
    void editCategory();
    void deleteCategory();
    void moveCategory(int step);
    // Applies the check marks and closes, unless the catalog would be left without a category or without
    // a shown one.
    void tryClose();

    CFileCatalog& m_catalog;
    bool m_changed = false;
    QListWidget* m_list = nullptr;
};
