#pragma once

#include <QDialog>
#include <functional>

class QPushButton;

// The replace step dialog ("置換"), shown while a match is selected: replace it and find the next, find the
// next, replace all, or stop. The editor's operations come in as functions, so that the dialog knows no
// editor: each step function returns false when no further match was found.
class CReplaceInfoDlg final : public QDialog {
    Q_OBJECT
public:
    struct Steps {
        std::function<bool()> replaceAndFindNext;
        std::function<bool()> findNext;
        std::function<int()> replaceAll;
    };

    CReplaceInfoDlg(Steps steps, QWidget* parent);

private:
    void notFound();

    Steps m_steps;
};
