#pragma once

#include <QStringList>
#include <QWizardPage>

class QLineEdit;
class QListWidget;
class QPushButton;

// The second page of the new-catalog wizard: the names of the catalog's categories (1 to 10), entered one
// by one, renamed and deleted in the list.
class CNewCategoryPage final : public QWizardPage {
    Q_OBJECT
public:
    static constexpr int kMaxCategories = 10;

    explicit CNewCategoryPage(QWidget* parent = nullptr);

    // The names collected by the last press of the next button, in list order.
    QStringList categoryNames() const { return m_categoryNames; }
    // The names in the list now.
    QStringList listedNames() const;

    void addName();
    void renameSelected();
    void deleteSelected();

    // The next button: at least one category is required.
    bool validatePage() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateButtons();

    QStringList m_categoryNames;
    QLineEdit* m_nameEdit = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_renameButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
};
