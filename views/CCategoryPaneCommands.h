#pragma once

#include "gui/CCommandTarget.h"

class CCategoryView;
class CQuilloryDoc;

// The category commands of the category pane, on the category of the focused list: "カテゴリ変更" (32901),
// "カテゴリの削除" (32902), "上位カテゴリに移動" and "下位カテゴリに移動" (32905, 32906) and "属性の変更"
// (32783), each with its undo point. The pane offers this family the commands it does not handle itself.
class CCategoryPaneCommands final : public CCommandTarget {
public:
    explicit CCategoryPaneCommands(CCategoryView& pane);

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

private:
    void editCategory();
    void deleteCategory();
    void moveCategory(int step);
    void renameValue();
    CQuilloryDoc& document() const;

    CCategoryView& m_pane;
};
