#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

// "拡張子の設定": edits a list of file extensions (without the dot). Adds and deletes work on the dialog's
// own lines; OK replaces the caller's list by them, cancel leaves it as it was.
class CExtSetDlg final : public QDialog {
    Q_OBJECT
public:
    // An empty caption keeps "拡張子の設定"; an empty explanation keeps "拡張子を登録してください。".
    CExtSetDlg(const QString& caption, const QString& explanation, std::vector<std::string>& extensions,
               QWidget* parent = nullptr);

    QLineEdit* extensionEdit() const { return m_edit; }
    QListWidget* extensionList() const { return m_list; }

    // "追加(&A)": the typed text without its leading dots goes to the end of the list and the field is
    // emptied. Nothing is added for a text that is empty without its dots, nor for an extension the list
    // holds already (ignoring case), which is selected instead.
    void addExtension();
    // "削除(&D)": removes the selected line and selects the same position, or the last line; nothing
    // without a selection.
    void deleteExtension();

    void accept() override;

protected:
    // Enter in the extension field adds, rather than closing the dialog.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::string>& m_extensions;
    QLineEdit* m_edit = nullptr;
    QListWidget* m_list = nullptr;
};
