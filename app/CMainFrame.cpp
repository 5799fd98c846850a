#include "app/CMainFrame.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/CHelpWindow.h"
#include "app/COptionsCommands.h"
#include "app/CRecentFileList.h"
#include "app/CSplitterWndEx.h"
#include "app/MainMenuLayout.h"
#include "commands/CItemListCommands.h"
#include "dialogs/DialogHelp.h"
#include "gui/CCommandActions.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "platform/CProfile.h"
#include "platform/CUserInterface.h"
#include "preview/CTextView.h"
#include "views/CCategoryView.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

constexpr const char* kViewSection = "View";
constexpr int kMinimumRowHeight = 10;
constexpr int kDefaultItemListHeight = 200;
constexpr int kDefaultCategoryPaneWidth = 260;
constexpr int kStatusNoteMilliseconds = 5000;  // the category pane beside the grid, at least
constexpr int kDefaultPreviewHeight = 300;

// Gives the pane at `index` its size; the last visible pane takes what is left.
void setLeadingPaneSize(QSplitter& splitter, int index, int size) {
    QList<int> sizes = splitter.sizes();
    if (index < 0 || index >= sizes.size()) {
        return;
    }
    int total = 0;
    int last = -1;
    for (int i = 0; i < sizes.size(); ++i) {
        if (!splitter.widget(i)->isHidden()) {
            total += sizes[i];
            last = i;
        }
    }
    if (total <= 0) {
        total = splitter.orientation() == Qt::Vertical ? splitter.height() : splitter.width();
    }
    sizes[index] = std::max(0, size);
    if (last >= 0 && last != index) {
        int used = 0;
        for (int i = 0; i < sizes.size(); ++i) {
            if (i != last && !splitter.widget(i)->isHidden()) {
                used += sizes[i];
            }
        }
        sizes[last] = std::max(0, total - used);
    }
    splitter.setSizes(sizes);
}

}  // namespace

CMainFrame::CMainFrame(CProfile& profile, CQuilloryDoc& document, CRecentFileList& recentFiles,
                       CCommandTarget& application)
    : CContFrameWnd(profile), m_document(document), m_recentFiles(recentFiles), m_application(application) {
    setObjectName("MainFrame");
    dialoghelp::setDefaultHandler([this](int context) { showHelp(context); });
    m_actions = new CCommandActions(this);
    connect(m_actions, &CCommandActions::commandTriggered, this, [this](int id) { routeCommand(id); });
    m_idleUpdate = new QTimer(this);
    m_idleUpdate->setSingleShot(true);
    m_idleUpdate->setInterval(0);
    connect(m_idleUpdate, &QTimer::timeout, this, &CMainFrame::updateCommandStates);
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        m_idleUpdate->start();  // another view may handle the commands now
        for (QWidget* widget = now; widget; widget = widget->parentWidget()) {
            if (auto* view = qobject_cast<CQuilloryView*>(widget);
                view && (view == m_categoryView || view == m_fileListView || view == m_textView)) {
                m_activeView = view;
                return;
            }
        }
    });
    connect(&m_document, &CQuilloryDoc::titleChanged, this, &CMainFrame::updateTitle);
    connect(&m_document, &CQuilloryDoc::statusNote, this,
            [this](const QString& text) { statusBar()->showMessage(text, kStatusNoteMilliseconds); });
}

CMainFrame::~CMainFrame() {
    dialoghelp::setDefaultHandler({});
    if (m_outer) {
        saveWindowState();
    }
}

void CMainFrame::createClient() {
    createBars();
    createSplitters();
    m_options = std::make_unique<COptionsCommands>(profile(), m_document, m_fileListView->grid(), this);
    updateTitle();
    updateCommandStates();
}

