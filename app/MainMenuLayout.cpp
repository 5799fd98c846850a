#include "app/MainMenuLayout.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>
#include <initializer_list>
#include <vector>

#include "gui/CCommandActions.h"
#include "gui/CommandIds.h"

namespace mainmenu {

namespace {

// An entry of a menu: a command, a separator, or a submenu with its own entries.
struct Entry {
    int id = 0;  // 0 for a separator or a submenu
    const char* text = nullptr;
    bool checkable = false;
    std::vector<Entry> submenu;
};

Entry command(int id, const char* text) {
    return Entry{id, text, false, {}};
}
Entry check(int id, const char* text) {
    return Entry{id, text, true, {}};
}
Entry separator() {
    return Entry{};
}
Entry submenu(const char* text, std::vector<Entry> entries) {
    return Entry{0, text, false, std::move(entries)};
}

std::vector<Entry> reduceEntries() {
    static const char* const kTexts[] = {"&2分の1", "&3分の1", "&4分の1", "&5分の1", "&6分の1",
                                         "&7分の1", "&8分の1", "&9分の1", "&10分の1"};
    std::vector<Entry> entries;
    for (int i = 0; i < 9; ++i) {
        entries.push_back(check(cmd::kImageReduceFirst + i, kTexts[i]));
    }
    entries.push_back(separator());
    entries.push_back(check(cmd::kImageReduceCustom, "カスタム(&C)..."));
    return entries;
}

std::vector<Entry> enlargeEntries() {
    static const char* const kTexts[] = {"&2倍", "&3倍", "&4倍", "&5倍", "&6倍",
                                         "&7倍", "&8倍", "&9倍", "&10倍"};
    std::vector<Entry> entries;
    for (int i = 0; i < 9; ++i) {
        entries.push_back(check(cmd::kImageEnlargeFirst + i, kTexts[i]));
    }
    entries.push_back(separator());
    entries.push_back(check(cmd::kImageEnlargeCustom, "カスタム(&C)..."));
    return entries;
}

std::vector<Entry> menuBarEntries() {
    return {
        submenu(
            "ファイル(&F)",
            {command(cmd::kFileNew, "新規作成(&N)..."), command(cmd::kFileOpen, "開く(&O)..."),
             command(cmd::kFileSave, "上書き保存(&S)"), command(cmd::kFileSaveAs, "名前を付けて保存(&A)..."),
             separator(), command(cmd::kRenameCatalog, "現在のカタログ名の変更(&H)..."),
             command(cmd::kCatalogSettings, "このカタログの設定(&C)..."),
             command(cmd::kDeleteUnusedShortcuts, "未使用ショートカットの削除(&I)..."), separator(),
             command(cmd::kExportXml, "XML出力(&X)..."), command(cmd::kExportCsv, "CSV出力(&C)..."),
             command(cmd::kCopyHtml, "HTMLコピー(&H)"), separator(),
             command(cmd::kOpenSample, "サンプルファイルを開く(&M)..."), separator(),
             command(cmd::kFileMruFirst, "最近使ったファイル"), separator(),
             command(cmd::kAppExit, "アプリケーションの終了(&X)")}),
        submenu(
            "編集(&E)",
            {command(cmd::kEditUndo, "元に戻す(&U)"), command(cmd::kEditRedo, "やり直し(&R)"), separator(),
             command(cmd::kEditCut, "切り取り(&T)"), command(cmd::kEditCopy, "コピー(&C)"),
             command(cmd::kEditPaste, "貼り付け(&P)"), separator(),
             command(cmd::kEditSelectAll, "全て選択(&L)"), command(cmd::kDeselectAll, "全て選択解除(&K)"),
             separator(), command(cmd::kCopyAttribute, "属性のコピー(&C)"),
             command(cmd::kPasteAttribute, "属性の貼り付け(&P)"), separator(),
             command(cmd::kItemSearch, "アイテム検索(&F)..."), command(cmd::kItemSearchNext, "次を検索(&N)"),
             command(cmd::kItemSearchPrevious, "前を検索(&P)")}),
        submenu("アイテム(&I)", {command(cmd::kAddItem, "アイテムの追加(&A)..."),
                                 command(cmd::kNewFileItem, "ファイルを新規作成して追加(&I)..."),
                                 command(cmd::kAddFromBrowser, "ブラウザから追加(&B)..."),
                                 command(cmd::kAddFromFavourites, "お気に入りから追加(&O)..."),
                                 separator(),
                                 command(cmd::kEditItem, "アイテムの編集(&H)..."),
                                 command(cmd::kChangeDisplayName, "表示名変更(&V)..."),
                                 command(cmd::kMultiItemAttributes, "複数アイテムの属性設定(&M)..."),
                                 command(cmd::kAddValue, "属性の追加(&Q)..."),
                                 command(cmd::kSetWebPageTitle, "Webページタイトルをアイテムに設定(&T)"),
                                 separator(),
                                 command(cmd::kRemoveItem, "アイテムの登録解除(&D)..."),
                                 command(cmd::kDeleteItemsWithFiles, "選択アイテムをファイルごと削除(&D)..."),
                                 separator(),
                                 command(cmd::kOpenFile, "ファイルを開く(&O)"),
                                 command(cmd::kShowFileFolder, "ファイルがあるフォルダ表示(&R)"),
                                 command(cmd::kFileProperties, "ファイルのプロパティ表示(&P)"),
                                 separator(),
                                 command(cmd::kCopyFiles, "ファイルのコピー(&C)"),
                                 command(cmd::kCutFiles, "ファイルの切り取り(&T)"),
                                 command(cmd::kCopyItemNames, "アイテム名のコピー(&N)"),
                                 command(cmd::kCopyFullPaths, "ファイルのフルパスのコピー(&F)"),
                                 command(cmd::kCopyFilesToFolder, "選択アイテムのファイルコピー(&C)..."),
                                 command(cmd::kRenameItemFile, "選択アイテムのファイル名変更(&M)...")}),
        // Entry 7 of this menu is the sort menu, refilled whenever the menu bar opens.
        submenu(
            "表示(&V)",
            {check(cmd::kViewToolBar, "ツール バー(&T)"), check(cmd::kViewStatusBar, "ステータス バー(&S)"),
             separator(), check(cmd::kLayoutCategoriesBeside, "横にカテゴリ(&H)"),
             check(cmd::kLayoutCategoriesAbove, "上にカテゴリ(&V)"), separator(),
             submenu("表示する項目(&C)",
                     {check(cmd::kShowNameColumn, "ファイル名(&N)"), check(cmd::kShowDateColumn, "日付(&D)"),
                      check(cmd::kShowSizeColumn, "サイズ(&S)")}),
             submenu("アイテムの整列(&J)", {}), separator(), check(cmd::kRunFilter, "フィルタ実行(&F)"),
             command(cmd::kFilterSettings, "フィルタ設定(&A)..."), separator(),
             command(cmd::kFontSettings, "フォントの設定(&N)..."),
             command(cmd::kRefreshList, "リストの更新")}),
        submenu("カテゴリ(&C)", {command(cmd::kCategorySettings, "カテゴリの設定(&C)..."),
                                 command(cmd::kAddCategory, "カテゴリの追加(&B)..."),
                                 command(cmd::kEditCategory, "カテゴリ変更(&E)..."),
                                 command(cmd::kDeleteCategory, "カテゴリの削除(&D)..."), separator(),
                                 command(cmd::kMoveCategoryUp, "上位カテゴリに移動(&U)"),
                                 command(cmd::kMoveCategoryDown, "下位カテゴリに移動(&W)"), separator(),
                                 command(cmd::kRenameValue, "属性の変更(&Y)..."),
                                 command(cmd::kValueSearch, "属性リスト検索(&F)..."),
                                 command(cmd::kValueSearchNext, "属性リスト次検索(&N)"),
                                 command(cmd::kValueSearchPrevious, "属性リスト前検索(&P)"), separator(),
                                 command(cmd::kEqualValueListWidths, "属性リスト幅の均一化(&A)"),
                                 command(cmd::kRefreshValueLists, "更新用")}),
        submenu("プレビュー(&P)",
                {check(cmd::kShowPreview, "プレビュー画面表示(&B)"),
                 check(cmd::kBrowserMode, "ブラウザモード(&W)"), separator(),
                 command(cmd::kPreviewMaximise, "プレビュー画面最大化(&M)"),
                 command(cmd::kPreviewMinimise, "プレビュー画面最小化(&I)"),
                 command(cmd::kPreviewHalf, "プレビュー画面を1/2に(&H)"), separator(),
                 command(cmd::kPreviewCurrent, "プレビュー表示"),
                 command(cmd::kPreviewFont, "フォントの変更"), separator(),
                 submenu("画像(&G)",
                         {check(cmd::kImageActualSize, "実寸表示(&N)"), submenu("縮小(&R)", reduceEntries()),
                          submenu("拡大(&E)", enlargeEntries()), command(cmd::kImageStepLarger, "一段階拡大"),
                          command(cmd::kImageStepSmaller, "一段階縮小"), separator(),
                          check(cmd::kImageFitToWindow, "ウィンドウサイズに合わせる(&W)"),
                          command(cmd::kImageFitWindowToImage, "ウィンドウを画像サイズにあわせる(&S)"),
                          check(cmd::kImagePure, "画像精細モード(&P)"), separator(),
                          command(cmd::kCopyImage, "画像のコピー(&C)")}),
                 submenu("テキスト(&T)",
                         {command(cmd::kEditFind, "検索(&F)..."), command(cmd::kEditRepeat, "次を検索(&N)"),
                          command(cmd::kEditReplace, "置換(&R)..."), separator(),
                          check(cmd::kBold, "太字(&B)"), check(cmd::kItalic, "イタリック(&I)"),
                          check(cmd::kUnderline, "下線(&D)"), check(cmd::kStrikeOut, "打ち消し線(&S)"),
                          separator(), command(cmd::kTextFont, "フォント(&O)..."),
                          command(cmd::kTextColour, "文字色(&L)...")})}),
        submenu("ツール(&T)", {command(cmd::kOptions, "各種設定(&X)..."),
                               command(cmd::kBrowserExtensionSettings, "ブラウザ拡張機能の設定(&W)..."), separator(),
                               check(cmd::kMoveDownAfterEdit, "属性編集後の移動方向を縦に(&V)"), separator(),
                               command(cmd::kNoPreviewExtensions, "プレビュー不可設定(&G)..."),
                               command(cmd::kTextFileExtensions, "テキストファイルとする拡張子(&E)...")}),
        submenu("ヘルプ(&H)", {command(cmd::kHelpIndex, "目次(&C)"),
                               command(cmd::kHelpKeywordSearch, "キーワードで検索(&S)"),
                               command(cmd::kHelpUsing, "ヘルプの使い方(&U)"), separator(),
                               command(cmd::kHomePage, "Quilloryのホームページへ(&H)"), separator(),
                               command(cmd::kAppAbout, "バージョン情報(&A)...")}),
    };
}

void addEntries(QMenu& menu, const std::vector<Entry>& entries, CCommandActions& actions) {
    for (const Entry& entry : entries) {
        if (entry.text == nullptr) {
            menu.addSeparator();
        } else if (entry.id == 0) {
            QMenu* child = menu.addMenu(QString::fromUtf8(entry.text));
            addEntries(*child, entry.submenu, actions);
        } else {
            QAction* action = actions.action(entry.id, QString::fromUtf8(entry.text));
            action->setCheckable(entry.checkable);
            menu.addAction(action);
        }
    }
}

// A plain drawn icon for a command the icon theme has nothing for: its first letter on a tile.
QIcon letterIcon(const QString& letter, QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(140));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, letter);
    return QIcon(pixmap);
}

