#include "views/CItemGridSource.h"

#include "catalog/CFileCatalog.h"
#include "catalog/CItemTexts.h"
#include "model/CFileItem.h"

// A colour reference 0xFF8000: red 0x00, green 0x80, blue 0xFF.
const QColor CItemGridSource::kCheckedColour(0x00, 0x80, 0xFF);
const QColor CItemGridSource::kUncheckedColour(0xFF, 0xFF, 0xFF);

namespace {

Qt::Alignment alignmentOf(int flags) {
    switch (flags) {
        case 1:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case 2:
            return Qt::AlignRight | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

void CItemGridSource::rebuild(const CFileCatalog& catalog) {
    m_catalog = &catalog;
    m_columns = CItemColumns(catalog);
    m_rows = catalog.displayedItems();
    m_categoryAlignment.clear();
    for (int i = 0; i < catalog.categoryCount(); ++i) {
        m_categoryAlignment.push_back(alignmentOf(catalog.category(i).alignment()));
    }
    refreshChoices();
}

void CItemGridSource::refreshChoices() {
    m_choices.clear();
    if (!m_catalog) {
        return;
    }
    for (const std::string& list : m_catalog->choiceLists()) {
        m_choices.push_back(QString::fromStdString(list));
    }
}

CFileItem* CItemGridSource::item(int row) const {
    return row >= 0 && row < rowCount() ? m_rows[static_cast<std::size_t>(row)] : nullptr;
}

QString CItemGridSource::headingText(int col) const {
    switch (m_columns.kindAt(col - 1)) {
        case ItemColumn::Name:
            return QStringLiteral("名前");
        case ItemColumn::Date:
            return QStringLiteral("日付");
        case ItemColumn::Size:
            return QStringLiteral("サイズ");
        case ItemColumn::Category:
            if (m_catalog && categoryAt(col) < m_catalog->categoryCount()) {
                return QString::fromStdString(m_catalog->categoryName(categoryAt(col)));
            }
            break;
        case ItemColumn::Count:
            break;
    }
    return col == 0 ? QStringLiteral("選択") : QString();
}

QString CItemGridSource::cellText(int col, int row) const {
    if (row < 0) {
        return headingText(col);
    }
    const CFileItem* shown = item(row);
    if (!shown) {
        return {};
    }
    if (col < 0) {
        return QString::number(row + 1);
    }
    if (col == 0) {
        return shown->checked() ? QStringLiteral("1") : QStringLiteral("0");
    }
    return QString::fromStdString(CItemTexts::cell(*shown, m_columns, col - 1));
}

CUGCellKind CItemGridSource::cellType(int col, int row) const {
    if (row < 0 || col < 0) {
        return CUGCellKind::Normal;
    }
    if (col == 0) {
        return CUGCellKind::CheckBox;
    }
    return m_dropList && categoryAt(col) >= 0 ? CUGCellKind::DropList : CUGCellKind::Normal;
}

bool CItemGridSource::cellChecked(int col, int row) const {
    const CFileItem* shown = item(row);
    return col == 0 && shown && shown->checked();
}

QColor CItemGridSource::cellBackColor(int col, int row) const {
    const CFileItem* shown = item(row);
    if (!shown) {
        return {};
    }
    if (shown->checked()) {
        return kCheckedColour;
    }
    return col < 0 ? m_headingColour : kUncheckedColour;
}

Qt::Alignment CItemGridSource::cellAlignment(int col, int row) const {
    if (row >= 0 && col > 0) {
        switch (m_columns.kindAt(col - 1)) {
            case ItemColumn::Size:
                return Qt::AlignRight | Qt::AlignVCenter;
            case ItemColumn::Category: {
                const auto category = static_cast<std::size_t>(categoryAt(col));
                if (category < m_categoryAlignment.size()) {
                    return m_categoryAlignment[category];
                }
                break;
            }
            default:
                break;
        }
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QString CItemGridSource::cellLabel(int col, int row) const {
    const auto category = static_cast<std::size_t>(categoryAt(col));
    if (row < 0 || !m_dropList || categoryAt(col) < 0 || category >= m_choices.size()) {
        return {};
    }
    return m_choices[category];
}

CUGDataType CItemGridSource::cellDataType(int col, int /*row*/) const {
    return col == 0 ? CUGDataType::Number : CUGDataType::Text;
}
