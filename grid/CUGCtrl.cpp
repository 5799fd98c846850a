#include "grid/CUGCtrl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QSet>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

#include "grid/CUGArrowType.h"
#include "grid/CUGCheckBoxType.h"
#include "grid/CUGDelegate.h"
#include "grid/CUGDropListType.h"
#include "grid/CUGEdit.h"
#include "grid/CUGHeading.h"
#include "grid/CUGLockedView.h"
#include "grid/CUGModel.h"
#include "grid/CUGTextMeasure.h"

namespace {

// Qt's own size-to-contents paths (a heading fitting its sections) look at the rows on screen only; the
// grid fits columns itself, over as many rows as it is asked to, in fitColumns.
constexpr int kResizePrecision = 0;

}  // namespace

CUGCtrl::CUGCtrl(QWidget* parent)
    : QTableView(parent),
      m_normalType(std::make_unique<CUGCellType>()),
      m_checkBoxType(std::make_unique<CUGCheckBoxType>()),
      m_dropList(std::make_unique<CUGDropListType>()),
      m_arrowType(std::make_unique<CUGArrowType>()) {
    m_model = new CUGModel(*this);
    m_delegate = new CUGDelegate(*this);
    m_topHeading = new CUGHeading(Qt::Horizontal, this);
    m_sideHeading = new CUGHeading(Qt::Vertical, this);
    setHorizontalHeader(m_topHeading);
    setVerticalHeader(m_sideHeading);
    setModel(m_model);
    setItemDelegate(m_delegate);

    // Every row has one height, so nothing is measured per row.
    m_sideHeading->setSectionResizeMode(QHeaderView::Fixed);
    m_sideHeading->setMinimumSectionSize(1);
    m_sideHeading->setDefaultSectionSize(fontMetrics().height() + 4);
    m_sideHeading->setResizeContentsPrecision(kResizePrecision);
    m_topHeading->setResizeContentsPrecision(kResizePrecision);
    m_topHeading->setStretchLastSection(false);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTabKeyNavigation(true);
    setCornerButtonEnabled(false);
    setWordWrap(false);

    // A double click on a column's edge fits it over all rows, as a user's resize.
    disconnect(m_topHeading, SIGNAL(sectionHandleDoubleClicked(int)), this, SLOT(resizeColumnToContents(int)));
    connect(m_topHeading, &QHeaderView::sectionHandleDoubleClicked, this, &CUGCtrl::fitOnHandle);
    connect(m_topHeading, &QHeaderView::sectionResized, this, &CUGCtrl::topHeadingResized);
    connect(m_topHeading, &QHeaderView::sectionDoubleClicked, this, [this](int col) { onTH_DClicked(col); });
    connect(m_sideHeading, &CUGHeading::sectionPressedOrReleased, this,
            [this](int row, bool down) { onSH_LClicked(row, down); });
    connect(m_topHeading, &CUGHeading::menuRequested, this,
            [this](int col, const QPoint& pos) { showMenu(col, -1, col >= 0 ? Area::TopHeading : Area::Other, pos); });
    connect(m_sideHeading, &CUGHeading::menuRequested, this,
            [this](int row, const QPoint& pos) { showMenu(-1, row, row >= 0 ? Area::SideHeading : Area::Other, pos); });
}

CUGCtrl::~CUGCtrl() {
    // An edit box still open goes without notifications: the derived grid is gone already.
    m_finishing = true;
    delete m_editor;
}

void CUGCtrl::createGrid(const QRect& rect, QWidget* parent, int id) {
    setParent(parent);
    setGeometry(rect);
    m_id = id;
    onSetup();
    show();
}

void CUGCtrl::setDefFont(const QFont& font) {
    setFont(font);
    updateLockedView();
}

void CUGCtrl::setDefRowHeight(int height) {
    m_sideHeading->setDefaultSectionSize(std::max(1, height));
    updateLockedView();
}

void CUGCtrl::setAccessibleGridName(const QString& name) {
    setAccessibleName(name);
    updateLockedView();
}

void CUGCtrl::setDataSource(const CUGDataSource* source) {
    m_model->setSource(source);
    redrawAll();
}

