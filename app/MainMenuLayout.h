#pragma once

// The menu bar, the tool bar and the accelerators of the main window, as tables.

class CCommandActions;
class QMenu;
class QMenuBar;
class QToolBar;

namespace mainmenu {

// Positions the sort menu is found at: menu 3 ("表示(&V)"), entry 7 ("アイテムの整列(&J)").
inline constexpr int kViewMenuIndex = 3;
inline constexpr int kSortSubmenuIndex = 7;

// Fills the menu bar with every command in its menu, each through its action.
void buildMenuBar(QMenuBar& menuBar, CCommandActions& actions);
// The tool bar's buttons in their order, with icons.
void buildToolBar(QToolBar& toolBar, CCommandActions& actions);
// The accelerators: shortcuts on the commands' actions.
void assignAccelerators(CCommandActions& actions);

// The menu that lists the recent catalogs ("File" menu entries 57616..), refilled when the menu opens.
QMenu* fileMenu(QMenuBar& menuBar);

}  // namespace mainmenu
