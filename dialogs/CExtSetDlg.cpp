#include "dialogs/CExtSetDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/DialogHelp.h"

CExtSetDlg::CExtSetDlg(const QString& caption, const QString& explanation,
                       std::vector<std::string>& extensions, QWidget* parent)
    : QDialog(parent), m_extensions(extensions) {
    setObjectName("ExtSetDlg");
    setWindowTitle(caption.isEmpty() ? QStringLiteral("拡張子の設定") : caption);

    auto* text =
        new QLabel(explanation.isEmpty() ? QStringLiteral("拡張子を登録してください。") : explanation, this);
    text->setObjectName("explanation");
    text->setWordWrap(true);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName("extension");
    m_edit->setAccessibleName(QStringLiteral("拡張子"));
    m_edit->installEventFilter(this);
    auto* dot = new QLabel(QStringLiteral("．"), this);
    dot->setBuddy(m_edit);

    m_list = new QListWidget(this);
    m_list->setObjectName("extensions");
    m_list->setAccessibleName(QStringLiteral("拡張子の一覧"));
    for (const std::string& extension : m_extensions) {
        m_list->addItem(QString::fromStdString(extension));
    }

    auto* add = new QPushButton(QStringLiteral("追加(&A)"), this);
    add->setObjectName("addButton");
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &CExtSetDlg::addExtension);
    auto* remove = new QPushButton(QStringLiteral("削除(&D)"), this);
    remove->setObjectName("deleteButton");
    remove->setAutoDefault(false);
    connect(remove, &QPushButton::clicked, this, &CExtSetDlg::deleteExtension);

    auto* grid = new QGridLayout;
    grid->addWidget(dot, 0, 0);
    grid->addWidget(m_edit, 0, 1);
    grid->addWidget(add, 0, 2);
    grid->addWidget(m_list, 1, 1);
    auto* removeColumn = new QVBoxLayout;
    removeColumn->addWidget(remove);
    removeColumn->addStretch();
    grid->addLayout(removeColumn, 1, 2);

    auto* buttons = dialoghelp::okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CExtSetDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CExtSetDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    m_edit->setFocus();
}

void CExtSetDlg::addExtension() {
    QString extension = m_edit->text();
    qsizetype dots = 0;
    while (dots < extension.size() && extension[dots] == QLatin1Char('.')) {
        ++dots;
    }
    extension.remove(0, dots);
    m_edit->clear();
    if (extension.isEmpty()) {
        return;
    }
    const QList<QListWidgetItem*> same = m_list->findItems(extension, Qt::MatchFixedString);
    if (!same.isEmpty()) {
        m_list->setCurrentItem(same.constFirst());
        return;
    }
    m_list->addItem(extension);
}

void CExtSetDlg::deleteExtension() {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const int line = m_list->row(selected.constFirst());
    delete m_list->takeItem(line);
    if (m_list->count() > 0) {
        m_list->setCurrentRow(std::min(line, m_list->count() - 1));
    }
}

void CExtSetDlg::accept() {
    m_extensions.clear();
    for (int line = 0; line < m_list->count(); ++line) {
        m_extensions.push_back(m_list->item(line)->text().toStdString());
    }
    QDialog::accept();
}

bool CExtSetDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            addExtension();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
