#pragma once

#include <QString>
#include <QWidget>
#include <array>

class CFileCatalog;
class QComboBox;

// The ten label and drop-down combo pairs of the item dialogs: pair i names category i and offers its
// values; the pairs of categories the catalog does not have are emptied and hidden.
class CCategoryCombos final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPairs = 10;

    CCategoryCombos(const CFileCatalog& catalog, QWidget* parent);

    // The number of pairs in use: the catalog's categories, at most ten.
    int count() const { return m_count; }
    QString text(int i) const;
    void setText(int i, const QString& text);
    QComboBox* combo(int i) const { return m_combos[static_cast<std::size_t>(i)]; }

private:
    std::array<QComboBox*, kPairs> m_combos{};
    int m_count = 0;
};
