#include "views/CCategoryView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QHeaderView>
#include <QItemSelection>
#include <QMenu>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <unordered_set>

#include "catalog/CFileCatalog.h"
#include "gui/CCommandActions.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "platform/CProfile.h"
#include "views/CCategoryListModel.h"
#include "views/CCategoryPaneCommands.h"
#include "views/CItemTextWidth.h"
#include "views/CListCtrlBox.h"
#include "views/CValueSearch.h"

namespace {

constexpr const char* kFontSection = "CFont";
// An automatic list grows to show values of up to this many full-width characters; longer ones are cut short.
constexpr int kWidestValueCharacters = 12;

// The entries of the pane's context menu; 0 stands for a separator.
constexpr std::array kContextMenu{cmd::kEditCategory,       cmd::kDeleteCategory, 0,
                                  cmd::kMoveCategoryUp,     cmd::kMoveCategoryDown, 0,
                                  cmd::kRenameValue,        cmd::kValueSearch,    cmd::kValueSearchNext,
                                  cmd::kValueSearchPrevious, 0,                   cmd::kEqualValueListWidths,
                                  0,                        cmd::kCategorySettings, cmd::kAddCategory};

QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CCategoryView::CCategoryView(CQuilloryDoc& document, QWidget* parent) : CQuilloryView(document, parent) {
    setObjectName("CategoryView");
    setAccessibleName(QStringLiteral("カテゴリ"));
    setMouseTracking(true);
    m_scrollBar = new QScrollBar(Qt::Horizontal, this);
    m_scrollBar->setObjectName("CategoryScrollBar");
    m_scrollBar->setAccessibleName(QStringLiteral("カテゴリの横スクロール"));
    m_scrollBar->hide();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this] { placeLists(); });
    loadFont();
    m_categoryCommands = std::make_unique<CCategoryPaneCommands>(*this);
    m_valueSearch = std::make_unique<CValueSearch>(*this);
}

CCategoryView::~CCategoryView() = default;

bool CCategoryView::isForwardedItemCommand(int id) {
    static constexpr std::array kItemCommands{
        cmd::kEditItem,           cmd::kRemoveItem,     cmd::kOpenFile,    cmd::kMultiItemAttributes,
        cmd::kFileProperties,     cmd::kShowFileFolder, cmd::kItemSearch,  cmd::kItemSearchNext,
        cmd::kItemSearchPrevious, cmd::kEditSelectAll,  cmd::kDeselectAll, cmd::kAddFromBrowser,
        cmd::kAddFromFavourites};
    return std::find(kItemCommands.begin(), kItemCommands.end(), id) != kItemCommands.end();
}

// ---- hints ----

void CCategoryView::onInitialUpdate() {
    m_notify = false;
    CQuilloryView::onUpdate(nullptr, hint::kRepaint);
    rebuildLists();
}

void CCategoryView::onUpdate(CQuilloryView* sender, int hintValue) {
    if (hint::has(hintValue, hint::kCategories) || !listsMatchCatalog()) {
        rebuildLists();
    } else if (hint::has(hintValue, hint::kValueLists)) {
        const bool notify = m_notify;
        m_notify = false;
        for (int i = 0; i < listCount(); ++i) {
            fillList(i, 0, true);
        }
        layoutLists();
        m_notify = notify;
    }
    CQuilloryView::onUpdate(sender, hintValue);
}

std::vector<int> CCategoryView::shownCategories() const {
    std::vector<int> shown;
    const CFileCatalog& catalog = document().catalog();
    for (int i = 0; i < catalog.categoryCount(); ++i) {
        if (catalog.category(i).isShownInPane()) {
            shown.push_back(i);
        }
    }
    return shown;
}

bool CCategoryView::listsMatchCatalog() const {
    return m_categories == shownCategories();
}

// ---- building and filling the lists ----