void CUGCtrl::resetShape(int cols, int rows) {
    if (m_editor) {
        // The edited cell may stand for other data after the reset: the edit ends without taking the text.
        finishEdit(true, 0, 0, false);
    }
    const int oldCol = currentCol();
    const int oldRow = currentRow();
    std::vector<int> widths;
    for (int col = 0; col < m_model->cols(); ++col) {
        widths.push_back(m_topHeading->sectionSize(col));
    }
    m_model->setShape(cols, rows);
    for (int col = 0; col < std::min<int>(cols, static_cast<int>(widths.size())); ++col) {
        m_topHeading->resizeSection(col, widths[static_cast<size_t>(col)]);
    }
    updateLockedView();
    if (rows > 0 && cols > 0 && oldRow >= 0) {
        const QModelIndex index = m_model->index(std::min(oldRow, rows - 1), std::clamp(oldCol, 0, cols - 1));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    } else if (m_reportedRow != -1) {
        const int old = m_reportedRow;
        m_reportedRow = -1;
        onRowChange(old, -1);
    }
}

void CUGCtrl::setNumberCols(int cols) {
    resetShape(cols, m_model->rows());
}

void CUGCtrl::setNumberRows(int rows) {
    resetShape(m_model->cols(), rows);
}

int CUGCtrl::numberCols() const { return m_model->cols(); }
int CUGCtrl::numberRows() const { return m_model->rows(); }
// An invalid index answers -1 for both.
int CUGCtrl::currentCol() const { return currentIndex().column(); }
int CUGCtrl::currentRow() const { return currentIndex().row(); }

void CUGCtrl::gotoCell(int col, int row) {
    const QModelIndex index = m_model->index(row, col);
    if (!index.isValid()) {
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_blockAnchorCol = col;
    m_blockAnchorRow = row;
    scrollTo(index);
}

void CUGCtrl::quickSetText(int col, int row, const QString& text) {
    m_model->setText(col, row, text);
}

QString CUGCtrl::quickGetText(int col, int row) const {
    return m_model->text(col, row);
}

void CUGCtrl::quickSetBackColor(int col, int row, const QColor& colour) {
    m_model->setBackColor(col, row, colour);
}

CUGCell CUGCtrl::getCell(int col, int row) const {
    return m_model->cell(col, row);
}

void CUGCtrl::setCell(int col, int row, const CUGCell& cell) {
    m_model->setCell(col, row, cell);
}

void CUGCtrl::setColWidth(int col, int width) {
    if (col >= 0 && col < m_model->cols()) {
        m_topHeading->resizeSection(col, std::max(0, width));
    }
}

int CUGCtrl::colWidth(int col) const {
    return m_topHeading->sectionSize(col);
}

void CUGCtrl::fitColumns(int firstCol, int lastCol, int rowsToLook) {
    CUGTextMeasure cells(font());
    const QFontMetrics headingMetrics(m_topHeading->font());
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
    const int headingMargin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, m_topHeading) + 4;
    int extra[4];
    for (CUGCellKind kind : {CUGCellKind::Normal, CUGCellKind::DropList, CUGCellKind::CheckBox, CUGCellKind::Arrow}) {
        extra[static_cast<int>(kind)] = cellTypeObject(kind).extraWidth(this) + margin;
    }
    const int rows = std::clamp(rowsToLook, 0, m_model->rows());
    for (int col = std::max(0, firstCol); col <= std::min(lastCol, m_model->cols() - 1); ++col) {
        int widest = headingMetrics.horizontalAdvance(m_model->text(col, -1)) + headingMargin;
        // Columns repeat their texts (values, dates, "0" and "1"): each distinct text is measured once.
        QSet<QString> seen;
        for (int row = 0; row < rows; ++row) {
            QString text = m_model->text(col, row);
            if (seen.contains(text)) {
                continue;
            }
            const CUGCellKind kind = m_model->kind(col, row);
            const int textWidth = kind == CUGCellKind::CheckBox ? 0 : cells.width(text);
            widest = std::max(widest, textWidth + extra[static_cast<int>(kind)]);
            seen.insert(std::move(text));
        }
        setColWidth(col, widest);
    }
}

void CUGCtrl::lockColumns(int count) {
    m_locked = std::max(0, count);
    if (m_locked > 0 && !m_lockedView) {
        m_lockedView = new CUGLockedView(*this);
    }
    updateLockedView();
}

void CUGCtrl::updateLockedView() {
    if (m_lockedView) {
        m_lockedView->sync(std::min(m_locked, m_model->cols()));
    }
}

void CUGCtrl::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    updateLockedView();
}

void CUGCtrl::updateGeometries() {
    QTableView::updateGeometries();
    updateLockedView();
}

