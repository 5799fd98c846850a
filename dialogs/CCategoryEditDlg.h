#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;

// "カテゴリ": one category's name, the alignment of its cells and lists (0 left, 1 centre, 2 right, the
// category's flag bits 0-1) and whether the category pane shows it. The caller sets the three fields before
// opening and reads them back after OK; no field is checked (an empty name is accepted).
class CCategoryEditDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CCategoryEditDlg(QWidget* parent = nullptr);

    void setName(const QString& name);
    QString name() const { return m_name; }
    void setAlignment(int alignment);
    int alignment() const { return m_alignment; }
    void setShown(bool shown);
    bool shown() const { return m_shown; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString m_name;
    int m_alignment = 0;
    bool m_shown = true;  // a new category is shown in the pane
    QLineEdit* m_nameEdit = nullptr;
    QComboBox* m_alignmentBox = nullptr;
    QCheckBox* m_shownBox = nullptr;
};
