#pragma once

// Small file and shell utilities that several parts of the application share.

#include <QString>
#include <optional>

class QWidget;

namespace apputil {

// Registers the program's built-in resources (icons, desktop files); safe to call more than once.
void initResources();

// Loads Qt's own Japanese texts (the buttons of message boxes, the file and font dialogs, the context
// menus of text fields), whatever the system's language: the program speaks Japanese throughout. Needs the
// application object; safe to call more than once. False when Qt's Japanese translations are not installed.
bool installQtTranslations();
// Makes Japanese the default locale, whatever the system's: the web view's own pages (error pages, folder
// listings, media controls) then speak Japanese like every other text. Must run before the first web view.
void useJapaneseLocale();

// The folder of the running executable, "/", then the file name.
QString executableFolderPath(const QString& fileName);

// The folder where catalogs go unless the user chooses another: "<XDG documents>/Quillory".
QString defaultCatalogFolder();

// The XDG templates folder ("" when the user has none).
QString templatesFolder();

// Opens the path (a file, a folder or a URL) with the desktop's default application. False for an empty
// path or when nothing could open it.
bool shellOpen(const QString& path);

// The folder chooser's title: the given one, or "フォルダ選択" when it is empty.
QString folderPickerTitle(const QString& title);

// Lets the user choose a folder, starting at `startFolder` (or at the process's current folder when
// `startInCurrentDirectory` is set). The chosen folder, or nothing when the user cancelled.
std::optional<QString> pickFolder(QWidget* parent, const QString& title, const QString& startFolder,
                                  bool startInCurrentDirectory = false);

}  // namespace apputil