void CCategoryView::rebuildLists() {
    m_notify = false;
    for (CListCtrlBox* list : m_lists) {
        list->setParent(nullptr);  // gone from the pane at once; deleted once its signals are done
        list->deleteLater();
    }
    m_lists.clear();
    m_models.clear();

    const CFileCatalog& catalog = document().catalog();
    m_categories = shownCategories();
    const std::size_t count = m_categories.size();
    std::vector<int> requested(count, CCategory::kAutomaticWidth);
    for (std::size_t i = 0; i < count; ++i) {
        const int width = catalog.category(m_categories[i]).listWidth();
        // A width a file cannot mean (0, negative) counts as automatic.
        requested[i] = width > 0 ? width : CCategory::kAutomaticWidth;

        auto* list = new CListCtrlBox(true, this);
        list->setObjectName(QStringLiteral("CategoryList%1").arg(i));
        auto* model = new CCategoryListModel(catalog, m_categories[i], list);
        list->setModel(model);
        list->setFont(m_font);
        list->setAccessibleName(toQString(catalog.categoryName(m_categories[i])));
        const int position = static_cast<int>(i);
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, position] { onSelectionChanged(position); });
        list->installEventFilter(this);
        m_lists.push_back(list);
        m_models.push_back(model);
    }
    // Tab goes from each list to the next one, left to right; a screen reader meets the lists, then the
    // scroll bar under them.
    for (std::size_t i = 1; i < m_lists.size(); ++i) {
        QWidget::setTabOrder(m_lists[i - 1], m_lists[i]);
    }
    m_scrollBar->raise();
    m_layout.reset(std::move(requested));
    layoutLists();
    for (int i = 0; i < listCount(); ++i) {
        fillList(i, 0, false);
        m_lists[static_cast<std::size_t>(i)]->show();
    }
    // Now that the lists know their values, they take the widths those need.
    layoutLists();
    restoreSelections();
    m_notify = true;
}

void CCategoryView::fillList(int position, int row, bool keep) {
    CListCtrlBox* list = m_lists[static_cast<std::size_t>(position)];
    CCategoryListModel* model = m_models[static_cast<std::size_t>(position)];
    std::optional<std::string> kept;
    if (keep) {
        const std::vector<int> selected = list->selectedRows();
        if (!selected.empty() && selected.front() != 0) {
            if (const std::string* text = model->value(selected.front())) {
                kept = *text;
            }
        }
        row = 0;
    }
    const int top = list->topRow();
    list->setUpdatesEnabled(false);
    model->refill();
    if (kept) {
        row = std::max(model->rowOfValue(*kept), 0);
    }
    measureList(position);
    list->scrollRowToTop(top);
    row = std::clamp(row, 0, model->rowCount() - 1);
    list->setUpdatesEnabled(true);
    list->selectRow(row);
}

void CCategoryView::restoreSelections() {
    const bool notify = m_notify;
    m_notify = false;
    const CFileCatalog& catalog = document().catalog();
    for (int i = 0; i < listCount(); ++i) {
        CListCtrlBox* list = m_lists[static_cast<std::size_t>(i)];
        CCategoryListModel* model = m_models[static_cast<std::size_t>(i)];
        const int category = m_categories[static_cast<std::size_t>(i)];
        const std::vector<std::string>& selection = catalog.selectionOf(category);
        if (selection.empty()) {
            list->clearSelectedRows();
            list->selectRow(0);
            continue;
        }
        const std::unordered_set<std::string> wanted(selection.begin(), selection.end());
        QItemSelection rows;
        int first = -1;
        for (int row = 1; row < model->rowCount(); ++row) {
            if (wanted.count(*model->value(row)) != 0) {
                rows.select(model->index(row, 0), model->index(row, 0));
                first = first < 0 ? row : first;
            }
        }
        list->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
        if (first >= 0) {
            list->selectionModel()->setCurrentIndex(model->index(first, 0), QItemSelectionModel::NoUpdate);
            list->scrollTo(model->index(first, 0));
        }
    }
    m_notify = notify;
}

// ---- the user's selection ----

