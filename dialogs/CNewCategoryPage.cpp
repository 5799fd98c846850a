#include "dialogs/CNewCategoryPage.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CInputDlg.h"
#include "platform/CUserInterface.h"

namespace {

QPushButton* pageButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CNewCategoryPage::CNewCategoryPage(QWidget* parent) : QWizardPage(parent) {
    setObjectName("NewCategoryPage");
    setTitle(QStringLiteral("カテゴリの設定"));

    auto* explanation = new QLabel(QStringLiteral("カタログのカテゴリを設定してください。これは何によって分類"
                                                  "するかを表すものです。後で変更も可能です。"),
                                   this);
    explanation->setWordWrap(true);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName("categoryName");
    m_list = new QListWidget(this);
    m_list->setObjectName("categoryList");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* add = pageButton(QStringLiteral("追加(&A)"), "addButton", this);
    m_renameButton = pageButton(QStringLiteral("変更(&E)..."), "renameButton", this);
    m_deleteButton = pageButton(QStringLiteral("削除(&D)..."), "deleteButton", this);
    connect(add, &QPushButton::clicked, this, &CNewCategoryPage::addName);
    connect(m_renameButton, &QPushButton::clicked, this, &CNewCategoryPage::renameSelected);
    connect(m_deleteButton, &QPushButton::clicked, this, &CNewCategoryPage::deleteSelected);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CNewCategoryPage::updateButtons);
    m_nameEdit->installEventFilter(this);

    auto* grid = new QGridLayout;
    grid->addWidget(m_nameEdit, 0, 0);
    grid->addWidget(add, 0, 1);
    grid->addWidget(m_list, 1, 0, 3, 1);
    grid->addWidget(m_renameButton, 1, 1);
    grid->addWidget(m_deleteButton, 2, 1);
    grid->setRowStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(grid);
    updateButtons();
}

QStringList CNewCategoryPage::listedNames() const {
    QStringList names;
    for (int i = 0; i < m_list->count(); ++i) {
        names.append(m_list->item(i)->text());
    }
    return names;
}

void CNewCategoryPage::updateButtons() {
    const bool selected = !m_list->selectedItems().isEmpty();
    m_renameButton->setEnabled(selected);
    m_deleteButton->setEnabled(selected);
}

void CNewCategoryPage::addName() {
    if (m_list->count() >= kMaxCategories) {
        CUserInterface::current().message("カテゴリは１０個までです", MessageIcon::Warning);
    } else if (!m_nameEdit->text().isEmpty()) {
        m_list->addItem(m_nameEdit->text());
        m_nameEdit->clear();
    }
    m_nameEdit->setFocus();
}

void CNewCategoryPage::renameSelected() {
    QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        return;
    }
    const std::optional<QString> name =
        CInputDlg::ask(this, QStringLiteral("カテゴリ名を入力してください"), item->text());
    if (!name) {
        return;
    }
    if (name->isEmpty()) {
        CUserInterface::current().message("空欄には出来ません", MessageIcon::Warning);
        return;
    }
    item->setText(*name);
    item->setSelected(true);
}

void CNewCategoryPage::deleteSelected() {
    QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        return;
    }
    if (!CUserInterface::current().askYesNo(
            (item->text() + QStringLiteral("を削除しますか？")).toStdString())) {
        return;
    }
    const int row = m_list->row(item);
    delete m_list->takeItem(row);
    if (m_list->count() > 0) {
        m_list->setCurrentRow(std::min(row, m_list->count() - 1));
    }
    updateButtons();
}

// Enter in the name field adds the typed name, as the add button does, instead of moving on and dropping it;
// with the field empty, Enter moves on as usual.
bool CNewCategoryPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_nameEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !m_nameEdit->text().isEmpty()) {
            addName();
            return true;
        }
    }
    return QWizardPage::eventFilter(watched, event);
}

bool CNewCategoryPage::validatePage() {
    if (m_list->count() == 0) {
        CUserInterface::current().message("カテゴリを最低一つは入力してください", MessageIcon::Warning);
        return false;
    }
    m_categoryNames = listedNames();
    return true;
}
