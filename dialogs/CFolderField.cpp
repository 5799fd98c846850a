#include "dialogs/CFolderField.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "gui/AppUtil.h"

CFolderField::CFolderField(const QString& buttonText, const QString& buttonName, QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)) {
    m_edit->setObjectName("folder");
    m_picker = [](QWidget* owner, const QString& start) {
        return apputil::pickFolder(owner, QString(), start);
    };
    addBrowseButton(buttonText, buttonName);
}

CFolderField::CFolderField(CFolderComboBox* box, const QString& buttonText, const QString& buttonName,
                           QWidget* parent)
    : QWidget(parent), m_box(box) {
    m_box->setParent(this);
    addBrowseButton(buttonText, buttonName);
}

void CFolderField::addBrowseButton(const QString& text, const QString& name) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, &CFolderField::browse);

    // Without margins of its own the row lines up with the dialog's other fields as if it were two cells
    // of their grid.
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field());
    row->addWidget(button);
}

QWidget* CFolderField::field() const {
    if (m_box) {
        return m_box;
    }
    return m_edit;
}

QString CFolderField::folder() const {
    return m_box ? m_box->currentFolder() : m_edit->text();
}

void CFolderField::setFolder(const QString& folder) {
    if (m_box) {
        m_box->setCurrentFolder(folder);
    } else {
        m_edit->setText(folder);
    }
}

void CFolderField::setFolderPicker(FolderPicker picker) {
    if (m_box) {
        m_box->setFolderPicker(std::move(picker));
    } else {
        m_picker = std::move(picker);
    }
}

void CFolderField::browse() {
    if (m_box) {
        if (m_box->browse()) {
            Q_EMIT folderChosen(m_box->currentFolder());
        }
        return;
    }
    if (const std::optional<QString> chosen = m_picker(this, m_edit->text())) {
        m_edit->setText(*chosen);
        Q_EMIT folderChosen(*chosen);
    }
}