void CMainFrame::createBars() {
    mainmenu::buildMenuBar(*menuBar(), *m_actions);
    mainmenu::assignAccelerators(*m_actions);
    for (QAction* top : menuBar()->actions()) {
        connect(top->menu(), &QMenu::aboutToShow, this, &CMainFrame::onInitMenu);
        for (QMenu* child : top->menu()->findChildren<QMenu*>()) {
            connect(child, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
        }
    }

    auto* toolBar = new QToolBar(QStringLiteral("ツール バー"), this);
    toolBar->setObjectName("ToolBar");
    toolBar->setMovable(true);
    mainmenu::buildToolBar(*toolBar, *m_actions);
    addToolBar(Qt::TopToolBarArea, toolBar);
    m_actions->action(cmd::kViewToolBar)->setCheckable(true);

    m_statusPath = new QLabel(this);
    m_statusPath->setObjectName("StatusPath");
    m_statusPath->setMinimumWidth(1);
    m_statusCount = new QLabel(this);
    m_statusCount->setObjectName("StatusCount");
    m_statusCount->setAlignment(Qt::AlignCenter);
    m_statusCount->setFrameShape(QFrame::Panel);
    m_statusCount->setFrameShadow(QFrame::Sunken);
    const int countWidth = statusBar()->fontMetrics().horizontalAdvance(QStringLiteral("555555/555555"));
    m_statusCount->setFixedWidth(countWidth + 2 * m_statusCount->frameWidth() + 6);
    setStatusPath(QString());
    statusBar()->addWidget(m_statusPath, 1);
    statusBar()->addPermanentWidget(m_statusCount);
    setBars(toolBar, statusBar());
}

void CMainFrame::createSplitters() {
    CProfile& settings = profile();
    m_layout =
        settings.readInt(kViewSection, "SplPos", 0) == 1 ? Layout::CategoriesAbove : Layout::CategoriesBeside;
    m_categoryPaneSize = m_layout == Layout::CategoriesAbove ? settings.readInt(kViewSection, "Row", 300)
                                                             : settings.readInt(kViewSection, "Colum", -1);
    const int storedRow = settings.readInt(kViewSection, "PreviewRow", -1);
    m_itemListHeight = storedRow == -1 ? kDefaultItemListHeight : storedRow;

    m_outer = new QSplitter(m_layout == Layout::CategoriesAbove ? Qt::Vertical : Qt::Horizontal, this);
    m_outer->setObjectName("OuterSplitter");
    m_outer->setChildrenCollapsible(false);
    m_categoryView = new CCategoryView(m_document, m_outer);
    m_inner = new CSplitterWndEx(m_outer);
    m_inner->setObjectName("InnerSplitter");
    m_fileListView = new CFileListView(m_document, m_inner);
    m_itemListCommands = std::make_unique<CItemListCommands>(m_document, *m_fileListView);
    m_textView = new CTextView(m_document, m_inner);
    m_textView->setCurrentItemSource([this] { return m_fileListView->currentItem(); });
    connect(m_fileListView, &CFileListView::statusChanged, this, [this](const QString& path, const QString& count) {
        setStatusPath(path);
        setStatusCount(count);
    });
    connect(m_fileListView, &CFileListView::showCurrentItemRequested, this, &CMainFrame::showCurrentItemInPreview);
    // Commands from the grid arrive as posted messages do: after the notification that sent them.
    connect(m_fileListView, &CFileListView::commandRequested, this, [this](int id) { routeCommand(id); },
            Qt::QueuedConnection);
    for (QWidget* pane : {static_cast<QWidget*>(m_categoryView), static_cast<QWidget*>(m_fileListView),
                          static_cast<QWidget*>(m_textView)}) {
        pane->setMinimumSize(0, 0);
    }
    m_outer->addWidget(m_categoryView);
    m_outer->addWidget(m_inner);
    m_outer->setStretchFactor(0, 0);
    m_outer->setStretchFactor(1, 1);
    m_inner->addWidget(m_fileListView);
    m_inner->addWidget(m_textView);
    m_inner->setStretchFactor(0, 0);
    m_inner->setStretchFactor(1, 1);
    m_inner->setSizes({m_itemListHeight, kDefaultPreviewHeight});
    setCentralWidget(m_outer);

    if (settings.readInt(kViewSection, "ShowPreview", 1) == 0) {
        m_inner->hideLastRow();
    }
    setActiveView(m_categoryView);
}

void CMainFrame::showEvent(QShowEvent* event) {
    CContFrameWnd::showEvent(event);
    if (!m_paneSizesApplied) {
        applyPaneSizes();
    }
}

void CMainFrame::applyPaneSizes() {
    if (!m_outer) {
        return;
    }
    m_paneSizesApplied = true;
    if (QLayout* frameLayout = QMainWindow::layout()) {
        frameLayout->activate();
    }
    if (m_categoryPaneSize == -1) {
        // No width stored yet: wide enough for every list whole, within half the window.
        m_categoryPaneSize = std::clamp(m_categoryView->readableWidth(), kDefaultCategoryPaneWidth,
                                        std::max(kDefaultCategoryPaneWidth, m_outer->width() / 2));
    }
    setLeadingPaneSize(*m_outer, 0, m_categoryPaneSize);
    setLeadingPaneSize(*m_inner, 0, m_itemListHeight);
}

CQuilloryView* CMainFrame::activeView() const {
    return m_activeView ? m_activeView.data() : static_cast<CQuilloryView*>(m_categoryView);
}

void CMainFrame::setActiveView(CQuilloryView* view) {
    m_activeView = view;
    if (view && isVisible()) {
        view->setFocus(Qt::OtherFocusReason);
    }
}

bool CMainFrame::routeCommand(int id) {
    if (!commandState(id).enabled) {
        return false;
    }
    m_idleUpdate->start();  // the command may enable or disable others
    for (CCommandTarget* target : commandTargets()) {
        if (target && target->onCommand(id)) {
            return true;
        }
    }
    return false;
}

// The active view first; then the item list, so that every item command acts on the item list's targets
// whichever pane has the focus; then the document, the frame and the application.
std::array<CCommandTarget*, 5> CMainFrame::commandTargets() {
    CQuilloryView* const active = activeView();
    CCommandTarget* const itemList = active == m_fileListView ? nullptr : m_fileListView;
    return {active, itemList, &m_document, this, &m_application};
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonRelease:
            m_idleUpdate->start();
            break;
        default:
            break;
    }
    return CContFrameWnd::eventFilter(watched, event);
}

