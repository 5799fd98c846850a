#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QLabel;
class QLineEdit;

// The one-line input dialog, titled with the program's name: a prompt above an edit. The caller sets the
// prompt and the value; after OK value() holds what the user typed.
class CInputDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CInputDlg(QWidget* parent = nullptr);

    void setPrompt(const QString& prompt);
    QString prompt() const { return m_prompt; }
    void setValue(const QString& value);
    QString value() const { return m_value; }

    // Asks with the prompt, preset with the value; the typed text, or nothing when cancelled.
    static std::optional<QString> ask(QWidget* parent, const QString& prompt, const QString& value);

    void accept() override;

private:
    QString m_prompt;
    QString m_value;
    QLabel* m_promptLabel = nullptr;
    QLineEdit* m_edit = nullptr;
};
