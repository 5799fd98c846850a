#include "dialogs/CCategoryValueDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog/CFileCatalog.h"
#include "dialogs/DialogHelp.h"

CCategoryValueDlg::CCategoryValueDlg(const CFileCatalog& catalog, int presetCategory, const QString& presetValue,
                                     QWidget* parent)
    : QDialog(parent), m_catalog(catalog) {
    setObjectName("CategoryValueDlg");
    setWindowTitle(QStringLiteral("属性の変更"));

    m_categoryBox = new QComboBox(this);
    m_categoryBox->setObjectName("category");
    m_valueBox = new QComboBox(this);
    m_valueBox->setObjectName("oldValue");
    m_newEdit = new QLineEdit(this);
    m_newEdit->setObjectName("newValue");
    m_newEdit->setMinimumWidth(240);

    auto* form = new QFormLayout;
    auto addRow = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("カテゴリ(&C):"), m_categoryBox);
    addRow(QStringLiteral("元の値(&O):"), m_valueBox);
    addRow(QStringLiteral("新しい値(&N):"), m_newEdit);

    auto* buttons = dialoghelp::okCancelButtons(this);
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CCategoryValueDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCategoryValueDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { dialoghelp::show(dialoghelp::kCategoryValueContext); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("全アイテムの属性を変更します。"), this));
    layout->addLayout(form);
    layout->addWidget(buttons);

    for (const std::string& name : m_catalog.categoryNames()) {
        m_categoryBox->addItem(QString::fromStdString(name));
    }
    if (presetCategory >= 0 && presetCategory < m_categoryBox->count()) {
        m_categoryBox->setCurrentIndex(presetCategory);
    }
    fillValues(m_categoryBox->currentIndex());
    const int presetRow = presetValue.isEmpty() ? -1 : m_valueBox->findText(presetValue, Qt::MatchExactly);
    if (presetRow >= 0) {
        m_valueBox->setCurrentIndex(presetRow);
        m_newEdit->setFocus(Qt::OtherFocusReason);
    }
    m_newEdit->setText(m_valueBox->currentText());
    m_newEdit->selectAll();
    connect(m_categoryBox, &QComboBox::currentIndexChanged, this, &CCategoryValueDlg::fillValues);
}

void CCategoryValueDlg::fillValues(int category) {
    m_valueBox->clear();
    if (category < 0 || category >= m_catalog.categoryCount()) {
        return;
    }
    QStringList values;
    for (const std::string& value : m_catalog.category(category).values()) {
        values.append(QString::fromStdString(value));
    }
    m_valueBox->addItems(values);
}

void CCategoryValueDlg::accept() {
    m_category = m_categoryBox->currentIndex();
    m_oldValue = m_valueBox->currentText();
    m_newValue = m_newEdit->text();
    QDialog::accept();
}