CCommandState CMainFrame::commandState(int id) {
    for (CCommandTarget* target : commandTargets()) {
        CCommandState state;
        if (target && target->onUpdateCommand(id, state)) {
            return state;
        }
    }
    return CCommandState{false, false};
}

void CMainFrame::updateCommandStates() {
    for (const auto& [id, action] : m_actions->all()) {
        if (id >= cmd::kFileMruFirst && id <= cmd::kFileMruLast && m_recentFiles.count() == 0) {
            action->setEnabled(false);
            continue;
        }
        const CCommandState state = commandState(id);
        action->setEnabled(state.enabled);
        if (action->isCheckable()) {
            action->setChecked(state.checked);
        }
    }
}

void CMainFrame::onInitMenu() {
    rebuildSortMenu();
    rebuildRecentFileMenu();
    updateCommandStates();
}

void CMainFrame::rebuildSortMenu() {
    const QList<QAction*> menus = menuBar()->actions();
    if (menus.size() <= mainmenu::kViewMenuIndex || !menus[mainmenu::kViewMenuIndex]->menu()) {
        CUserInterface::current().message("Err:MainMenu", MessageIcon::None);
        return;
    }
    const QList<QAction*> entries = menus[mainmenu::kViewMenuIndex]->menu()->actions();
    QMenu* sortMenu =
        entries.size() > mainmenu::kSortSubmenuIndex ? entries[mainmenu::kSortSubmenuIndex]->menu() : nullptr;
    if (!sortMenu) {
        CUserInterface::current().message("Err:SubMenu", MessageIcon::None);
        return;
    }
    sortMenu->clear();
    for (int id = cmd::kSortByCategoryFirst; id <= cmd::kSortByCategoryLast; ++id) {
        m_actions->remove(id);
    }
    struct Fixed {
        int id;
        const char* text;
    };
    static const Fixed kKeys[] = {{cmd::kSortByName, "名前(&N)"},
                                  {cmd::kSortByDate, "日付(&D)"},
                                  {cmd::kSortBySize, "サイズ(&S)"},
                                  {cmd::kSortByExtension, "拡張子(&E)"},
                                  {cmd::kSortByFolder, "フォルダ(&F)"}};
    for (const Fixed& key : kKeys) {
        QAction* action = m_actions->action(key.id, QString::fromUtf8(key.text));
        action->setCheckable(true);
        sortMenu->addAction(action);
    }
    sortMenu->addSeparator();
    const QStringList categories = m_document.categoryNames();
    for (int i = 0; i < categories.size() && cmd::kSortByCategoryFirst + i <= cmd::kSortByCategoryLast; ++i) {
        QAction* action = m_actions->action(cmd::kSortByCategoryFirst + i, categories[i]);
        action->setCheckable(true);
        sortMenu->addAction(action);
    }
    sortMenu->addSeparator();
    QAction* ascending = m_actions->action(cmd::kSortAscending, QStringLiteral("昇順(&K)"));
    ascending->setCheckable(true);
    sortMenu->addAction(ascending);
    sortMenu->addSeparator();
    sortMenu->addAction(m_actions->action(cmd::kSortSettings, QStringLiteral("整列の設定(&M)...")));
    menuBar()->update();
}

