#include "views/CFileListView.h"

#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QResizeEvent>

#include <algorithm>

#include "catalog/CFileCatalog.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CFileItem.h"
#include "platform/CProfile.h"
#include "views/CItemDropHandler.h"
#include "views/MyCug.h"

namespace {

constexpr const char* kFontSection = "Font";
constexpr const char* kDefaultFace = "ＭＳ Ｐゴシック";
constexpr int kDefaultSize = 16;
constexpr int kNormalWeight = 400;

}  // namespace

CFileListView::CFileListView(CQuilloryDoc& document, QWidget* parent) : CQuilloryView(document, parent) {
    setObjectName("FileListView");
    document.setCommandView(CQuilloryDoc::PassedCommands::Item, this);
    m_grid = new MyCug(document.profile(), this);
    m_grid->setObjectName("ItemGrid");
    m_grid->createGrid(QRect(0, 0, 30, 30), this, kGridId);
    setFocusProxy(m_grid);
    setListFont(readListFont(document.profile()));
    connect(m_grid, &MyCug::statusChanged, this, &CFileListView::statusChanged);
    connect(m_grid, &MyCug::currentItemChanged, this, [this] {
        if (m_ready) {
            Q_EMIT showCurrentItemRequested();
        }
    });
    connect(m_grid, &MyCug::commandRequested, this, &CFileListView::commandRequested);
    connect(&document, &CQuilloryDoc::currentItemRequested, this, &CFileListView::setCurrentItem);

    // The drops are handled by the item commands, which the frame makes for this list.
    m_dropHandler = new CItemDropHandler(this);
    m_dropHandler->watch(this);
    m_dropHandler->watch(m_grid->viewport());
}

CFileListView::~CFileListView() = default;

QFont CFileListView::readListFont(const CProfile& profile) {
    QFont font(QString::fromStdString(profile.readString(kFontSection, "FaceName", kDefaultFace)));
    // The stored size is a font height: negative for the character height in pixels, positive for the
    // cell height (about 8/7 of the character height).
    const int size = profile.readInt(kFontSection, "Size", kDefaultSize);
    font.setPixelSize(std::max(1, size < 0 ? -size : size * 7 / 8));
    const int weight = profile.readInt(kFontSection, "Weight", kNormalWeight);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(profile.readInt(kFontSection, "Italic", 0) != 0);
    font.setUnderline(profile.readInt(kFontSection, "Underline", 0) != 0);
    return font;
}

void CFileListView::writeListFont(CProfile& profile, const QFont& font) {
    profile.writeString(kFontSection, "FaceName", font.family().toStdString());
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    profile.writeInt(kFontSection, "Size", -pixels);
    profile.writeInt(kFontSection, "Weight", font.weight());
    profile.writeInt(kFontSection, "Italic", font.italic() ? 1 : 0);
    profile.writeInt(kFontSection, "Underline", font.underline() ? 1 : 0);
    profile.writeInt(kFontSection, "CharSet", 128);
}

void CFileListView::setListFont(const QFont& font) {
    m_grid->setDefFont(font);
    m_grid->setDefRowHeight(QFontMetrics(font).height() + 2);
}

int CFileListView::currentItemIndex() const {
    const int displayed = std::min(m_grid->numberRows(), document().catalog().displayedCount());
    if (!m_ready || displayed == 0 || m_grid->currentRow() < 0) {
        return -1;
    }
    return std::min(m_grid->currentRow(), displayed - 1);
}

CFileItem* CFileListView::currentItem() const {
    return m_grid->itemAt(currentItemIndex());
}

std::vector<CFileItem*> CFileListView::targets() const {
    std::vector<int> rows;
    m_grid->checkedRows(rows);
    std::vector<CFileItem*> items;
    for (int row : rows) {
        if (CFileItem* item = m_grid->itemAt(row)) {
            items.push_back(item);
        }
    }
    return items;
}

void CFileListView::setCurrentItem(const CFileItem* item) {
    for (int row = 0; item && row < m_grid->numberRows(); ++row) {
        if (m_grid->itemAt(row) == item) {
            m_grid->gotoCell(std::max(0, m_grid->currentCol()), row);
            return;
        }
    }
}

void CFileListView::onInitialUpdate() {
    m_ready = false;
    m_grid->setDocument(&document(), this);
    m_grid->rebuild(true);
    setListFont(m_grid->font());
    m_ready = true;
    if (isVisible()) {
        m_grid->setFocus(Qt::OtherFocusReason);
    }
    Q_EMIT showCurrentItemRequested();
}

void CFileListView::onUpdate(CQuilloryView* /*sender*/, int hintValue) {
    if (!m_ready) {
        // The first hint after the document opened fills the grid for the first time.
        if (hint::has(hintValue, hint::kCategories | hint::kDisplayedItems)) {
            onInitialUpdate();
        }
        return;
    }
    if (hint::has(hintValue, hint::kCategories)) {
        m_grid->rebuild(true);
        m_grid->repaint();
    } else if (hint::has(hintValue, hint::kDisplayedItems)) {
        m_grid->rebuild(false);
    } else if (hintValue == hint::kRepaint) {
        update();
        m_grid->redrawAll();
    }
}

bool CFileListView::onCommand(int id) {
    switch (id) {
        case cmd::kEditSelectAll:
            m_grid->setAllChecked(true);
            return true;
        case cmd::kDeselectAll:
            m_grid->setAllChecked(false);
            return true;
        case cmd::kFontSettings:
            chooseFont();
            return true;
        default:
            return std::any_of(m_families.begin(), m_families.end(),
                               [id = itemCommandOf(id)](CCommandTarget* family) { return family->onCommand(id); });
    }
}

// Find and find-next mean the item search here; the preview keeps them for its own text.
int CFileListView::itemCommandOf(int id) {
    switch (id) {
        case cmd::kEditFind:
            return cmd::kItemSearch;
        case cmd::kEditRepeat:
            return cmd::kItemSearchNext;
        default:
            return id;
    }
}

bool CFileListView::onUpdateCommand(int id, CCommandState& state) {
    switch (id) {
        case cmd::kEditSelectAll:
        case cmd::kDeselectAll:
        case cmd::kFontSettings:
            state.enabled = true;
            return true;
        default:
            return std::any_of(m_families.begin(), m_families.end(), [id = itemCommandOf(id), &state](CCommandTarget* family) {
                return family->onUpdateCommand(id, state);
            });
    }
}

void CFileListView::addCommandFamily(CCommandTarget* family) {
    m_families.push_back(family);
}

void CFileListView::removeCommandFamily(CCommandTarget* family) {
    std::erase(m_families, family);
}

void CFileListView::chooseFont() {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, m_grid->font(), this, QString());
    if (!chosen) {
        return;
    }
    writeListFont(document().profile(), font);
    setListFont(font);
    document().updateAllViews(nullptr, hint::kRepaint);
}

void CFileListView::resizeEvent(QResizeEvent* event) {
    CQuilloryView::resizeEvent(event);
    m_grid->setGeometry(rect());
}

void CFileListView::focusInEvent(QFocusEvent* event) {
    CQuilloryView::focusInEvent(event);
    m_grid->setFocus(Qt::OtherFocusReason);
}