void CCategoryView::onSelectionChanged(int position) {
    if (!m_notify || position >= listCount() || m_lists[static_cast<std::size_t>(position)]->selectedRows().empty()) {
        return;
    }
    if (!listsMatchCatalog()) {
        rebuildLists();
        return;
    }
    storeSelections();
    // Only the selections changed: the items' sizes and dates need no fresh look at the disk.
    document().catalog().recomputeWithoutRefresh();
    document().updateAllViews(this, hint::kSortOrFilterChanged);
    m_notify = false;
    for (int i = position + 1; i < listCount(); ++i) {
        fillList(i, 0, true);
    }
    // Only the lists right of this one may change width, so this one stays under the pointer.
    layoutLists();
    m_notify = true;
    m_lists[static_cast<std::size_t>(position)]->setFocus(Qt::OtherFocusReason);
}

void CCategoryView::storeSelections() {
    CFileCatalog& catalog = document().catalog();
    for (int i = 0; i < listCount(); ++i) {
        std::vector<std::string> values;
        for (const int row : m_lists[static_cast<std::size_t>(i)]->selectedRows()) {
            if (const std::string* text = m_models[static_cast<std::size_t>(i)]->value(row)) {
                values.push_back(*text);
            }
        }
        catalog.setSelection(m_categories[static_cast<std::size_t>(i)], std::move(values));
    }
}

int CCategoryView::focusedList() const {
    for (int i = 0; i < listCount(); ++i) {
        if (m_lists[static_cast<std::size_t>(i)]->hasFocus()) {
            return i;
        }
    }
    return -1;
}

// ---- layout and widths ----

void CCategoryView::resizeEvent(QResizeEvent* event) {
    CQuilloryView::resizeEvent(event);
    layoutLists();
    // Whether a list needs its vertical scroll bar depends on its height.
    if (event->oldSize().height() != height()) {
        bool changed = false;
        for (int i = 0; i < listCount(); ++i) {
            changed |= measureList(i);
        }
        if (changed) {
            layoutLists();
        }
    }
    storeWidths();
}

bool CCategoryView::measureList(int position) {
    CListCtrlBox* list = m_lists[static_cast<std::size_t>(position)];
    const CCategoryListModel* model = m_models[static_cast<std::size_t>(position)];
    CItemTextWidth texts(list->font());
    const QFontMetrics metrics(list->font());
    int widest = metrics.horizontalAdvance(model->index(0, 0).data().toString());
    const int longest = kWidestValueCharacters * metrics.horizontalAdvance(QChar(0x3042));  // "あ"
    for (const std::string& value : model->values()) {
        if (widest >= longest) {
            break;
        }
        widest = std::max(widest, texts.width(value));
    }
    return m_layout.setReadable(position, list->widthToShow(std::min(widest, longest)));
}

void CCategoryView::layoutLists() {
    const int paneWidth = width();
    const int contentWidth = m_layout.place(paneWidth);
    const bool scrolls = contentWidth > paneWidth;
    {
        const QSignalBlocker quiet(m_scrollBar);
        m_scrollBar->setRange(0, scrolls ? contentWidth - paneWidth : 0);
        m_scrollBar->setPageStep(paneWidth);
        m_scrollBar->setSingleStep(std::max(fontMetrics().averageCharWidth() * 4, 1));
    }
    if (scrolls) {
        const int barHeight = m_scrollBar->sizeHint().height();
        m_scrollBar->setGeometry(0, height() - barHeight, paneWidth, barHeight);
    }
    m_scrollBar->setVisible(scrolls);
    placeLists();
}

void CCategoryView::placeLists() {
    const int offset = m_scrollBar->isVisibleTo(this) ? m_scrollBar->value() : 0;
    const int listHeight = std::max(height() - (m_scrollBar->isVisibleTo(this) ? m_scrollBar->height() : 0), 1);
    for (int i = 0; i < std::min(listCount(), m_layout.count()); ++i) {
        m_lists[static_cast<std::size_t>(i)]->setGeometry(m_layout.left(i) - offset, 0, m_layout.width(i), listHeight);
    }
}

