#pragma once

#include <memory>

#include "gui/CCommandTarget.h"

class CFileItem;
class CQuilloryDoc;

// The document's command that registers one item through the item dialog (32772), and the addition
// through that dialog that the URL drop and the browser addition share. Registered with the document as a
// command family.
class CAddItemCommands final : public CCommandTarget {
public:
    explicit CAddItemCommands(CQuilloryDoc& document);
    ~CAddItemCommands() override;
    CAddItemCommands(const CAddItemCommands&) = delete;
    CAddItemCommands& operator=(const CAddItemCommands&) = delete;

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // Opens the item dialog on a new item that is not in the catalog yet. On OK: undo point, the item
    // appended, recompute, modified, hint 14, and its row made current; the item is returned. Cancelled:
    // the item is dropped and the catalog, its undo history and the modified flag stay as they were
    // (nullptr).
    static CFileItem* addThroughItemDialog(CQuilloryDoc& document, std::unique_ptr<CFileItem> item);

private:
    CQuilloryDoc& m_document;
};
