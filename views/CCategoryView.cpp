#include "views/CCategoryView.h"

#include <algorithm>
#include <array>

#include "app/CQuilloryDoc.h"
#include "app/CommandIds.h"
#include "views/CFileListView.h"

CCategoryView::CCategoryView(CQuilloryDoc& document, QWidget* parent) : CQuilloryView(document, parent) {
    setObjectName("CategoryView");
}

bool CCategoryView::isForwardedItemCommand(int id) {
    static constexpr std::array kItemCommands{
        cmd::kEditItem,       cmd::kRemoveItem,          cmd::kOpenFile,      cmd::kMultiItemAttributes,
        cmd::kFileProperties, cmd::kShowFileFolder,      cmd::kItemSearch,    cmd::kItemSearchNext,
        cmd::kItemSearchPrevious, cmd::kEditSelectAll,   cmd::kDeselectAll,   cmd::kAddFromBrowser,
        cmd::kAddFromFavourites};
    return std::find(kItemCommands.begin(), kItemCommands.end(), id) != kItemCommands.end();
}

bool CCategoryView::onCommand(int id) {
    if (isForwardedItemCommand(id)) {
        if (CFileListView* list = document().fileListView()) {
            return list->onCommand(id);
        }
    }
    return false;
}

bool CCategoryView::onUpdateCommand(int id, CCommandState& state) {
    if (isForwardedItemCommand(id)) {
        if (CFileListView* list = document().fileListView()) {
            return list->onUpdateCommand(id, state);
        }
    }
    return false;
}