// Scrolls the list into view so that the pane starts at a list's left edge: no list is ever shown cut in
// half on the left, whichever list the user clicked.
void CCategoryView::scrollToList(int position) {
    if (!m_scrollBar->isVisibleTo(this) || position < 0 || position >= m_layout.count()) {
        return;
    }
    const int left = m_layout.left(position);
    const int right = left + m_layout.width(position);
    int offset = m_scrollBar->value();
    if (left < offset) {
        offset = left;
    } else if (right - offset > width()) {
        // The leftmost list edge from which the whole list fits; a list wider than the pane starts it.
        offset = left;
        for (int first = 0; first < position; ++first) {
            if (right - m_layout.left(first) <= width()) {
                offset = m_layout.left(first);
                break;
            }
        }
    }
    m_scrollBar->setValue(offset);
}

int CCategoryView::readableWidth() const {
    int total = 0;
    for (int i = 0; i < std::min(listCount(), m_layout.count()); ++i) {
        total += m_layout.readable(i) + (i > 0 ? kGap : 0);
    }
    // Lists narrower than their share take the share, so the lists may still need more than the sum: widen
    // until they fit (a few rounds at most, each only grows).
    CCategoryLayout trial = m_layout;
    for (int round = 0; round < 8; ++round) {
        const int needed = trial.place(total);
        if (needed <= total) {
            break;
        }
        total = needed;
    }
    return total;
}

bool CCategoryView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const auto found = std::find(m_lists.begin(), m_lists.end(), watched);
        if (found != m_lists.end()) {
            m_lastFocusedList = static_cast<int>(found - m_lists.begin());
            scrollToList(m_lastFocusedList);
        }
    }
    return CQuilloryView::eventFilter(watched, event);
}

// The pane passes the focus on to the list that had it last (the first at the start): the keys then move
// through a list at once, and the category commands know which list they act on.
void CCategoryView::focusInEvent(QFocusEvent* event) {
    CQuilloryView::focusInEvent(event);
    if (listCount() > 0) {
        list(std::clamp(m_lastFocusedList, 0, listCount() - 1))->setFocus(event->reason());
    }
}

void CCategoryView::storeWidths() {
    if (!listsMatchCatalog()) {
        return;
    }
    CFileCatalog& catalog = document().catalog();
    for (int i = 0; i < listCount(); ++i) {
        catalog.category(m_categories[static_cast<std::size_t>(i)]).setListWidth(m_layout.requested(i));
    }
}

int CCategoryView::gapAt(int x) const {
    for (int i = 0; i + 1 < listCount(); ++i) {
        const int right = m_lists[static_cast<std::size_t>(i)]->geometry().right() + 1;
        if (x >= right && x <= right + kGap) {
            return i;
        }
    }
    return -1;
}

void CCategoryView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) {
        if (gapAt(event->position().toPoint().x()) >= 0) {
            setCursor(Qt::SizeHorCursor);
        } else {
            unsetCursor();
        }
    }
    CQuilloryView::mouseMoveEvent(event);
}

void CCategoryView::mousePressEvent(QMouseEvent* event) {
    const int gap = event->button() == Qt::LeftButton ? gapAt(event->position().toPoint().x()) : -1;
    if (gap < 0) {
        CQuilloryView::mousePressEvent(event);
        return;
    }
    // Qt keeps sending the pointer to the pane until the button is released.
    m_dragging = true;
    m_dragGap = gap;
    setCursor(Qt::SizeHorCursor);
}

void CCategoryView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging || event->button() != Qt::LeftButton) {
        CQuilloryView::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    unsetCursor();
    const int gap = m_dragGap;
    if (gap < 0 || gap + 1 >= listCount()) {
        return;
    }
    // The left list's right edge goes to the pointer - 1, the right list's left edge to the pointer + 1.
    const int x = event->position().toPoint().x();
    const QRect left = m_lists[static_cast<std::size_t>(gap)]->geometry();
    const QRect right = m_lists[static_cast<std::size_t>(gap + 1)]->geometry();
    const int leftWidth = std::max(x - 1, left.left() + 1) - left.left();
    const int rightWidth = right.right() + 1 - std::min(x + 1, right.right());
    m_layout.setRequested(gap, leftWidth);
    if (gap + 1 != listCount() - 1) {
        m_layout.setRequested(gap + 1, rightWidth);  // the last list fills the rest
    }
    layoutLists();
    storeWidths();
}

