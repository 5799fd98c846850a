#include "dialogs/CSearchHistoryCombo.h"

#include <QComboBox>
#include <QLineEdit>

#include "search/CSearchHistory.h"

void CSearchHistoryCombo::fill(QComboBox& box, const CProfile& profile, const char* section) {
    for (const std::string& text : CSearchHistory::load(profile, section)) {
        box.addItem(QString::fromStdString(text));
    }
    box.setEditText(box.itemText(0));
    if (QLineEdit* edit = box.lineEdit()) {
        edit->selectAll();
    }
}

void CSearchHistoryCombo::store(const QComboBox& box, CProfile& profile, const char* section) {
    std::vector<std::string> listed;
    for (int i = 0; i < box.count(); ++i) {
        listed.push_back(box.itemText(i).toStdString());
    }
    CSearchHistory::save(profile, section, box.currentText().toStdString(), listed);
}