// A funnel, the sign of a filter; `withGear` adds the small wheel of its settings.
QIcon funnelIcon(bool settings) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF funnel({QPointF(1.5, 2), QPointF(14.5, 2), QPointF(9.5, 8), QPointF(9.5, 14),
                            QPointF(6.5, 12.5), QPointF(6.5, 8)});
    painter.setPen(QColor(0x20, 0x4a, 0x87));
    painter.setBrush(QColor(0x72, 0x9f, 0xcf));
    painter.drawPolygon(funnel);
    if (settings) {
        painter.setPen(QColor(0x55, 0x57, 0x53));
        painter.setBrush(QColor(0xee, 0xee, 0xec));
        painter.drawEllipse(QPointF(12, 12), 3.2, 3.2);
        painter.drawEllipse(QPointF(12, 12), 1, 1);
    }
    return QIcon(pixmap);
}

QIcon themeIcon(const char* name, const QString& fallbackLetter, QColor colour) {
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    return icon.isNull() ? letterIcon(fallbackLetter, colour) : icon;
}

struct Button {
    int id;
    const char* iconName;  // a freedesktop icon name; nullptr for a separator
    const char* letter;    // drawn when the icon theme lacks the icon
};

}  // namespace

void buildMenuBar(QMenuBar& menuBar, CCommandActions& actions) {
    for (const Entry& top : menuBarEntries()) {
        QMenu* menu = menuBar.addMenu(QString::fromUtf8(top.text));
        addEntries(*menu, top.submenu, actions);
    }
}

