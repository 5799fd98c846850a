#include "views/CCategoryView.h"

#include <algorithm>
#include <array>

#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"

CCategoryView::CCategoryView(CQuilloryDoc& document, QWidget* parent) : CQuilloryView(document, parent) {
    setObjectName("CategoryView");
}

bool CCategoryView::isForwardedItemCommand(int id) {
    static constexpr std::array kItemCommands{
        cmd::kEditItem,           cmd::kRemoveItem,     cmd::kOpenFile,    cmd::kMultiItemAttributes,
        cmd::kFileProperties,     cmd::kShowFileFolder, cmd::kItemSearch,  cmd::kItemSearchNext,
        cmd::kItemSearchPrevious, cmd::kEditSelectAll,  cmd::kDeselectAll, cmd::kAddFromBrowser,
        cmd::kAddFromFavourites};
    return std::find(kItemCommands.begin(), kItemCommands.end(), id) != kItemCommands.end();
}

bool CCategoryView::onCommand(int id) {
    if (isForwardedItemCommand(id)) {
        if (CQuilloryView* list = document().commandView(CQuilloryDoc::PassedCommands::Item)) {
            return list->onCommand(id);
        }
    }
    return false;
}

bool CCategoryView::onUpdateCommand(int id, CCommandState& state) {
    if (isForwardedItemCommand(id)) {
        if (CQuilloryView* list = document().commandView(CQuilloryDoc::PassedCommands::Item)) {
            return list->onUpdateCommand(id, state);
        }
    }
    return false;
}
