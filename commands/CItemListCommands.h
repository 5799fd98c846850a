#pragma once

#include <memory>

class CFileListView;
class CItemCommands;
class CItemSearchCommands;
class CQuilloryDoc;
class CShellCommands;

// The item list's command families: the item commands (edit, unregister, attributes, additions and the
// drops onto the list), the item search and the commands on the files behind the items. Made by the frame
// for its item list, registered with it for as long as this object lives.
class CItemListCommands final {
public:
    CItemListCommands(CQuilloryDoc& document, CFileListView& view);
    ~CItemListCommands();
    CItemListCommands(const CItemListCommands&) = delete;
    CItemListCommands& operator=(const CItemListCommands&) = delete;

    CItemCommands& itemCommands() const { return *m_itemCommands; }
    CItemSearchCommands& searchCommands() const { return *m_searchCommands; }
    CShellCommands& shellCommands() const { return *m_shellCommands; }

private:
    CFileListView& m_view;
    std::unique_ptr<CItemCommands> m_itemCommands;
    std::unique_ptr<CItemSearchCommands> m_searchCommands;
    std::unique_ptr<CShellCommands> m_shellCommands;
};
