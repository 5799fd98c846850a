#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class CFolderComboBox;
class CProfile;
class QTreeWidget;

// The catalog selection dialog: every catalog file found one folder below the chosen parent folder, with
// its update date and folder, sortable by any column. The user picks one to open, or renames a closed
// catalog (its folder and its file). After OK selectedPath() is the chosen catalog file ("" when none).
class CCatalogDlg final : public QDialog {
    Q_OBJECT
public:
    enum Column { kNameColumn, kDateColumn, kFolderColumn, kColumnCount };

    explicit CCatalogDlg(CProfile& profile, QWidget* parent = nullptr);

    // The catalog that is open in the program; the list refuses to rename it.
    void setOpenCatalogPath(const QString& path) { m_openCatalogPath = path; }
    // The parent folder listed first (the most recent catalog folder when empty).
    void setFolder(const QString& folder);

    QString selectedPath() const { return m_selectedPath; }
    CFolderComboBox& folderBox() const { return *m_folderBox; }
    QTreeWidget& list() const { return *m_list; }

    // Lists the catalogs of the parent folder again; the first one found is selected.
    void rebuildList();
    // Sorts by the column; the current sort column flips its direction, another one sorts ascending.
    void sortByColumn(int column);
    // Renames the selected catalog after asking for the new name.
    void renameSelected();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Row {
        QString name;
        QString date;
        QString folder;
        QString path() const;
    };

    QString parentFolder() const;
    void sortRows();
    void showRows(const QString& selectedPath);
    int selectedRow() const;
    void browseFolder();
    void renameCatalog(const Row& row, const QString& newName);

    CFolderComboBox* m_folderBox = nullptr;
    QTreeWidget* m_list = nullptr;
    std::vector<Row> m_rows;
    int m_sortColumn = kNameColumn;
    bool m_descending = false;
    bool m_prepared = false;
    QString m_openCatalogPath;
    QString m_selectedPath;
};