// ---- commands ----

bool CCategoryView::onCommand(int id) {
    if (isForwardedItemCommand(id)) {
        if (CQuilloryView* list = document().commandView(CQuilloryDoc::PassedCommands::Item)) {
            return list->onCommand(id);
        }
        return false;
    }
    switch (id) {
        case cmd::kEqualValueListWidths:
            equalWidths();
            return true;
        case cmd::kFontSettings:
            chooseFont();
            return true;
        default:
            return m_categoryCommands->onCommand(id) || m_valueSearch->onCommand(id);
    }
}

bool CCategoryView::onUpdateCommand(int id, CCommandState& state) {
    if (isForwardedItemCommand(id)) {
        if (CQuilloryView* list = document().commandView(CQuilloryDoc::PassedCommands::Item)) {
            return list->onUpdateCommand(id, state);
        }
        return false;
    }
    switch (id) {
        case cmd::kEqualValueListWidths: {
            // Greyed while every list already takes its equal share.
            const CFileCatalog& catalog = document().catalog();
            state.enabled = false;
            for (int i = 0; i < catalog.categoryCount(); ++i) {
                state.enabled |= catalog.category(i).listWidth() != CCategory::kAutomaticWidth;
            }
            return true;
        }
        case cmd::kFontSettings:
            state.enabled = true;
            return true;
        default:
            return m_categoryCommands->onUpdateCommand(id, state) || m_valueSearch->onUpdateCommand(id, state);
    }
}

void CCategoryView::equalWidths() {
    CFileCatalog& catalog = document().catalog();
    for (int i = 0; i < catalog.categoryCount(); ++i) {
        catalog.category(i).setListWidth(CCategory::kAutomaticWidth);
    }
    rebuildLists();
}

// ---- font and context menu ----

void CCategoryView::loadFont() {
    const CProfile& profile = document().profile();
    m_font = QFont(QString::fromStdString(profile.readString(kFontSection, "FaceName", "ＭＳ Ｐゴシック")));
    m_font.setPixelSize(std::max(std::abs(profile.readInt(kFontSection, "Size", 16)), 1));
    m_font.setWeight(static_cast<QFont::Weight>(std::clamp(profile.readInt(kFontSection, "Weight", 400), 1, 1000)));
    m_font.setItalic(profile.readInt(kFontSection, "Italic", 0) != 0);
    m_font.setUnderline(profile.readInt(kFontSection, "Underline", 0) != 0);
}

void CCategoryView::chooseFont() {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, m_font, window());
    if (!chosen) {
        return;
    }
    m_font = font;
    const int pixels = font.pixelSize() > 0 ? font.pixelSize()
                                            : qRound(font.pointSizeF() * logicalDpiY() / 72.0);
    m_font.setPixelSize(std::max(pixels, 1));
    for (CListCtrlBox* list : m_lists) {
        list->setFont(m_font);
    }
    CProfile& profile = document().profile();
    profile.writeString(kFontSection, "FaceName", font.family().toStdString());
    profile.writeInt(kFontSection, "Size", -std::max(pixels, 1));  // negative: the characters' height
    profile.writeInt(kFontSection, "Weight", font.weight());
    profile.writeInt(kFontSection, "Italic", font.italic() ? 1 : 0);
    profile.writeInt(kFontSection, "Underline", font.underline() ? 1 : 0);
    profile.writeInt(kFontSection, "CharSet", 128);
    document().updateAllViews(nullptr, hint::kRepaint);
}

void CCategoryView::contextMenuEvent(QContextMenuEvent* event) {
    // The commands' actions are the main window's, so the menu's entries run through the same routing and
    // show the same enabled states as the menu bar's.
    auto* actions = window()->findChild<CCommandActions*>();
    if (!actions) {
        return;
    }
    QMenu menu(window());
    for (const int id : kContextMenu) {
        if (id == 0) {
            menu.addSeparator();
        } else if (QAction* action = actions->find(id)) {
            menu.addAction(action);
        }
    }
    menu.exec(event->globalPos());
}
