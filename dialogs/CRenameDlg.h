#pragma once

#include <QDialog>
#include <QString>

class CFolderComboBox;
class CProfile;
class QLabel;
class QLineEdit;

// The catalog rename dialog: the current name (read-only), the new name and the parent folder from the
// catalog folder history. In save-as mode it asks for the name and folder of a copy instead. The dialog
// only collects the choice; the caller checks it and moves or copies the catalog folder.
class CRenameDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CRenameDlg(CProfile& profile, QWidget* parent = nullptr);

    // Save-as mode: the title "名前を付けて保存" and the line "カタログを別名で保存します".
    void setSaveAs(bool saveAs);
    bool saveAs() const { return m_saveAs; }

    void setCurrentName(const QString& name);
    QString currentName() const { return m_currentName; }
    void setNewName(const QString& name);
    // The new name as typed (after OK).
    QString newName() const { return m_newName; }
    // The parent folder shown first; the folder box offers the history besides it.
    void setFolder(const QString& folder);
    // The parent folder under which the catalog folder goes (after OK).
    QString folder() const;

    CFolderComboBox& folderBox() const { return *m_folderBox; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_saveAs = false;
    bool m_prepared = false;
    QString m_currentName;
    QString m_newName;
    QLabel* m_explanation = nullptr;
    QLineEdit* m_currentEdit = nullptr;
    QLineEdit* m_newEdit = nullptr;
    CFolderComboBox* m_folderBox = nullptr;
};
