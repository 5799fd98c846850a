#include "dialogs/CFilterItemDlg.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "catalog/CFileCatalog.h"
#include "dialogs/DialogHelp.h"
#include "search/CItemFilter.h"

namespace {

// The fixed targets as the condition dialog names them, in the order of their codes.
constexpr const char* kFixedTargets[] = {"名前", "日付", "サイズ", "フルパス", "メモ", "テキストファイル"};

QComboBox* sentenceBox(QWidget* parent, const char* name, const char* accessibleName) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(QString::fromUtf8(accessibleName));
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

}  // namespace

CFilterItemDlg::CFilterItemDlg(CItemFilter& filter, const CFileCatalog& catalog, bool isFirst,
                               QWidget* parent)
    : QDialog(parent), m_filter(filter), m_catalog(catalog) {
    setObjectName("FilterItemDlg");
    setWindowTitle(QStringLiteral("フィルタ項目"));

    m_conjunction = sentenceBox(this, "conjunction", "上位までの条件");
    m_conjunction->addItems({QStringLiteral("かつ"), QStringLiteral("または")});
    m_conjunctionLabel = new QLabel(QStringLiteral("上位までの条件"), this);
    m_conjunctionLabel->setBuddy(m_conjunction);

    m_target = sentenceBox(this, "target", "対象");
    for (const char* label : kFixedTargets) {
        m_target->addItem(QString::fromUtf8(label));
    }
    for (const std::string& name : m_catalog.categoryNames()) {
        m_target->addItem(QString::fromStdString(name));
    }

    m_value = sentenceBox(this, "value", "値");
    m_value->setEditable(true);
    m_value->setInsertPolicy(QComboBox::NoInsert);
    m_value->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_value->setMinimumContentsLength(16);
    m_value->lineEdit()->setAccessibleName(QStringLiteral("値"));

    m_operator = sentenceBox(this, "operator", "条件");

    // One row that reads as a sentence: the conjunction, the target, "が", the value, the operator. The
    // conjunction's label sits above it, so that the row itself holds only the words of the sentence.
    auto* sentence = new QGridLayout;
    sentence->setHorizontalSpacing(6);
    sentence->addWidget(m_conjunctionLabel, 0, 0);
    sentence->addWidget(m_conjunction, 1, 0);
    sentence->addWidget(m_target, 1, 1);
    sentence->addWidget(new QLabel(QStringLiteral("が"), this), 1, 2);
    sentence->addWidget(m_value, 1, 3);
    sentence->addWidget(m_operator, 1, 4);
    sentence->setColumnStretch(3, 1);

    auto* buttons = dialoghelp::okCancelButtons(this);
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CFilterItemDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFilterItemDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { dialoghelp::show(dialoghelp::kFilterContext); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sentence);
    layout->addSpacing(8);
    layout->addWidget(buttons);

    m_conjunctionLabel->setVisible(!isFirst);
    m_conjunction->setVisible(!isFirst);
    m_conjunction->setCurrentIndex(filter.conjunction() == CItemFilter::kConjunctionOr ? 1 : 0);
    const int target = filter.target() >= 0 && filter.target() < m_target->count() ? filter.target() : 0;
    m_target->setCurrentIndex(target);
    targetChanged(target);
    m_value->setEditText(QString::fromStdString(filter.valueText()));
    if (filter.operatorIndex() >= 0 && filter.operatorIndex() < m_operator->count()) {
        m_operator->setCurrentIndex(filter.operatorIndex());
    }
    connect(m_target, &QComboBox::currentIndexChanged, this, &CFilterItemDlg::targetChanged);
    (isFirst ? m_target : m_conjunction)->setFocus();
}

void CFilterItemDlg::targetChanged(int target) {
    m_operator->clear();
    for (const std::string& text : CItemFilter::operatorTexts(target)) {
        m_operator->addItem(QString::fromStdString(text));
    }
    m_operator->setCurrentIndex(0);
    fillValues(target);
}

void CFilterItemDlg::fillValues(int target) {
    const QString typed = m_value->currentText();
    QStringList values;
    if (target == CItemFilter::kTargetDate) {
        values.append(QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm")));
    } else if (target >= CItemFilter::kTargetFirstCategory &&
               target - CItemFilter::kTargetFirstCategory < m_catalog.categoryCount()) {
        for (const std::string& value :
             m_catalog.category(target - CItemFilter::kTargetFirstCategory).values()) {
            values.append(QString::fromStdString(value));
        }
    }
    m_value->clear();
    m_value->addItems(values);
    m_value->setEditText(typed);
}

void CFilterItemDlg::accept() {
    if (m_target->currentIndex() >= 0) {
        m_filter.setTarget(m_target->currentIndex());
    }
    m_filter.setValueText(m_value->currentText().toStdString());
    m_filter.setOperatorIndex(std::max(0, m_operator->currentIndex()));
    m_filter.setConjunction(m_conjunction->currentIndex() == 1 ? CItemFilter::kConjunctionOr
                                                               : CItemFilter::kConjunctionAnd);
    QDialog::accept();
}
