#pragma once

#include <QDialog>

class CProfile;
class QComboBox;

// The find dialog ("検索"): the search text in an editable drop-down list of the remembered texts
// (settings section "Find"). After OK findText() holds the text, which heads the history.
class CFindDlg final : public QDialog {
    Q_OBJECT
public:
    CFindDlg(CProfile& profile, QWidget* parent);

    QString findText() const;
    void accept() override;

private:
    CProfile& m_profile;
    QComboBox* m_find = nullptr;
};
