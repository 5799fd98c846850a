#include "dialogs/CCategoryCombos.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "catalog/CFileCatalog.h"

CCategoryCombos::CCategoryCombos(const CFileCatalog& catalog, QWidget* parent) : QWidget(parent) {
    setObjectName("categories");
    m_count = std::min(catalog.categoryCount(), kPairs);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < kPairs; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("categoryLabel%1").arg(i));
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("category%1").arg(i));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMinimumWidth(220);
        label->setBuddy(combo);
        if (i < m_count) {
            const QString name = QString::fromStdString(catalog.categoryName(i));
            // A category name is plain text: an "&" in it is no mnemonic.
            label->setText(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
            combo->setAccessibleName(name);
            for (const std::string& value : catalog.category(i).values()) {
                combo->addItem(QString::fromStdString(value));
            }
            combo->setCurrentIndex(-1);
        } else {
            label->hide();
            combo->hide();
        }
        // Two pairs side by side, five rows.
        layout->addWidget(label, i / 2, (i % 2) * 2);
        layout->addWidget(combo, i / 2, (i % 2) * 2 + 1);
        m_combos[static_cast<std::size_t>(i)] = combo;
    }
}

QString CCategoryCombos::text(int i) const {
    return combo(i)->currentText();
}

void CCategoryCombos::setText(int i, const QString& text) {
    combo(i)->setEditText(text);
}
