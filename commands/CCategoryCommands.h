#pragma once

#include "gui/CCommandTarget.h"

class CFileCatalog;
class CQuilloryDoc;

// The document's category commands: the category list dialog (32771), adding a category (32900) and
// renaming a value when no category list takes the command (32783). Registered with the document as a
// command family.
class CCategoryCommands final : public CCommandTarget {
public:
    explicit CCategoryCommands(CQuilloryDoc& document);
    ~CCategoryCommands() override;
    CCategoryCommands(const CCategoryCommands&) = delete;
    CCategoryCommands& operator=(const CCategoryCommands&) = delete;

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

private:
    void editCategoryList();
    void addCategory();
    void renameValue();
    CFileCatalog& catalog() const;

    CQuilloryDoc& m_document;
};
