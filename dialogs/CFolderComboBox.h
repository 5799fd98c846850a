#pragma once

#include <QComboBox>
#include <QString>
#include <functional>
#include <optional>

class CProfile;

// A drop-down list of up to 10 recently used folders kept in the settings, most recent first, under the
// key prefix followed by "00" to "09" (the catalog folders: section "Folder", prefix "Catalog"). The
// dialog that uses it sets the current folder, loads the history, and saves it when it is confirmed.
class CFolderComboBox final : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kMaxFolders = 10;

    CFolderComboBox(CProfile& profile, QString section, QString keyPrefix, QWidget* parent = nullptr);

    QString currentFolder() const { return m_currentFolder; }
    void setCurrentFolder(const QString& folder) { m_currentFolder = folder; }

    // Fills the list from the settings and selects the current folder; with no current folder the most
    // recent one becomes current, and with no history at all the default catalog folder.
    void load();
    // Lets the user choose a folder, starting at the current one; a chosen folder is put at the top.
    // Whether the user chose one.
    bool browse();
    // Puts the folder at the top of the list (removing an equal entry) and makes it current.
    void chooseFolder(const QString& folder);
    // Writes the selected entry under "00" and the others in list order after it, at most 10.
    void save() const;

    // The folder chooser; replaceable so that a test can answer for the user.
    using FolderPicker = std::function<std::optional<QString>(QWidget*, const QString& start)>;
    void setFolderPicker(FolderPicker picker) { m_picker = std::move(picker); }

private:
    std::string entryName(int index) const;

    CProfile& m_profile;
    QString m_section;
    QString m_keyPrefix;
    QString m_currentFolder;
    FolderPicker m_picker;
};
