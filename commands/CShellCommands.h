#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/CCommandTarget.h"

class CFileItem;
class CFileListView;
class CQuilloryDoc;
class QWidget;

// The item list's commands on the files behind its items: open (32776), show in the file manager (32904),
// properties (32903), copy and cut to the clipboard (32947, 32956), copy into a folder (32957), rename
// (32953) and delete with the files (32954). URL items never take part in file operations. Made by the item
// list, which it registers with as a command family for its lifetime.
class CShellCommands final : public CCommandTarget {
public:
    // Chooses a folder: the chosen one, or nothing when cancelled. Replaceable, so tests need no file dialog.
    using FolderPicker =
        std::function<std::optional<QString>(QWidget* parent, const QString& title, const QString& start)>;

    explicit CShellCommands(CFileListView& view);
    ~CShellCommands() override;
    CShellCommands(const CShellCommands&) = delete;
    CShellCommands& operator=(const CShellCommands&) = delete;

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    void setFolderPicker(FolderPicker picker) { m_pickFolder = std::move(picker); }

private:
    CQuilloryDoc& document() const;
    // The item's file as an absolute path ("" for a URL item).
    std::string filePath(const CFileItem& item) const;
    // The file paths of the targets that are not URLs, in row order.
    std::vector<std::string> targetFilePaths() const;

    void open();
    void callFileManager(bool properties);
    void putOnClipboard(bool cut);
    void copyToFolder();
    void renameFile();
    void deleteWithFiles();

    CFileListView& m_view;
    FolderPicker m_pickFolder;
};