void CMainFrame::rebuildRecentFileMenu() {
    QMenu* menu = mainmenu::fileMenu(*menuBar());
    QAction* first = m_actions->find(cmd::kFileMruFirst);
    if (!menu || !first) {
        return;
    }
    for (int id = cmd::kFileMruFirst + 1; id <= cmd::kFileMruLast; ++id) {
        m_actions->remove(id);
    }
    const QStringList& paths = m_recentFiles.paths();
    if (paths.isEmpty()) {
        first->setText(QStringLiteral("最近使ったファイル"));
        return;
    }
    QAction* before = first;
    const QList<QAction*> entries = menu->actions();
    const int firstIndex = static_cast<int>(entries.indexOf(first));
    before = firstIndex + 1 < entries.size() ? entries[firstIndex + 1] : nullptr;
    for (int i = 0; i < paths.size(); ++i) {
        const QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(paths[i]);
        if (i == 0) {
            first->setText(text);
            continue;
        }
        QAction* entry = m_actions->action(cmd::kFileMruFirst + i, text);
        menu->insertAction(before, entry);
    }
}

bool CMainFrame::isPreviewShown() const {
    return m_inner && !m_inner->isRowHidden();
}

int CMainFrame::clientHeight() const {
    const int menuHeight = menuBar() && menuBar()->isVisible() ? menuBar()->height() : 0;
    return std::max(0, height() - menuHeight);
}

void CMainFrame::setItemListHeight(int height) {
    setLeadingPaneSize(*m_inner, 0, height);
}

void CMainFrame::togglePreview() {
    if (m_inner->rowCount() == 2) {
        profile().writeInt(kViewSection, "PreviewRow", m_inner->rowHeight(0));
        if (activeView() == m_textView) {
            setActiveView(m_fileListView);
        }
        m_inner->hideLastRow();
        profile().writeInt(kViewSection, "ShowPreview", 0);
        return;
    }
    int height = profile().readInt(kViewSection, "PreviewRow", -1);
    if (height == -1) {
        height = clientHeight() / 2;
    }
    m_inner->showHiddenRow();
    setItemListHeight(height);
    profile().writeInt(kViewSection, "ShowPreview", 1);
    showCurrentItemInPreview();
}

void CMainFrame::showCurrentItemInPreview() {
    if (isPreviewShown()) {
        m_textView->onCommand(cmd::kPreviewCurrent);
        m_textView->setUpdatesEnabled(true);
    }
}

void CMainFrame::setLayoutSetting(Layout layout) {
    profile().writeInt(kViewSection, "SplPos", static_cast<int>(layout));
    CUserInterface::current().message("この設定は次回起動時から有効です", MessageIcon::Information);
}

void CMainFrame::activateNextPane(int step) {
    QList<CQuilloryView*> panes{m_categoryView, m_fileListView};
    if (isPreviewShown()) {
        panes.append(m_textView);
    }
    const int current = std::max<qsizetype>(0, panes.indexOf(activeView()));
    const int next = static_cast<int>((current + step + panes.size()) % panes.size());
    setActiveView(panes[next]);
}

bool CMainFrame::showHelp(int context) {
    if (!QFileInfo::exists(m_helpFilePath)) {
        CUserInterface::current().message(
            QStringLiteral("ヘルプファイルがありません：%1").arg(m_helpFilePath).toStdString(),
            MessageIcon::None);
        return false;
    }
    if (!m_helpWindow) {
        m_helpWindow = new CHelpWindow(QFileInfo(m_helpFilePath).absolutePath(), this);
    }
    m_helpWindow->showContext(context);
    return true;
}

void CMainFrame::setStatusPath(const QString& text) {
    m_statusPath->setText(text.isEmpty() ? QStringLiteral("レディ") : text);
}

void CMainFrame::setStatusCount(const QString& text) {
    m_statusCount->setText(text);
}

void CMainFrame::updateTitle() {
    setWindowTitle(m_document.title() + QStringLiteral(" - Quillory"));
}

