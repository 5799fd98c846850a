#include "dialogs/CFilterDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog/CFileCatalog.h"
#include "dialogs/CFilterItemDlg.h"
#include "dialogs/CListEditColumn.h"
#include "dialogs/DialogHelp.h"
#include "platform/CUserInterface.h"

namespace {

}  // namespace

CFilterDlg::CFilterDlg(CFileCatalog& catalog, QWidget* parent)
    : QDialog(parent), m_catalog(catalog), m_categoryNames(catalog.categoryNames()) {
    setObjectName("FilterDlg");
    setWindowTitle(QStringLiteral("フィルタ"));

    m_list = new QListWidget(this);
    m_list->setObjectName("conditions");
    m_list->setAccessibleName(QStringLiteral("フィルタ条件"));
    m_list->setMinimumSize(360, 160);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { editCondition(); });

    CListEditColumn column(this);
    connect(column.addButton("追加(&A)...", "addButton"), &QPushButton::clicked, this, &CFilterDlg::addCondition);
    connect(column.addButton("編集(&E)...", "editButton"), &QPushButton::clicked, this, &CFilterDlg::editCondition);
    connect(column.addButton("削除(&D)...", "deleteButton"), &QPushButton::clicked, this,
            &CFilterDlg::deleteCondition);
    connect(column.addButton("一つ上へ(&U)", "upButton"), &QPushButton::clicked, this, [this] { moveCondition(-1); });
    connect(column.addButton("一つ下へ(&W)", "downButton"), &QPushButton::clicked, this, [this] { moveCondition(1); });

    auto* buttons = new QDialogButtonBox(this);
    auto* run = buttons->addButton(QStringLiteral("実行(&X)"), QDialogButtonBox::AcceptRole);
    run->setObjectName("runButton");
    run->setDefault(true);
    auto* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    close->setObjectName("closeButton");
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CFilterDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFilterDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { dialoghelp::show(dialoghelp::kFilterContext); });

    auto* left = new QVBoxLayout;
    left->addWidget(m_list);
    column.layOut(left, buttons);
    fill(m_catalog.filters().isEmpty() ? -1 : 0);
}

int CFilterDlg::selectedLine() const {
    return CListEditColumn::selectedRow(*m_list);
}

void CFilterDlg::fill(int line) {
    m_list->clear();
    const CFilterArray& filters = m_catalog.filters();
    for (int i = 0; i < filters.count(); ++i) {
        m_list->addItem(QString::fromStdString(filters.at(i).conditionLine(i == 0, m_categoryNames)));
    }
    if (line >= 0 && line < m_list->count()) {
        m_list->setCurrentRow(line);
    }
}

void CFilterDlg::addCondition() {
    CItemFilter filter;
    CFilterItemDlg dialog(filter, m_catalog, m_catalog.filters().isEmpty(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_catalog.filters().append(filter);
    fill(m_catalog.filters().count() - 1);
}

void CFilterDlg::editCondition() {
    const int line = selectedLine();
    if (line < 0 || line >= m_catalog.filters().count()) {
        return;
    }
    CFilterItemDlg dialog(m_catalog.filters().at(line), m_catalog, line == 0, this);
    if (dialog.exec() == QDialog::Accepted) {
        fill(line);
    }
}

void CFilterDlg::deleteCondition() {
    const int line = selectedLine();
    if (line < 0 || line >= m_catalog.filters().count()) {
        return;
    }
    if (!CUserInterface::current().askOkCancel("削除しますか？", MessageIcon::Question)) {
        return;
    }
    m_catalog.filters().removeAt(line);
    fill(std::min(line, m_catalog.filters().count() - 1));
}

void CFilterDlg::moveCondition(int step) {
    const int line = selectedLine();
    const int other = line + step;
    if (line < 0 || other < 0 || other >= m_catalog.filters().count()) {
        return;
    }
    m_catalog.filters().swap(line, other);
    fill(other);
}
