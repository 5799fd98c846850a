#pragma once

#include <QDialog>
#include <QStringList>

#include "search/CFileSearchCondition.h"

class CProfile;
class QCheckBox;
class QComboBox;
class QListWidget;

// "アイテム検索": the text to find, with its history, and the properties of an item to look in (name, path,
// memo, the contents of a text file, one category). Opens with the conditions and history of the "Search"
// settings; "開始" takes the controls into the conditions, writes them back there and closes. The caller
// passes the category names in catalog order and then walks the items with condition().
class CFileSearchDlg final : public QDialog {
    Q_OBJECT
public:
    CFileSearchDlg(CProfile& profile, const QStringList& categoryNames, QWidget* parent = nullptr);

    const CFileSearchCondition& condition() const { return m_condition; }

    void accept() override;

private:
    CProfile& m_profile;
    CFileSearchCondition m_condition;
    QComboBox* m_text = nullptr;
    QCheckBox* m_inName = nullptr;
    QCheckBox* m_inPath = nullptr;
    QCheckBox* m_inMemo = nullptr;
    QCheckBox* m_inTextFile = nullptr;
    QCheckBox* m_inCategory = nullptr;
    QListWidget* m_categories = nullptr;
};