void CMainFrame::saveWindowState() {
    if (m_stateSaved || !m_outer) {
        return;
    }
    m_stateSaved = true;
    if (m_paneSizesApplied) {
        const int categorySize = m_outer->sizes().value(0);
        profile().writeInt(kViewSection, m_layout == Layout::CategoriesAbove ? "Row" : "Colum", categorySize);
        if (isPreviewShown()) {
            profile().writeInt(kViewSection, "PreviewRow", m_inner->rowHeight(0));
        }
    }
    savePlacement();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    m_textView->aboutToClose();
    if (!m_document.saveModified()) {
        event->ignore();
        return;
    }
    saveWindowState();
    event->accept();
}

bool CMainFrame::onCommand(int id) {
    switch (id) {
        case cmd::kLayoutCategoriesBeside:
            setLayoutSetting(Layout::CategoriesBeside);
            return true;
        case cmd::kLayoutCategoriesAbove:
            setLayoutSetting(Layout::CategoriesAbove);
            return true;
        case cmd::kShowPreview:
            togglePreview();
            return true;
        case cmd::kBrowserMode:
            return m_textView->onCommand(id);
        case cmd::kMoveDownAfterEdit: {
            MyCug& grid = m_fileListView->grid();
            grid.setMoveDirection(grid.moveDirection() == MyCug::MoveDirection::Down ? MyCug::MoveDirection::Right
                                                                                     : MyCug::MoveDirection::Down);
            return true;
        }
        case cmd::kPreviewMaximise:
            setItemListHeight(0);
            return true;
        case cmd::kPreviewMinimise:
            setItemListHeight(clientHeight());
            return true;
        case cmd::kPreviewHalf:
            setItemListHeight(clientHeight() / 2);
            return true;
        case cmd::kViewToolBar:
            if (auto* bar = findChild<QToolBar*>("ToolBar")) {
                bar->setVisible(bar->isHidden());
            }
            return true;
        case cmd::kViewStatusBar:
            statusBar()->setVisible(statusBar()->isHidden());
            return true;
        case cmd::kNextPane:
            activateNextPane(1);
            return true;
        case cmd::kPrevPane:
            activateNextPane(-1);
            return true;
        case cmd::kHelp:
        case cmd::kHelpIndex:
        case cmd::kDefaultHelp:
        case cmd::kHelpUsing:
            showHelp(0);
            return true;
        case cmd::kHelpKeywordSearch:
            if (showHelp(0)) {
                m_helpWindow->startKeywordSearch();
            }
            return true;
        case cmd::kAppExit:
            close();
            return true;
        default:
            return m_options && m_options->onCommand(id);
    }
}

bool CMainFrame::onUpdateCommand(int id, CCommandState& state) {
    switch (id) {
        case cmd::kLayoutCategoriesBeside:
            state.checked = m_layout == Layout::CategoriesBeside;
            return true;
        case cmd::kLayoutCategoriesAbove:
            state.checked = m_layout == Layout::CategoriesAbove;
            return true;
        case cmd::kShowPreview:
            state.checked = isPreviewShown();
            return true;
        case cmd::kBrowserMode: {
            CCommandState preview;
            const bool handled = m_textView->onUpdateCommand(id, preview);
            state.enabled = isPreviewShown() && handled;
            state.checked = handled && preview.checked;
            return true;
        }
        case cmd::kMoveDownAfterEdit:
            state.checked = m_fileListView->grid().moveDirection() == MyCug::MoveDirection::Down;
            return true;
        case cmd::kPreviewMaximise:
        case cmd::kPreviewMinimise:
        case cmd::kPreviewHalf:
            state.enabled = isPreviewShown();
            return true;
        case cmd::kViewToolBar:
            if (auto* bar = findChild<QToolBar*>("ToolBar")) {
                state.checked = !bar->isHidden();
            }
            return true;
        case cmd::kViewStatusBar:
            state.checked = !statusBar()->isHidden();
            return true;
        case cmd::kNextPane:
        case cmd::kPrevPane:
        case cmd::kHelp:
        case cmd::kHelpIndex:
        case cmd::kDefaultHelp:
        case cmd::kHelpUsing:
        case cmd::kHelpKeywordSearch:
        case cmd::kAppExit:
            return true;
        default:
            return m_options && m_options->onUpdateCommand(id, state);
    }
}
