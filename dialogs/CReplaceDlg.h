#pragma once

#include <QDialog>

class CProfile;
class QComboBox;

// The replace dialog ("置換"): the search text and the replacement, each in an editable drop-down list of
// the remembered texts (settings sections "Find" and "Replace").
class CReplaceDlg final : public QDialog {
    Q_OBJECT
public:
    CReplaceDlg(CProfile& profile, QWidget* parent);

    QString findText() const;
    QString replaceText() const;
    void accept() override;

private:
    CProfile& m_profile;
    QComboBox* m_find = nullptr;
    QComboBox* m_replace = nullptr;
};
