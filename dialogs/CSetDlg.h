#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;

// "設定": the application's options. It only edits values: the caller fills them before opening and reads
// them after OK (the main frame keeps them in the settings' "System" section).
class CSetDlg final : public QDialog {
    Q_OBJECT
public:
    struct Values {
        bool dropList = true;         // "DropList"
        bool typing = true;           // "StrEdit"
        bool useSusiePlugin = false;  // "UseSusiePlugin"
        QString pluginFolder;         // "SusiePlugin"
        QString folderApplication;    // "FolderSoft"
        bool folderArgument = false;  // "FolderArg"
        bool openLastCatalog = true;  // "InitFile"
        bool confirmTextSave = true;  // "Save"
    };

    explicit CSetDlg(QWidget* parent = nullptr);

    void setValues(const Values& values);
    // What the controls hold now.
    Values values() const;

    // The choosers behind the browse buttons: given the value in the field, the new value or nothing when
    // the user cancelled. Replaceable, so that a test can answer for the user.
    using Chooser = std::function<std::optional<QString>(QWidget* parent, const QString& current)>;
    void setFolderChooser(Chooser chooser) { m_folderChooser = std::move(chooser); }
    void setApplicationChooser(Chooser chooser) { m_applicationChooser = std::move(chooser); }

    // "参照(&R)...": the plug-in folder chooser, starting at the folder in the field.
    void browsePluginFolder();
    // "...": the file chooser for the program that opens folders.
    void browseFolderApplication();

private:
    QCheckBox* m_dropList = nullptr;
    QCheckBox* m_typing = nullptr;
    QCheckBox* m_useSusie = nullptr;
    QLineEdit* m_pluginFolder = nullptr;
    QLineEdit* m_folderApplication = nullptr;
    QCheckBox* m_folderArgument = nullptr;
    QCheckBox* m_openLastCatalog = nullptr;
    QCheckBox* m_confirmTextSave = nullptr;
    Chooser m_folderChooser;
    Chooser m_applicationChooser;
};
