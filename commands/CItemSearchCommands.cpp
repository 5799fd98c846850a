#include "commands/CItemSearchCommands.h"

#include <QElapsedTimer>
#include <QProgressDialog>

#include <algorithm>
#include <memory>

#include "catalog/CFileCatalog.h"
#include "dialogs/CFileSearchDlg.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CWaitCursor.h"
#include "gui/CommandIds.h"
#include "platform/CUserInterface.h"
#include "preview/CTextView.h"
#include "views/CFileListView.h"

namespace {

constexpr const char* kNotFound = "見つかりません";
constexpr int kProgressDelayMs = 1000;
constexpr int kCancelled = -2;

}  // namespace

CItemSearchCommands::CItemSearchCommands(CFileListView& view) : m_view(view) {}

CQuilloryDoc& CItemSearchCommands::document() const {
    return m_view.document();
}

bool CItemSearchCommands::onCommand(int id) {
    switch (id) {
        case cmd::kItemSearch:
            search();
            return true;
        case cmd::kItemSearchNext:
            searchFrom(m_view.currentItemIndex() + 1, 1);
            return true;
        case cmd::kItemSearchPrevious:
            // Without a current row there is nothing before it.
            searchFrom(m_view.currentItemIndex() < 0 ? -1 : m_view.currentItemIndex() - 1, -1);
            return true;
        default:
            return false;
    }
}

bool CItemSearchCommands::onUpdateCommand(int id, CCommandState& state) {
    if (id == cmd::kItemSearch || id == cmd::kItemSearchNext || id == cmd::kItemSearchPrevious) {
        state.enabled = true;
        return true;
    }
    return false;
}

void CItemSearchCommands::search() {
    CFileSearchDlg dialog(document().profile(), document().categoryNames(), m_view.window());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_condition = dialog.condition();
    // The first search includes the current row itself.
    searchFrom(std::max(m_view.currentItemIndex(), 0), 1);
}

void CItemSearchCommands::searchFrom(int row, int direction) {
    const int found = walk(row, direction);
    if (found == kCancelled) {
        return;
    }
    if (found < 0) {
        CUserInterface::current().message(kNotFound, MessageIcon::None);
        return;
    }
    showHit(found);
}

int CItemSearchCommands::walk(int row, int direction) {
    const CFileCatalog& catalog = document().catalog();
    if (row < 0 || row >= catalog.displayedCount()) {
        return -1;
    }
    if (!m_condition.inTextFile) {
        return direction > 0 ? catalog.findForward(row, m_condition) : catalog.findBackward(row, m_condition);
    }
    // Reading files may take long: the progress dialog is made only once a second has passed, so that a
    // quick search never flashes one.
    CWaitCursor wait;
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> progress;
    const int total = direction > 0 ? catalog.displayedCount() - row : row + 1;
    bool cancelled = false;
    const auto step = [&](int index) {
        if (!progress && clock.elapsed() >= kProgressDelayMs) {
            progress =
                std::make_unique<QProgressDialog>(QStringLiteral("テキストファイルを検索しています..."),
                                                  QStringLiteral("中止"), 0, total, m_view.window());
            progress->setObjectName("SearchProgress");
            progress->setWindowTitle(QStringLiteral("アイテム検索"));
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
            progress->setAutoReset(false);
            progress->setAutoClose(false);
        }
        if (progress) {
            // Setting the value of a modal progress dialog lets the user's click on "中止" through.
            progress->setValue(direction > 0 ? index - row : row - index);
            cancelled = progress->wasCanceled();
        }
        return !cancelled;
    };
    const int found = direction > 0 ? catalog.findForward(row, m_condition, step)
                                    : catalog.findBackward(row, m_condition, step);
    return cancelled ? kCancelled : found;
}

void CItemSearchCommands::showHit(int row) {
    const CFileItem* item = document().catalog().displayedItem(row);
    m_view.setCurrentItem(item);
    if (m_condition.matchOffset < 0) {
        return;
    }
    if (auto* preview =
            qobject_cast<CTextView*>(document().commandView(CQuilloryDoc::PassedCommands::Image))) {
        preview->setSearchHit(m_condition.matchOffset, QString::fromStdString(m_condition.text));
        preview->onCommand(cmd::kSelectSearchHit);
    }
}
