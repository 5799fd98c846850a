#pragma once

#include <QColor>
#include <QString>

#include <vector>

#include "catalog/CItemColumns.h"
#include "grid/CUGDataSource.h"

class CFileCatalog;
class CFileItem;

// What the item grid shows, read from the catalog whenever a cell is painted: column 0 is the check box,
// then the item columns of CItemColumns (name, date, size as shown, then one per category), with the
// texts of CItemTexts. The rows are the displayed items as they stood at the last rebuild: between a
// change of the catalog and the rebuild that follows it, every row still stands for the item it showed,
// so an edit always lands on the item the user saw.
class CItemGridSource final : public CUGDataSource {
public:
    // The colours of checked and unchecked rows.
    static const QColor kCheckedColour;
    static const QColor kUncheckedColour;

    CItemGridSource() : m_columns(false, false, false, {}) {}

    // Takes the catalog's columns, displayed items and choice lists as they are now.
    void rebuild(const CFileCatalog& catalog);
    // Takes the catalog's choice lists again (after the values of a category changed).
    void refreshChoices();
    // Whether category cells are drop-down lists offering the category's values.
    void setDropList(bool dropList) { m_dropList = dropList; }
    // The colour of an unchecked row's heading (the system's button face).
    void setHeadingColour(const QColor& colour) { m_headingColour = colour; }

    const CItemColumns& columns() const { return m_columns; }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    int columnCount() const { return 1 + m_columns.count(); }
    // The first category column of the grid: 1 + the shown fixed columns.
    int firstCategoryColumn() const { return 1 + m_columns.fixedCount(); }
    // The category a grid column shows, or -1.
    int categoryAt(int col) const { return m_columns.categoryAt(col - 1); }
    // The item of a row, or nullptr outside the rows.
    CFileItem* item(int row) const;

    QString cellText(int col, int row) const override;
    CUGCellKind cellType(int col, int row) const override;
    bool cellChecked(int col, int row) const override;
    QColor cellBackColor(int col, int row) const override;
    Qt::Alignment cellAlignment(int col, int row) const override;
    QString cellLabel(int col, int row) const override;
    CUGDataType cellDataType(int col, int row) const override;

private:
    QString headingText(int col) const;

    const CFileCatalog* m_catalog = nullptr;
    CItemColumns m_columns;
    std::vector<CFileItem*> m_rows;
    std::vector<QString> m_choices;  // per category, each value followed by "\n"
    std::vector<Qt::Alignment> m_categoryAlignment;
    QColor m_headingColour;
    bool m_dropList = true;
};
