#include "dialogs/CSortDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/CListEditColumn.h"
#include "dialogs/CMenuButton.h"
#include "dialogs/DialogHelp.h"
#include "platform/CUserInterface.h"
#include "search/CSortArray.h"

namespace {

// The words of the built-in keys -1 to -5.
constexpr const char* kBuiltInWords[] = {"ファイル名", "日付", "サイズ", "拡張子", "フォルダ"};
constexpr int kBuiltInCount = 5;

}  // namespace

CSortDlg::CSortDlg(CSortArray& keys, std::vector<std::string> categoryNames, QWidget* parent)
    : QDialog(parent), m_keys(keys), m_categoryNames(std::move(categoryNames)) {
    setObjectName("SortDlg");
    setWindowTitle(QStringLiteral("整列の設定"));

    m_list = new QListWidget(this);
    m_list->setObjectName("keys");
    m_list->setAccessibleName(QStringLiteral("整列キー"));
    m_list->setMinimumSize(220, 180);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { selectionChanged(); });
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] { selectionChanged(); });

    auto* direction = new QGroupBox(this);
    direction->setAccessibleName(QStringLiteral("方向"));
    m_ascending = new QRadioButton(QStringLiteral("昇順(&S)"), direction);
    m_ascending->setObjectName("ascending");
    m_descending = new QRadioButton(QStringLiteral("降順(&E)"), direction);
    m_descending->setObjectName("descending");
    auto* directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(m_ascending);
    directionRow->addWidget(m_descending);
    connect(m_ascending, &QRadioButton::clicked, this, [this] { setSelectedDirection(true); });
    connect(m_descending, &QRadioButton::clicked, this, [this] { setSelectedDirection(false); });

    CListEditColumn column(this);
    m_add = new CMenuButton(QStringLiteral("追加(&A)"), this);
    m_add->setObjectName("addButton");
    m_add->setAccessibleName(QStringLiteral("追加"));
    m_add->setToolTip(QStringLiteral("並べ替えの条件を追加します"));
    column.addButton(m_add);
    connect(m_add, &QPushButton::clicked, this, &CSortDlg::dropAddMenu);
    m_delete = column.addButton("削除(&D)...", "deleteButton");
    connect(m_delete, &QPushButton::clicked, this, &CSortDlg::deleteKey);
    m_up = column.addButton("上へ(&U)", "upButton");
    connect(m_up, &QPushButton::clicked, this, [this] { moveKey(-1); });
    m_down = column.addButton("下へ(&W)", "downButton");
    connect(m_down, &QPushButton::clicked, this, [this] { moveKey(1); });

    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    left->addWidget(direction);
    column.layOut(left, dialoghelp::closeHelpButtons(*this, dialoghelp::kSortContext));
    fill(m_keys.count() > 0 ? 0 : -1);
}

int CSortDlg::selectedLine() const {
    return CListEditColumn::selectedRow(*m_list);
}

QString CSortDlg::keyLabel(int key) const {
    if (key < 0 && key >= -kBuiltInCount) {
        return QStringLiteral("(%1)").arg(QString::fromUtf8(kBuiltInWords[-key - 1]));
    }
    if (key >= 0 && key < static_cast<int>(m_categoryNames.size())) {
        return QString::fromStdString(m_categoryNames[static_cast<std::size_t>(key)]);
    }
    return QString::number(key);
}

std::vector<int> CSortDlg::addableKeys() const {
    std::vector<int> keys;
    for (int key = -1; key >= -kBuiltInCount; --key) {
        if (!m_keys.contains(key)) {
            keys.push_back(key);
        }
    }
    for (int key = 0; key < static_cast<int>(m_categoryNames.size()); ++key) {
        if (!m_keys.contains(key)) {
            keys.push_back(key);
        }
    }
    return keys;
}

void CSortDlg::fill(int line) {
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const CSortItem& key : m_keys.keys()) {
        m_list->addItem(keyLabel(key.key()));
    }
    if (line >= 0 && line < m_list->count()) {
        m_list->setCurrentRow(line);
    }
    selectionChanged();
}

void CSortDlg::selectionChanged() {
    const int line = selectedLine();
    const bool selected = line >= 0 && line < m_keys.count();
    m_ascending->setEnabled(selected);
    m_descending->setEnabled(selected);
    if (selected) {
        (m_keys.at(line).ascending() ? m_ascending : m_descending)->setChecked(true);
    }
    m_add->setEnabled(!addableKeys().empty());
    m_delete->setEnabled(selected);
    m_up->setEnabled(selected && line > 0);
    m_down->setEnabled(selected && line < m_keys.count() - 1);
}

void CSortDlg::setSelectedDirection(bool ascending) {
    const int line = selectedLine();
    if (line >= 0 && line < m_keys.count()) {
        m_keys.at(line).setAscending(ascending);
    }
}

void CSortDlg::dropAddMenu() {
    const std::vector<int> keys = addableKeys();
    if (keys.empty()) {
        CUserInterface::current().message("追加できるアイテムがありません", MessageIcon::Information);
        return;
    }
    QMenu menu(this);
    // The menu's command IDs are the keys moved up by one past the built-in keys, so that none is 0.
    for (const int key : keys) {
        menu.addAction(keyLabel(key))->setData(key + kBuiltInCount + 1);
    }
    const int chosen = m_add->dropMenu(menu);
    if (chosen != 0) {
        addKey(chosen - kBuiltInCount - 1);
    }
}

void CSortDlg::addKey(int key) {
    if (m_keys.contains(key)) {
        return;
    }
    m_keys.add(key);
    fill(m_keys.count() - 1);
}

void CSortDlg::deleteKey() {
    const int line = selectedLine();
    if (line < 0 || line >= m_keys.count()) {
        return;
    }
    const QString question = QStringLiteral("%1を削除しますか？").arg(keyLabel(m_keys.at(line).key()));
    if (!CUserInterface::current().askOkCancel(question.toStdString(), MessageIcon::Question)) {
        return;
    }
    m_keys.removeAt(line);
    fill(std::min(line, m_keys.count() - 1));
}

void CSortDlg::moveKey(int step) {
    const int line = selectedLine();
    const int other = line + step;
    if (line < 0 || other < 0 || other >= m_keys.count()) {
        return;
    }
    m_keys.swap(line, other);
    fill(other);
}

void CSortDlg::keepOneKey() {
    if (m_keys.count() == 0) {
        m_keys.add(CSortItem::kName);
    }
}

void CSortDlg::accept() {
    keepOneKey();
    QDialog::accept();
}

void CSortDlg::reject() {
    keepOneKey();
    QDialog::reject();
}
