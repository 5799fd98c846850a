#pragma once

#include <array>

#include <QPointer>
#include <memory>

#include "app/CContFrameWnd.h"
#include "gui/CCommandTarget.h"

class CCategoryView;
class CCommandActions;
class QTimer;
class CFileListView;
class CHelpWindow;
class CItemListCommands;
class COptionsCommands;
class CQuilloryDoc;
class CQuilloryView;
class CRecentFileList;
class CSplitterWndEx;
class CTextView;
class QLabel;
class QSplitter;

// The main window: menu bar, tool bar, status bar, and the splitters that place the category pane beside
// or above the item list, with the preview row below the item list. Commands from the menus, the tool bar
// and the accelerators are routed from here: the active view, the document, this frame, the application.
class CMainFrame final : public CContFrameWnd, public CCommandTarget {
    Q_OBJECT
public:
    // The position of the category pane ("View"/"SplPos").
    enum class Layout { CategoriesBeside = 0, CategoriesAbove = 1 };

    CMainFrame(CProfile& profile, CQuilloryDoc& document, CRecentFileList& recentFiles,
               CCommandTarget& application);
    ~CMainFrame() override;

    // Creates the splitters and the three views (the framework's create-client step) and the bars.
    void createClient();

    Layout categoryLayout() const { return m_layout; }
    CCategoryView* categoryView() const { return m_categoryView; }
    CFileListView* fileListView() const { return m_fileListView; }
    // The item list's command families.
    CItemListCommands& itemListCommands() const { return *m_itemListCommands; }
    CTextView* textView() const { return m_textView; }
    QSplitter* outerSplitter() const { return m_outer; }
    CSplitterWndEx* innerSplitter() const { return m_inner; }
    CCommandActions& actions() const { return *m_actions; }
    // The option commands (the options dialog and the extension lists), there from createClient() on.
    COptionsCommands& optionsCommands() const { return *m_options; }
    CHelpWindow* helpWindow() const { return m_helpWindow; }
    QLabel* statusPathPane() const { return m_statusPath; }
    QLabel* statusCountPane() const { return m_statusCount; }

    // The view that is offered commands first: the view that holds the focus, else the category pane.
    CQuilloryView* activeView() const;
    void setActiveView(CQuilloryView* view);

    // Routes a command; false when no target handled it.
    bool routeCommand(int id);
    // The command's state as its handler reports it; disabled when nobody handles it.
    CCommandState commandState(int id);
    // The targets a command is offered to, in order; an entry may be null.
    std::array<CCommandTarget*, 5> commandTargets();
    // Brings every action's enabled and checked state up to date.
    void updateCommandStates();
    // Called whenever a menu of the menu bar opens: rebuilds the sort and recent-file menus.
    void onInitMenu();

    bool isPreviewShown() const;
    // Switches the preview row off and on, keeping the item list's height.
    void togglePreview();
    // Tells the preview to show the current item, when the preview row is shown.
    void showCurrentItemInPreview();
    // The height the frame's client area offers to the panes.
    int clientHeight() const;

    // The help pages: the folder that holds them, as the application named it.
    void setHelpFilePath(const QString& path) { m_helpFilePath = path; }
    // Opens the help at a context number (0: the contents); false with a message when the pages are missing.
    bool showHelp(int context);

    // The status bar's panes: the current item's path and the grid's "%d/%d".
    void setStatusPath(const QString& text);
    void setStatusCount(const QString& text);

    // Writes the pane sizes and then the placement (done once, when the window closes).
    void saveWindowState();

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Watches the program's input: after each key press and click the actions' states are brought up to
    // date once the program is idle, so that shortcuts and toolbar buttons follow what the user did.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createBars();
    void createSplitters();
    void applyPaneSizes();
    void rebuildSortMenu();
    void rebuildRecentFileMenu();
    void setLayoutSetting(Layout layout);
    void setItemListHeight(int height);
    void activateNextPane(int step);
    void updateTitle();

    CQuilloryDoc& m_document;
    CRecentFileList& m_recentFiles;
    CCommandTarget& m_application;
    CCommandActions* m_actions = nullptr;
    Layout m_layout = Layout::CategoriesBeside;
    QSplitter* m_outer = nullptr;
    CSplitterWndEx* m_inner = nullptr;
    CCategoryView* m_categoryView = nullptr;
    CFileListView* m_fileListView = nullptr;
    std::unique_ptr<CItemListCommands> m_itemListCommands;
    CTextView* m_textView = nullptr;
    QPointer<CQuilloryView> m_activeView;
    QTimer* m_idleUpdate = nullptr;
    QLabel* m_statusPath = nullptr;
    QLabel* m_statusCount = nullptr;
    CHelpWindow* m_helpWindow = nullptr;
    std::unique_ptr<COptionsCommands> m_options;
    QString m_helpFilePath;
    int m_categoryPaneSize = 260;
    int m_itemListHeight = 200;
    bool m_paneSizesApplied = false;
    bool m_stateSaved = false;
};
