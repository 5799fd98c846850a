#include "dialogs/CAddTagDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "catalog/CFileCatalog.h"
#include "dialogs/DialogHelp.h"

CAddTagDlg::CAddTagDlg(const CFileCatalog& catalog, int categoryIndex, QWidget* parent)
    : QDialog(parent), m_catalog(catalog), m_categoryIndex(categoryIndex) {
    setObjectName("AddTagDlg");
    setWindowTitle(QStringLiteral("属性の追加"));

    auto* categoryLabel = new QLabel(QStringLiteral("カテゴリ(&C)"), this);
    m_categoryBox = new QComboBox(this);
    m_categoryBox->setObjectName("category");
    categoryLabel->setBuddy(m_categoryBox);
    for (const std::string& name : catalog.categoryNames()) {
        m_categoryBox->addItem(QString::fromStdString(name));
    }

    auto* valueLabel = new QLabel(QStringLiteral("追加する属性(&I):"), this);
    m_valueBox = new QComboBox(this);
    m_valueBox->setObjectName("value");
    m_valueBox->setEditable(true);
    m_valueBox->setInsertPolicy(QComboBox::NoInsert);
    m_valueBox->setMinimumWidth(240);
    valueLabel->setBuddy(m_valueBox);

    auto* buttons = dialoghelp::okCancelButtons(this);
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddTagDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddTagDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { dialoghelp::show(dialoghelp::kAddTagContext); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(categoryLabel);
    layout->addWidget(m_categoryBox);
    layout->addWidget(valueLabel);
    layout->addWidget(m_valueBox);
    layout->addWidget(buttons);

    if (catalog.categoryCount() > 0) {
        m_categoryIndex = std::clamp(categoryIndex, 0, catalog.categoryCount() - 1);
        m_categoryBox->setCurrentIndex(m_categoryIndex);
        fillValues(m_categoryIndex);
    }
    connect(m_categoryBox, &QComboBox::currentIndexChanged, this, &CAddTagDlg::fillValues);
    m_valueBox->setFocus();
}

void CAddTagDlg::fillValues(int categoryIndex) {
    m_valueBox->clear();
    if (categoryIndex < 0 || categoryIndex >= m_catalog.categoryCount()) {
        return;
    }
    // The category's values list is kept sorted by the recompute.
    for (const std::string& value : m_catalog.category(categoryIndex).values()) {
        m_valueBox->addItem(QString::fromStdString(value));
    }
    m_valueBox->setCurrentIndex(-1);
    m_valueBox->clearEditText();
}

void CAddTagDlg::accept() {
    m_categoryIndex = m_categoryBox->currentIndex();
    m_value = m_valueBox->currentText();
    QDialog::accept();
}

void CAddTagDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    dialoghelp::centreOnParent(*this);
}
