#include "views/CCategoryView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QHeaderView>
#include <QItemSelection>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <unordered_set>

#include "dialogs/CCategoryEditDlg.h"
#include "dialogs/CCategoryValueDlg.h"
#include "gui/CCommandActions.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CFileCatalog.h"
#include "platform/CProfile.h"
#include "platform/CUserInterface.h"
#include "views/CCategoryListModel.h"
#include "views/CListCtrlBox.h"
#include "views/CValueSearch.h"

namespace {

constexpr const char* kFontSection = "CFont";
constexpr const char* kSelectCategory = "カテゴリを選択してください";

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
    loadFont();
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
    m_requestedWidths.assign(count, CCategory::kAutomaticWidth);
    m_actualWidths.assign(count, CCategory::kAutomaticWidth);
    for (std::size_t i = 0; i < count; ++i) {
        const int width = catalog.category(m_categories[i]).listWidth();
        // A width a file cannot mean (0, negative) counts as automatic.
        m_requestedWidths[i] = width > 0 ? width : CCategory::kAutomaticWidth;

        auto* list = new CListCtrlBox(true, this);
        list->setObjectName(QStringLiteral("CategoryList%1").arg(i));
        auto* model = new CCategoryListModel(catalog, m_categories[i], list);
        list->setModel(model);
        list->setFont(m_font);
        list->setAccessibleName(toQString(catalog.categoryName(m_categories[i])));
        const int position = static_cast<int>(i);
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, position] { onSelectionChanged(position); });
        m_lists.push_back(list);
        m_models.push_back(model);
    }
    // Tab goes from each list to the next one, left to right.
    for (std::size_t i = 1; i < m_lists.size(); ++i) {
        QWidget::setTabOrder(m_lists[i - 1], m_lists[i]);
    }
    layoutLists();
    for (int i = 0; i < listCount(); ++i) {
        fillList(i, 0, false);
        m_lists[static_cast<std::size_t>(i)]->show();
    }
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
    storeWidths();
}

void CCategoryView::layoutLists() {
    const int count = listCount();
    if (count == 0) {
        return;
    }
    const int paneWidth = width();
    const int paneHeight = height();
    const int automatic = std::max(paneWidth / count - count + 1, 1);
    int x = 0;
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        int listWidth = m_requestedWidths[at] == CCategory::kAutomaticWidth ? automatic : m_requestedWidths[at];
        if (i == count - 1) {
            listWidth = std::max(paneWidth - x, 1);
        }
        m_actualWidths[at] = listWidth;
        m_lists[at]->setGeometry(x, 0, listWidth, paneHeight);
        x += listWidth + kGap;
    }
}

void CCategoryView::storeWidths() {
    if (!listsMatchCatalog()) {
        return;
    }
    CFileCatalog& catalog = document().catalog();
    for (int i = 0; i < listCount(); ++i) {
        catalog.category(m_categories[static_cast<std::size_t>(i)])
            .setListWidth(m_requestedWidths[static_cast<std::size_t>(i)]);
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
    const int x = event->position().toPoint().x();
    CListCtrlBox* left = m_lists[static_cast<std::size_t>(gap)];
    CListCtrlBox* right = m_lists[static_cast<std::size_t>(gap + 1)];
    const int leftEdge = left->geometry().left();
    const int rightEdge = right->geometry().right() + 1;
    const int leftWidth = std::max(x - 1, leftEdge + 1) - leftEdge;
    const int rightLeftEdge = std::min(x + 1, rightEdge - 1);
    const int rightWidth = rightEdge - rightLeftEdge;
    m_requestedWidths[static_cast<std::size_t>(gap)] = leftWidth;
    m_actualWidths[static_cast<std::size_t>(gap)] = leftWidth;
    m_actualWidths[static_cast<std::size_t>(gap + 1)] = rightWidth;
    if (gap + 1 != listCount() - 1) {
        m_requestedWidths[static_cast<std::size_t>(gap + 1)] = rightWidth;  // the last list fills the rest
    }
    left->setGeometry(leftEdge, 0, leftWidth, height());
    right->setGeometry(rightLeftEdge, 0, rightWidth, height());
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
        case cmd::kEditCategory:
            editCategory();
            return true;
        case cmd::kDeleteCategory:
            deleteCategory();
            return true;
        case cmd::kMoveCategoryUp:
            moveCategory(-1);
            return true;
        case cmd::kMoveCategoryDown:
            moveCategory(1);
            return true;
        case cmd::kRenameValue:
            renameValue();
            return true;
        case cmd::kEqualValueListWidths:
            equalWidths();
            return true;
        case cmd::kFontSettings:
            chooseFont();
            return true;
        default:
            return m_valueSearch->onCommand(id);
    }
}

