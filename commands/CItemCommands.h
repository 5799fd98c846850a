#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "gui/CCommandTarget.h"

class CFileCatalog;
class CFileItem;
class CFileListView;
class CQuilloryDoc;

// The commands that act on items of the item list: edit, title change, unregister, the name and path
// copies, the multi-item attributes, add value, attribute copy and paste, and the additions from the
// browser, from favourites and from drops. They act on the list's targets (the checked rows in row order,
// or the current row). Registered with the item list as a command family.
class CItemCommands final : public CCommandTarget {
public:
    // The clipboard format of one attribute: the category index in decimal, the byte 0x01, the value string
    // (UTF-8).
    static constexpr const char* kTagMimeType = "application/x-quillory-tag";
    static constexpr const char* kDropPrompt =
        "ドロップしたアイテムに共通する属性を設定してください。キャンセルすると属性は設定されずに追加されます。";

    CItemCommands(CQuilloryDoc& document, CFileListView& view);
    ~CItemCommands() override;
    CItemCommands(const CItemCommands&) = delete;
    CItemCommands& operator=(const CItemCommands&) = delete;

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // Registers dropped files and folders (native paths, in drop order). A drop with folders asks once
    // whether to register the files below them instead; the multi-item dialog then sets common values.
    void addDroppedFiles(const std::vector<std::string>& paths);
    // Registers a dropped web address through the item dialog; nothing stays behind when it is cancelled.
    void addDroppedUrl(const std::string& url);

    // Shows the favourites dialog and gives the chosen files (none when cancelled). Replaceable, so that
    // tests can answer for the user.
    using FileChooser = std::function<QStringList()>;
    void setFavouritesChooser(FileChooser chooser) { m_favouritesChooser = std::move(chooser); }

private:
    void editItem();
    void changeTitle();
    void unregisterTargets();
    void copyTargetTexts(bool paths);
    void editTargetAttributes();
    void addValue();
    void copyAttribute();
    void pasteAttribute();
    void addFromBrowser();
    void addFromFavourites();
    QStringList chooseFavourites() const;
    // The category of the grid's current column, or -1 when it is not a category column.
    int currentColumnCategory() const;
    // Appends new items for the paths (set with the catalog folder) and returns them.
    std::vector<CFileItem*> appendFileItems(const std::vector<std::string>& paths);
    CFileCatalog& catalog() const;

    // Reads what the clipboard offers, once per change rather than at every menu update.
    void readClipboardKinds();

    CQuilloryDoc& m_document;
    CFileListView& m_view;
    FileChooser m_favouritesChooser;
    QMetaObject::Connection m_clipboardWatch;
    bool m_clipboardHasTag = false;
    bool m_clipboardHasText = false;
};
