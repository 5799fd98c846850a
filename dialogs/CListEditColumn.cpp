#include "dialogs/CListEditColumn.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CListEditColumn::CListEditColumn(QWidget* dialog) : m_dialog(dialog), m_column(new QVBoxLayout) {}

QPushButton* CListEditColumn::addButton(const char* text, const char* objectName) {
    auto* button = new QPushButton(QString::fromUtf8(text), m_dialog);
    button->setObjectName(QString::fromLatin1(objectName));
    addButton(button);
    return button;
}

void CListEditColumn::addButton(QPushButton* button) {
    button->setAutoDefault(false);
    m_column->addWidget(button);
}

void CListEditColumn::layOut(QLayout* left, QDialogButtonBox* buttons) {
    m_column->addStretch();
    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addLayout(m_column);
    auto* layout = new QVBoxLayout(m_dialog);
    layout->addLayout(body);
    layout->addWidget(buttons);
}

int CListEditColumn::selectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.constFirst());
}