bool CCategoryView::onUpdateCommand(int id, CCommandState& state) {
    if (isForwardedItemCommand(id)) {
        if (CQuilloryView* list = document().commandView(CQuilloryDoc::PassedCommands::Item)) {
            return list->onUpdateCommand(id, state);
        }
        return false;
    }
    const int focused = focusedList();
    switch (id) {
        case cmd::kMoveCategoryUp:
            state.enabled = focused != 0;
            return true;
        case cmd::kMoveCategoryDown:
            state.enabled = focused >= 0 && focused < listCount() - 1;
            return true;
        case cmd::kEditCategory:
        case cmd::kDeleteCategory:
        case cmd::kRenameValue:
        case cmd::kEqualValueListWidths:
        case cmd::kFontSettings:
            state.enabled = true;
            return true;
        default:
            return m_valueSearch->onUpdateCommand(id, state);
    }
}

void CCategoryView::editCategory() {
    const int focused = focusedList();
    if (focused < 0) {
        CUserInterface::current().message(kSelectCategory, MessageIcon::Warning);
        return;
    }
    CFileCatalog& catalog = document().catalog();
    const int index = m_categories[static_cast<std::size_t>(focused)];
    CCategoryEditDlg dialog(window());
    dialog.setName(toQString(catalog.categoryName(index)));
    dialog.setAlignment(catalog.category(index).alignment());
    if (dialog.exec() != QDialog::Accepted || index >= catalog.categoryCount()) {
        return;
    }
    document().recordUndoPoint();
    CCategory& category = catalog.category(index);
    category.setName(dialog.name().toStdString());
    category.setFlags((category.flags() & ~CCategory::kAlignmentMask) |
                      (static_cast<std::uint32_t>(dialog.alignment()) & CCategory::kAlignmentMask));
    document().setModifiedFlag(true);
    document().updateAllViews(nullptr, hint::kCategories);
}

void CCategoryView::deleteCategory() {
    const int focused = focusedList();
    if (focused < 0) {
        return;
    }
    CFileCatalog& catalog = document().catalog();
    const int index = m_categories[static_cast<std::size_t>(focused)];
    if (!CUserInterface::current().askYesNo(catalog.categoryName(index) + "を削除しますか？")) {
        return;
    }
    document().recordUndoPoint();
    catalog.removeCategory(index);
    document().finishChange(hint::kCategoriesChanged);
    setFocus(Qt::OtherFocusReason);
}

void CCategoryView::moveCategory(int step) {
    const int focused = focusedList();
    const int other = focused + step;
    if (focused < 0 || other < 0 || other >= listCount()) {
        return;
    }
    document().recordUndoPoint();
    document().catalog().exchangeCategories(m_categories[static_cast<std::size_t>(focused)],
                                            m_categories[static_cast<std::size_t>(other)]);
    document().finishChange(hint::kCategoriesChanged);
    if (other < listCount()) {
        m_lists[static_cast<std::size_t>(other)]->setFocus(Qt::OtherFocusReason);
    }
}

void CCategoryView::renameValue() {
    const int focused = focusedList();
    int presetCategory = 0;
    QString presetValue;
    if (focused >= 0) {
        presetCategory = m_categories[static_cast<std::size_t>(focused)];
        const std::vector<int> rows = m_lists[static_cast<std::size_t>(focused)]->selectedRows();
        if (!rows.empty()) {
            if (const std::string* text = m_models[static_cast<std::size_t>(focused)]->value(rows.front())) {
                presetValue = toQString(*text);
            }
        }
    }
    CFileCatalog& catalog = document().catalog();
    CCategoryValueDlg dialog(catalog, presetCategory, presetValue, window());
    if (dialog.exec() != QDialog::Accepted || dialog.category() < 0 ||
        dialog.category() >= catalog.categoryCount()) {
        return;
    }
    document().recordUndoPoint();
    const std::string newValue = dialog.newValue().toStdString();
    catalog.renameValueEverywhere(dialog.category(), dialog.oldValue().toStdString(), newValue);
    // The focused list's category selects the new value before the recompute, so that the displayed items
    // are those of the value the list shows selected.
    const int focusedCategory = focused >= 0 ? m_categories[static_cast<std::size_t>(focused)] : -1;
    if (focusedCategory >= 0) {
        catalog.setSelection(focusedCategory, {newValue});
    }
    document().finishChange(hint::kValuesRenamed);
    if (focused >= 0 && focused < listCount()) {
        restoreSelections();
        m_lists[static_cast<std::size_t>(focused)]->setFocus(Qt::OtherFocusReason);
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
