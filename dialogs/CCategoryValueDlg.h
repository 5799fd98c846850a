#pragma once

#include <QDialog>
#include <QString>

class CFileCatalog;
class QComboBox;
class QLineEdit;

// "属性の変更": picks a category and one of its values, and the new text for that value in every item. The
// caller presets the category and the old value and, after OK, renames the value in the chosen category of
// every item. The new value is not checked: empty or existing texts go to the catalog as they are.
class CCategoryValueDlg final : public QDialog {
    Q_OBJECT
public:
    CCategoryValueDlg(const CFileCatalog& catalog, int presetCategory, const QString& presetValue,
                      QWidget* parent = nullptr);

    // After OK: the chosen category (-1 when there is none), the old and the new value.
    int category() const { return m_category; }
    QString oldValue() const { return m_oldValue; }
    QString newValue() const { return m_newValue; }

    void accept() override;

private:
    void fillValues(int category);

    const CFileCatalog& m_catalog;
    int m_category = -1;
    QString m_oldValue;
    QString m_newValue;
    QComboBox* m_categoryBox = nullptr;
    QComboBox* m_valueBox = nullptr;
    QLineEdit* m_newEdit = nullptr;
};