QMenu* fileMenu(QMenuBar& menuBar) {
    const QList<QAction*> menus = menuBar.actions();
    return menus.isEmpty() ? nullptr : menus.front()->menu();
}

void buildToolBar(QToolBar& toolBar, CCommandActions& actions) {
    static const Button kButtons[] = {
        {cmd::kFileNew, "document-new", "N"},
        {cmd::kFileOpen, "document-open", "O"},
        {cmd::kFileSave, "document-save", "S"},
        {0, nullptr, nullptr},
        {cmd::kEditCut, "edit-cut", "X"},
        {cmd::kEditCopy, "edit-copy", "C"},
        {cmd::kEditPaste, "edit-paste", "V"},
        {0, nullptr, nullptr},
        {cmd::kCategorySettings, "preferences-system", "K"},
        {0, nullptr, nullptr},
        {cmd::kMoveCategoryUp, "go-up", "↑"},
        {cmd::kMoveCategoryDown, "go-down", "↓"},
        {0, nullptr, nullptr},
        {cmd::kAddItem, "list-add", "+"},
        {cmd::kAddFromBrowser, "bookmark-new", "B"},
        {0, nullptr, nullptr},
        {cmd::kEditSelectAll, "edit-select-all", "A"},
        {cmd::kDeselectAll, "edit-clear", "-"},
        {0, nullptr, nullptr},
        {cmd::kRunFilter, "", "F"},
        {cmd::kFilterSettings, "", "F"},
        {0, nullptr, nullptr},
        {cmd::kItemSearch, "edit-find", "?"},
        {cmd::kItemSearchNext, "go-next", ">"},
        {cmd::kItemSearchPrevious, "go-previous", "<"},
        {0, nullptr, nullptr},
        {cmd::kMoveDownAfterEdit, "go-bottom", "↓"},
        {cmd::kOpenFile, "document-send", "O"},
        {0, nullptr, nullptr},
        {cmd::kBrowserMode, "web-browser", "W"},
        {0, nullptr, nullptr},
        {cmd::kImageStepLarger, "zoom-in", "+"},
        {cmd::kImageStepSmaller, "zoom-out", "-"},
        {0, nullptr, nullptr},
        {cmd::kAppAbout, "help-about", "i"},
    };
    // Outside a desktop session no icon theme is set; the buttons' icons come from Adwaita then.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")) {
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
    toolBar.setIconSize(QSize(16, 16));
    for (const Button& button : kButtons) {
        if (button.iconName == nullptr) {
            toolBar.addSeparator();
            continue;
        }
        QAction* action = actions.action(button.id);
        if (button.id == cmd::kRunFilter || button.id == cmd::kFilterSettings) {
            action->setIcon(funnelIcon(button.id == cmd::kFilterSettings));
        } else {
            action->setIcon(
                themeIcon(button.iconName, QString::fromUtf8(button.letter), QColor(0x34, 0x65, 0xa4)));
        }
        toolBar.addAction(action);
    }
}

void assignAccelerators(CCommandActions& actions) {
    struct Accelerator {
        int id;
        std::initializer_list<QKeySequence> keys;
    };
    const Accelerator kAccelerators[] = {
        {cmd::kEditSelectAll, {QKeySequence(Qt::CTRL | Qt::Key_A)}},
        {cmd::kEditFind, {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {cmd::kFileNew, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {cmd::kFileOpen, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {cmd::kFileSave, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {cmd::kEditUndo, {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {cmd::kHelp, {QKeySequence(Qt::Key_F1)}},
        {cmd::kEditRepeat, {QKeySequence(Qt::Key_F3)}},
        {cmd::kItemSearchPrevious, {QKeySequence(Qt::SHIFT | Qt::Key_F3)}},
        {cmd::kNextPane, {QKeySequence(Qt::Key_F6)}},
        {cmd::kPrevPane, {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
    };
    for (const Accelerator& accelerator : kAccelerators) {
        QAction* action = actions.action(accelerator.id);
        action->setShortcuts(QList<QKeySequence>(accelerator.keys));
        action->setShortcutContext(Qt::WindowShortcut);
    }
}

}  // namespace mainmenu
