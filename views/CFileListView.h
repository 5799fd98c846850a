#pragma once

#include <QFont>

#include <vector>

#include "gui/CQuilloryView.h"

class CFileItem;
class CItemDropHandler;
class CProfile;
class MyCug;

// The item list: hosts the grid of the displayed items (MyCug) above the preview row, and is the command
// target for everything that acts on items. The grid's font comes from the "Font" settings.
class CFileListView final : public CQuilloryView {
    Q_OBJECT
public:
    // The grid's control ID.
    static constexpr int kGridId = 1234;

    CFileListView(CQuilloryDoc& document, QWidget* parent);
    ~CFileListView() override;

    MyCug& grid() const { return *m_grid; }
    // The drops onto the list, for the item commands to handle.
    CItemDropHandler& dropHandler() const { return *m_dropHandler; }

    // The current item's index among the displayed items: the grid's current row clamped to the last
    // displayed item; -1 before the first fill or when nothing is displayed.
    int currentItemIndex() const;
    CFileItem* currentItem() const;
    // The items that item commands act on: the checked items in row order, or else the current item alone
    // (none when there is no current item).
    std::vector<CFileItem*> targets() const;
    // Makes the item's row current when it is displayed.
    void setCurrentItem(const CFileItem* item);

    // A family of item commands (edit, shell operations, searches...) that the view offers every command
    // it does not handle itself, in the order added. Not owned; a family must outlive the view or be removed.
    void addCommandFamily(CCommandTarget* family);
    void removeCommandFamily(CCommandTarget* family);

    void onInitialUpdate() override;
    void onUpdate(CQuilloryView* sender, int hintValue) override;
    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // The list font as the "Font" settings give it, and stores it there.
    static QFont readListFont(const CProfile& profile);
    static void writeListFont(CProfile& profile, const QFont& font);
    // Gives the grid the font and a row height of the font's text height + 2.
    void setListFont(const QFont& font);

Q_SIGNALS:
    // The status bar texts: the current item's path (empty for none) and the grid's "%d/%d".
    void statusChanged(const QString& path, const QString& count);
    // The current item changed: the main frame shows it in the preview.
    void showCurrentItemRequested();
    // A command sent to the main window (from the grid's menu, a double click, or the list refresh).
    void commandRequested(int id);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    static int itemCommandOf(int id);
    void chooseFont();

    MyCug* m_grid = nullptr;
    CItemDropHandler* m_dropHandler = nullptr;
    std::vector<CCommandTarget*> m_families;
    bool m_ready = false;
};