void CUGCtrl::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableView::scrollTo(index, hint);
    const int locked = std::min(m_locked, m_model->cols());
    if (!index.isValid() || index.column() < locked || locked == 0) {
        return;
    }
    int lockedWidth = 0;
    for (int col = 0; col < locked; ++col) {
        lockedWidth += columnWidth(col);
    }
    // The table knows nothing of the overlay: a cell it scrolled to may start under it, hiding the first
    // characters of the cell (and of every cell of its column).
    const int hidden = lockedWidth - visualRect(index).left();
    if (hidden > 0) {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(std::max(bar->minimum(), bar->value() - hidden));
    }
}

bool CUGCtrl::startEdit(QChar firstChar) {
    const QModelIndex index = currentIndex();
    if (m_editor || !index.isValid() || !cellTypeObject(m_model->kind(index.column(), index.row())).canEdit()) {
        return false;
    }
    if (!onEditStart(index.column(), index.row())) {
        return false;
    }
    scrollTo(index);
    QAbstractItemView::edit(index, QAbstractItemView::AllEditTriggers, nullptr);
    m_editor = qobject_cast<CUGEdit*>(indexWidget(index));
    if (!m_editor) {
        return false;
    }
    m_editCol = index.column();
    m_editRow = index.row();
    if (!firstChar.isNull()) {
        m_editor->setText(QString(firstChar));
    }
    m_editor->setFocus(Qt::OtherFocusReason);
    return true;
}

bool CUGCtrl::isEditOpen() const {
    return m_editor != nullptr;
}

CUGEdit* CUGCtrl::editWindow() const {
    return m_editor;
}

bool CUGCtrl::finishEdit(bool cancelled, int colStep, int rowStep, bool goOn) {
    if (!m_editor || m_finishing) {
        return true;
    }
    const int col = m_editCol;
    const int row = m_editRow;
    {
        QScopedValueRollback<bool> finishing(m_finishing, true);
        const QString text = m_editor->text();
        if (!onEditFinish(col, row, m_editor, text, cancelled)) {
            // The edit stays open; it keeps the focus unless the focus went to another widget.
            if (m_editor && (hasFocus() || m_editor->hasFocus())) {
                m_editor->setFocus(Qt::OtherFocusReason);
            }
            return false;
        }
        if (!cancelled && col < m_model->cols() && row < m_model->rows() && text != m_model->text(col, row)) {
            m_model->setText(col, row, text);
        }
        CUGEdit* editor = m_editor;
        m_editor = nullptr;
        if (editor) {
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
        setFocus(Qt::OtherFocusReason);
        redrawCell(col, row);
    }
    if (cancelled || !goOn) {
        return true;
    }
    int nextCol = col + colStep;
    int nextRow = row + rowStep;
    if (onEditContinue(col, row, &nextCol, &nextRow) && nextCol >= 0 && nextCol < m_model->cols() &&
        nextRow >= 0 && nextRow < m_model->rows() && (nextCol != col || nextRow != row)) {
        gotoCell(nextCol, nextRow);
        startEdit();
    }
    return true;
}

void CUGCtrl::selectRange(int startCol, int startRow, int endCol, int endRow) {
    const QModelIndex first = m_model->index(std::min(startRow, endRow), std::min(startCol, endCol));
    const QModelIndex last = m_model->index(std::max(startRow, endRow), std::max(startCol, endCol));
    if (first.isValid() && last.isValid()) {
        selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::Select);
    }
}

void CUGCtrl::extendBlock(int col, int row) {
    if (m_blockAnchorRow < 0 || m_blockAnchorRow >= m_model->rows() || m_blockAnchorCol >= m_model->cols()) {
        m_blockAnchorCol = std::max(0, currentCol());
        m_blockAnchorRow = std::max(0, currentRow());
    }
    const QModelIndex first = m_model->index(std::min(m_blockAnchorRow, row), std::min(m_blockAnchorCol, col));
    const QModelIndex last = m_model->index(std::max(m_blockAnchorRow, row), std::max(m_blockAnchorCol, col));
    if (first.isValid() && last.isValid()) {
        selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
    }
}

void CUGCtrl::clearSelections() {
    selectionModel()->clearSelection();
}

bool CUGCtrl::isSelected(int col, int row) const {
    return selectionModel()->isSelected(m_model->index(row, col));
}

void CUGCtrl::redrawAll() {
    m_model->cellsChanged(0, 0, m_model->cols() - 1, m_model->rows() - 1);
    viewport()->update();
    m_topHeading->viewport()->update();
    m_sideHeading->viewport()->update();
}

void CUGCtrl::redrawRow(int row) {
    m_model->cellsChanged(0, row, m_model->cols() - 1, row);
    if (row >= 0 && row < m_model->rows()) {
        Q_EMIT m_model->headerDataChanged(Qt::Vertical, row, row);
    }
}

