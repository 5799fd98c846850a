#pragma once

#include <QDialog>
#include <QString>

class CFileCatalog;
class QComboBox;

// "属性の追加": one value to add to a category of the target items. The category list starts at the preset
// index; the value list offers the chosen category's values and follows the category. After OK
// categoryIndex() and value() hold the choice (the caller ignores an empty value).
class CAddTagDlg final : public QDialog {
    Q_OBJECT
public:
    CAddTagDlg(const CFileCatalog& catalog, int categoryIndex, QWidget* parent = nullptr);

    int categoryIndex() const { return m_categoryIndex; }
    QString value() const { return m_value; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillValues(int categoryIndex);

    const CFileCatalog& m_catalog;
    QComboBox* m_categoryBox = nullptr;
    QComboBox* m_valueBox = nullptr;
    int m_categoryIndex = 0;
    QString m_value;
};
