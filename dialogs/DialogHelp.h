#pragma once

// The help that the dialogs' help buttons open: the application's help window at a context number. Tests
// and programs without a main window install a handler of their own.

#include <QString>
#include <functional>

class QDialogButtonBox;
class QWidget;

namespace dialoghelp {

constexpr int kNewCatalogContext = 16;
constexpr int kCatalogListContext = 17;

// Opens the help page of the context: through the installed handler, else through the main frame of the
// running application; nothing happens without either.
void show(int context);
// Replaces the way help is shown (an empty function restores the main frame's help window).
void setHandler(std::function<void(int)> handler);

// The dialogs' Cancel button reads "ｷｬﾝｾﾙ", as every dialog of the program does.
QString cancelText();
// An OK and Cancel button box with the program's button texts.
QDialogButtonBox* okCancelButtons(QWidget* parent);

}  // namespace dialoghelp
