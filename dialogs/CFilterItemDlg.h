#pragma once

#include <QDialog>

class CFileCatalog;
class CItemFilter;
class QComboBox;
class QLabel;

// "フィルタ項目": one filter condition, laid out as the sentence it reads:
// [かつ] [名前] が [value] [を含む]. The conjunction and its label are hidden for the first condition. On OK
// the four fields go back into the condition it was opened on; cancel leaves the condition as it was.
class CFilterItemDlg final : public QDialog {
    Q_OBJECT
public:
    // The catalog gives the category names of the target list and the values offered for a category.
    CFilterItemDlg(CItemFilter& filter, const CFileCatalog& catalog, bool isFirst, QWidget* parent = nullptr);

    QComboBox* conjunctionBox() const { return m_conjunction; }
    QComboBox* targetBox() const { return m_target; }
    QComboBox* valueBox() const { return m_value; }
    QComboBox* operatorBox() const { return m_operator; }

    void accept() override;

private:
    // A new target: its operators (the first one selected) and the values it offers; the typed text stays.
    void targetChanged(int target);
    void fillValues(int target);

    CItemFilter& m_filter;
    const CFileCatalog& m_catalog;
    QLabel* m_conjunctionLabel = nullptr;
    QComboBox* m_conjunction = nullptr;
    QComboBox* m_target = nullptr;
    QComboBox* m_value = nullptr;
    QComboBox* m_operator = nullptr;
};
