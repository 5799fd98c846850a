#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

class CFileCatalog;

// The rows of one category list: row 0 "全て(%d)" with the number of values, then the category's values in
// the catalog's order. A refill takes the catalog's values list as it is then (one model reset, no per-row
// signals), so the rows, and the texts the pane reads from selected rows, stay what the user sees until the
// next refill, even when a recompute changed the catalog's list meanwhile. Texts are converted for the
// rows that are painted only.
class CCategoryListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    CCategoryListModel(const CFileCatalog& catalog, int category, QObject* parent);

    // The catalog index of the category this list shows.
    int category() const { return m_category; }
    // The value of a row as filled (row 0 and rows past the values have none).
    const std::string* value(int row) const;
    // The values as filled, rows 1 and on.
    const std::vector<std::string>& values() const { return m_values; }
    // The first row whose value equals the text, or -1.
    int rowOfValue(const std::string& text) const;
    // Refills the rows from the catalog's values list.
    void refill();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool categoryExists() const;
    Qt::Alignment alignment() const;

    const CFileCatalog& m_catalog;
    int m_category;
    std::vector<std::string> m_values;
};
