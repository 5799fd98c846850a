#pragma once

#include <QString>
#include <QWidget>

#include "dialogs/CFolderComboBox.h"

class QLineEdit;

// The folder row of the dialogs: a field that shows a folder and, beside it, the button that opens the
// folder chooser at that folder and puts the choice into the field. The field is a line edit of the row's
// own, named "folder", or a folder history box, which keeps its own chooser and puts the choice at the top
// of its history.
class CFolderField final : public QWidget {
    Q_OBJECT
public:
    using FolderPicker = CFolderComboBox::FolderPicker;

    // A line edit and the button of the text and object name given.
    CFolderField(const QString& buttonText, const QString& buttonName, QWidget* parent = nullptr);
    // The history box, which the row takes over, and the button.
    CFolderField(CFolderComboBox* box, const QString& buttonText, const QString& buttonName,
                 QWidget* parent = nullptr);

    // The widget that shows the folder (the line edit or the box), for a label's buddy.
    QWidget* field() const;
    // The line edit; nullptr in a row around a history box.
    QLineEdit* lineEdit() const { return m_edit; }

    QString folder() const;
    void setFolder(const QString& folder);

    // The folder chooser behind the button; replaceable so that a test can answer for the user.
    void setFolderPicker(FolderPicker picker);

    // What the button does: the folder chooser, starting at the folder in the field; a chosen folder goes
    // into the field.
    void browse();

Q_SIGNALS:
    // The user chose a folder through the button; the field shows it already.
    void folderChosen(const QString& folder);

private:
    void addBrowseButton(const QString& text, const QString& name);

    QLineEdit* m_edit = nullptr;
    CFolderComboBox* m_box = nullptr;
    FolderPicker m_picker;
};
