#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class CProfile;
class QComboBox;

// "属性リスト検索": a text, with the history of the attribute list search texts ("Search"/"Str00" ..
// "Str09"), and one of the categories the caller offers. OK writes the history; the caller then searches
// the chosen category's values for the text.
class CSearchDlg final : public QDialog {
    Q_OBJECT
public:
    CSearchDlg(CProfile& profile, const QStringList& categoryNames, int preselected,
               QWidget* parent = nullptr);

    // After OK: the text, and the chosen category as an index into the names passed (-1 for none).
    QString text() const { return m_chosenText; }
    int category() const { return m_chosenCategory; }

    void accept() override;

private:
    CProfile& m_profile;
    QComboBox* m_text = nullptr;
    QComboBox* m_category = nullptr;
    QString m_chosenText;
    int m_chosenCategory = -1;
};
