#include "views/CValueSearch.h"

#include <QStringList>
#include <algorithm>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "dialogs/CSearchDlg.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "platform/CUserInterface.h"
#include "views/CCategoryListModel.h"
#include "views/CCategoryView.h"
#include "views/CListCtrlBox.h"

namespace {

constexpr const char* kNotFound = "見つかりません";
constexpr const char* kSelectCategory = "カテゴリを選択してください";

}  // namespace

CValueSearch::CValueSearch(CCategoryView& pane) : m_pane(pane) {}

bool CValueSearch::onCommand(int id) {
    switch (id) {
        case cmd::kValueSearch:
            search();
            return true;
        case cmd::kValueSearchNext:
            searchNext(1);
            return true;
        case cmd::kValueSearchPrevious:
            searchNext(-1);
            return true;
        default:
            return false;
    }
}

bool CValueSearch::onUpdateCommand(int id, CCommandState& state) {
    if (id == cmd::kValueSearch || id == cmd::kValueSearchNext || id == cmd::kValueSearchPrevious) {
        state.enabled = true;
        return true;
    }
    return false;
}

void CValueSearch::search() {
    const CFileCatalog& catalog = m_pane.document().catalog();
    QStringList names;
    for (int i = 0; i < m_pane.listCount(); ++i) {
        names.append(QString::fromStdString(catalog.categoryName(m_pane.categoryOf(i))));
    }
    CSearchDlg dialog(m_pane.document().profile(), names, std::max(m_pane.focusedList(), 0), m_pane.window());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_lastText = dialog.text().toStdString();
    searchList(dialog.category(), 0, 1);
}

void CValueSearch::searchNext(int direction) {
    const int position = m_pane.focusedList();
    if (position < 0) {
        CUserInterface::current().message(kSelectCategory, MessageIcon::Warning);
        return;
    }
    // Row r shows value r - 1 (row 0 is "全て"): the value after the current row is value r, the one
    // before it value r - 2.
    const std::vector<int> selected = m_pane.list(position)->selectedRows();
    const int row = selected.empty() ? 0 : selected.front();
    searchList(position, direction > 0 ? row : row - 2, direction);
}

void CValueSearch::searchList(int position, int from, int direction) {
    if (position < 0 || position >= m_pane.listCount()) {
        CUserInterface::current().message(kNotFound, MessageIcon::None);
        return;
    }
    CListCtrlBox* list = m_pane.list(position);
    const auto* model = qobject_cast<const CCategoryListModel*>(list->model());
    const int values = model ? model->rowCount() - 1 : 0;
    // A plain byte search of UTF-8 text is case-sensitive and never matches inside a character.
    for (int v = from; v >= 0 && v<values; v += direction> 0 ? 1 : -1) {
        const std::string* value = model->value(v + 1);
        if (value && value->find(m_lastText) != std::string::npos) {
            // Selecting the row is the user's selection change: the catalog narrows and the lists to the
            // right refill.
            list->clearSelectedRows();
            list->selectRow(v + 1);
            list->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    CUserInterface::current().message(kNotFound, MessageIcon::None);
    list->setFocus(Qt::OtherFocusReason);
}
