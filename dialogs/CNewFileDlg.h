#pragma once

#include <QDialog>
#include <QString>

#include "dialogs/CFolderField.h"

class CProfile;
class QLineEdit;

// Asks for the name and the folder of a new file. The folder starts at the last one used ("System" /
// "NewFileFolder", else the documents folder) and is stored again on OK. The caller builds the path and
// creates the file.
class CNewFileDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CNewFileDlg(CProfile& profile, QWidget* parent = nullptr);

    QString fileName() const { return m_fileName; }
    QString folder() const { return m_folder; }

    // The folder chooser behind "..."; replaceable so that a test can answer for the user.
    void setFolderPicker(CFolderField::FolderPicker picker) {
        m_folderField->setFolderPicker(std::move(picker));
    }

    void accept() override;

private:
    CProfile& m_profile;
    QString m_fileName;
    QString m_folder;
    QLineEdit* m_nameEdit = nullptr;
    CFolderField* m_folderField = nullptr;
};