void CUGCtrl::redrawCell(int col, int row) {
    if (row < 0 || col < 0) {
        const int section = row < 0 ? col : row;
        if (section >= 0) {
            Q_EMIT m_model->headerDataChanged(row < 0 ? Qt::Horizontal : Qt::Vertical, section, section);
        }
        return;
    }
    m_model->cellsChanged(col, row, col, row);
}

void CUGCtrl::enableUpdate(bool enable) {
    m_suspended += enable ? -1 : 1;
    m_suspended = std::max(0, m_suspended);
    setUpdatesEnabled(m_suspended == 0);
    if (m_suspended == 0) {
        redrawAll();
    }
}

void CUGCtrl::emptyMenu() {
    m_menu.clear();
}

void CUGCtrl::addMenuItem(int id, const QString& text) {
    m_menu.add(id, text);
}

QMenu* CUGCtrl::popupMenu() const {
    return m_menu.shown();
}

void CUGCtrl::showMenu(int col, int row, Area area, const QPoint& globalPos) {
    if (onMenuStart(col, row, area) && !m_menu.isEmpty()) {
        m_menu.popup(this, globalPos, [this, col, row, area](int id) { onMenuCommand(col, row, area, id); });
    }
}

void CUGCtrl::setSideHeadingWidth(int width) {
    m_sideHeading->setFixedWidth(width);
    // The table lays out its margins only when its model or sections change: without this the cells keep
    // the old heading's width and the wider heading covers them.
    updateGeometries();
}

void CUGCtrl::setTopHeadingHeight(int height) {
    m_topHeading->setFixedHeight(height);
    updateLockedView();
}

int CUGCtrl::onSortCompare(const CUGCell& first, const CUGCell& second, int flags) {
    int result = 0;
    if (first.dataType() == CUGDataType::Number && second.dataType() == CUGDataType::Number) {
        result = first.number() < second.number() ? -1 : (second.number() < first.number() ? 1 : 0);
    } else if (first.text().isEmpty() != second.text().isEmpty()) {
        // Empty cells go last in either direction.
        return first.text().isEmpty() ? 1 : -1;
    } else {
        result = first.text().compare(second.text());
    }
    return (flags & kSortDescending) ? -result : result;
}

void CUGCtrl::sortBy(int col, int flags) {
    m_model->sortRows(col, [this, flags](const CUGCell& first, const CUGCell& second) {
        return onSortCompare(first, second, flags);
    });
}

int CUGCtrl::dataRow(int row) const {
    return m_model->dataRow(row);
}

CUGCellType& CUGCtrl::cellTypeObject(CUGCellKind kind) const {
    switch (kind) {
    case CUGCellKind::CheckBox: return *m_checkBoxType;
    case CUGCellKind::DropList: return *m_dropList;
    case CUGCellKind::Arrow: return *m_arrowType;
    case CUGCellKind::Normal: break;
    }
    return *m_normalType;
}

QRect CUGCtrl::cellRect(int col, int row) const {
    return visualRect(m_model->index(row, col));
}

void CUGCtrl::toggleCheck(int col, int row) {
    const bool checked = !m_model->checked(col, row);
    m_model->setText(col, row, checked ? QStringLiteral("1") : QStringLiteral("0"));
    redrawCell(col, row);
    onCellTypeNotify(CUGCellKind::CheckBox, col, row, CUGCellEvent::CheckBoxSet, checked);
}

void CUGCtrl::dropListChosen(int col, int row, const QString& text) {
    if (col >= m_model->cols() || row >= m_model->rows()) {
        return;
    }
    if (onCellTypeNotify(CUGCellKind::DropList, col, row, CUGCellEvent::DropListSelect, text)) {
        m_model->setText(col, row, text);
        redrawCell(col, row);
    }
    setFocus(Qt::OtherFocusReason);
}

void CUGCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // Moving away finishes the edit; a text the grid rejects is then dropped, as the cell is left.
    if (m_editor && !m_finishing && !finishEdit(false, 0, 0, false)) {
        finishEdit(true, 0, 0, false);
    }
    QTableView::currentChanged(current, previous);
    const int row = current.isValid() ? current.row() : -1;
    if (row != m_reportedRow) {
        const int old = m_reportedRow;
        m_reportedRow = row;
        onRowChange(old, row);
    }
}

