#pragma once

#include <QString>
#include <functional>

#include "gui/CCommandTarget.h"

class CFileItem;
class CQuilloryDoc;

// Command 32933 "Webページタイトルをアイテムに設定(&T)": while the preview shows a web address item, the title
// of the page the web view shows becomes the item's title, as a title change does: an undo point, the
// change, the modified mark and hint 10. The preview registers it with the document, so that it works
// from any pane.
class CWebTitleCommand final : public CCommandTarget {
public:
    // The web address item the preview shows and the title of its page; no item (or an empty title)
    // while there is nothing to take.
    struct Shown {
        CFileItem* item = nullptr;
        QString pageTitle;
    };

    CWebTitleCommand(CQuilloryDoc& document, std::function<Shown()> shown);
    ~CWebTitleCommand() override;
    CWebTitleCommand(const CWebTitleCommand&) = delete;
    CWebTitleCommand& operator=(const CWebTitleCommand&) = delete;

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

private:
    CQuilloryDoc& m_document;
    std::function<Shown()> m_shown;
};
