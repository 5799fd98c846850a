#include "commands/CItemListCommands.h"

#include "commands/CItemCommands.h"
#include "commands/CItemSearchCommands.h"
#include "commands/CShellCommands.h"
#include "views/CFileListView.h"
#include "views/CItemDropHandler.h"

CItemListCommands::CItemListCommands(CQuilloryDoc& document, CFileListView& view) : m_view(view) {
    m_itemCommands = std::make_unique<CItemCommands>(document, view);
    view.addCommandFamily(m_itemCommands.get());
    QObject::connect(&view.dropHandler(), &CItemDropHandler::filesDropped, &view,
                     [this](const std::vector<std::string>& paths) { m_itemCommands->addDroppedFiles(paths); });
    QObject::connect(&view.dropHandler(), &CItemDropHandler::urlDropped, &view,
                     [this](const std::string& url) { m_itemCommands->addDroppedUrl(url); });
    m_searchCommands = std::make_unique<CItemSearchCommands>(view);
    view.addCommandFamily(m_searchCommands.get());
    // Registers itself with the view.
    m_shellCommands = std::make_unique<CShellCommands>(view);
}

CItemListCommands::~CItemListCommands() {
    m_view.removeCommandFamily(m_itemCommands.get());
    m_view.removeCommandFamily(m_searchCommands.get());
    QObject::disconnect(&m_view.dropHandler(), nullptr, &m_view, nullptr);
}
