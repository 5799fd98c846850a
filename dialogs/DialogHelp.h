#pragma once

// The help that the dialogs' help buttons open: the help window at a context number. The main frame
// installs the default handler; tests and programs without a main window install a handler of their own.

#include <QString>
#include <functional>

class QDialog;
class QDialogButtonBox;
class QWidget;

namespace dialoghelp {

constexpr int kNewCatalogContext = 16;
constexpr int kCatalogListContext = 17;
constexpr int kCategoryListContext = 46;
constexpr int kCategoryValueContext = 49;
constexpr int kFilterContext = 56;
constexpr int kOptionsContext = 57;
constexpr int kCategoryEditContext = 90;
constexpr int kFileItemContext = 24;
constexpr int kAddTagContext = 30;
constexpr int kFileItemMultiContext = 91;
constexpr int kSortContext = 92;

// Opens the help page of the context: through the installed handler, else through the default handler;
// nothing happens without either.
void show(int context);
// Replaces the way help is shown (an empty function restores the default handler).
void setHandler(std::function<void(int)> handler);
// The way help is shown when no handler is installed: the main frame's help window, while a frame lives.
void setDefaultHandler(std::function<void(int)> handler);

// The dialogs' Cancel button reads "ｷｬﾝｾﾙ", as every dialog of the program does.
QString cancelText();
// An OK and Cancel button box with the program's button texts.
QDialogButtonBox* okCancelButtons(QWidget* parent);
// A button box of "閉じる", which accepts the dialog, and "ヘルプ(&H)", which shows the help context.
QDialogButtonBox* closeHelpButtons(QDialog& dialog, int helpContext);
// Moves the dialog to the centre of the window that opened it, or of its screen (call it when shown).
void centreOnParent(QWidget& dialog);

}  // namespace dialoghelp