void CUGCtrl::cellPressed(const QModelIndex& index, Qt::KeyboardModifiers modifiers, const QRect& cellRect,
                          const QPoint& pos, bool moveCurrent) {
    if (moveCurrent) {
        if (modifiers & Qt::ShiftModifier) {
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            extendBlock(index.column(), index.row());
        } else if (modifiers & Qt::ControlModifier) {
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::Toggle);
        } else {
            gotoCell(index.column(), index.row());
        }
    } else if (!(modifiers & Qt::ShiftModifier)) {
        m_blockAnchorCol = index.column();
        m_blockAnchorRow = index.row();
    }
    onLClicked(index.column(), index.row(), true);
    cellTypeObject(m_model->kind(index.column(), index.row())).leftPressed(*this, index.column(), index.row(),
                                                                           cellRect, pos);
}

void CUGCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && index.isValid()) {
        cellPressed(index, event->modifiers(), visualRect(index), pos, false);
    }
}

void CUGCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && index.isValid()) {
        onLClicked(index.column(), index.row(), false);
    }
}

void CUGCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && index.isValid()) {
        onDClicked(index.column(), index.row());
    }
}

void CUGCtrl::contextMenuEvent(QContextMenuEvent* event) {
    // From the keyboard the menu belongs to the current cell; from the mouse to the cell under it (the
    // event then comes through the viewport, in its coordinates).
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QModelIndex index = keyboard ? currentIndex() : indexAt(event->pos());
    const QPoint pos = keyboard ? viewport()->mapToGlobal(visualRect(index).center()) : event->globalPos();
    showMenu(index.isValid() ? index.column() : -1, index.isValid() ? index.row() : -1,
             index.isValid() ? Area::Cells : Area::Other, pos);
}

void CUGCtrl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const int col = currentCol();
    const int row = currentRow();
    bool processed = false;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(key == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
            QTableView::keyPressEvent(event);
            processed = true;
        }
        break;
    default:
        break;
    }
    if (!processed && col >= 0 && row >= 0) {
        processed = cellTypeObject(m_model->kind(col, row)).keyPressed(*this, col, row, *event);
    }
    onKeyDown(key, processed);
    const QString text = event->text();
    const bool typed = !text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                       (text.at(0).isPrint() || text.at(0) == u'\r' || text.at(0) == u'\t');
    if (typed) {
        onCharDown(text.at(0), processed);
    } else if (!processed && key != Qt::Key_Escape && key != Qt::Key_F2 && key != Qt::Key_Return &&
               key != Qt::Key_Enter) {
        // Shortcuts of the table itself (Ctrl+A selects all cells).
        QTableView::keyPressEvent(event);
    }
    event->accept();
}

void CUGCtrl::onSH_LClicked(int row, bool down) {
    if (!down || row < 0 || row >= m_model->rows() || m_model->cols() == 0) {
        return;
    }
    const Qt::KeyboardModifiers modifiers = QApplication::keyboardModifiers();
    const int col = std::max(0, currentCol());
    selectionModel()->setCurrentIndex(m_model->index(row, col), QItemSelectionModel::NoUpdate);
    if ((modifiers & Qt::ShiftModifier) && !(modifiers & Qt::ControlModifier)) {
        extendBlock(m_model->cols() - 1, row);
        return;
    }
    const QItemSelection whole(m_model->index(row, 0), m_model->index(row, m_model->cols() - 1));
    selectionModel()->select(whole, (modifiers & Qt::ControlModifier) ? QItemSelectionModel::Select
                                                                        : QItemSelectionModel::ClearAndSelect);
    m_blockAnchorCol = 0;
    m_blockAnchorRow = row;
}

void CUGCtrl::onKeyDown(int key, bool processed) {
    if (!processed && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2)) {
        startEdit();
    }
}

void CUGCtrl::onCharDown(QChar character, bool processed) {
    if (!processed && !m_editor && character.isPrint()) {
        startEdit(character);
    }
}

void CUGCtrl::inputMethodEvent(QInputMethodEvent* event) {
    const QString text = event->commitString().isEmpty() ? event->preeditString() : event->commitString();
    if (!m_editor && !text.isEmpty()) {
        onCharDown(text.at(0), false);
        if (m_editor) {
            // The edit box takes the event itself in place of the first character.
            m_editor->clear();
            QApplication::sendEvent(m_editor, event);
        }
    }
    event->accept();
}

void CUGCtrl::topHeadingResized(int col, int /*oldWidth*/, int newWidth) {
    updateLockedView();
    if (m_topHeading->userResizing()) {
        onColSized(col, newWidth);
    }
}

void CUGCtrl::fitOnHandle(int col) {
    fitColumns(col, col, m_model->rows());
    onColSized(col, colWidth(col));
}
