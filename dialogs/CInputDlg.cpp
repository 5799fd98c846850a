#include "dialogs/CInputDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialogs/DialogHelp.h"

CInputDlg::CInputDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("InputDlg");
    setWindowTitle(QStringLiteral("Quillory"));

    m_promptLabel = new QLabel(this);
    m_promptLabel->setObjectName("prompt");
    m_edit = new QLineEdit(this);
    m_edit->setObjectName("value");
    m_edit->setMinimumWidth(280);
    m_promptLabel->setBuddy(m_edit);

    auto* buttons = dialoghelp::okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CInputDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CInputDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_promptLabel);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
}

void CInputDlg::setPrompt(const QString& prompt) {
    m_prompt = prompt;
    m_promptLabel->setText(prompt);
}

void CInputDlg::setValue(const QString& value) {
    m_value = value;
    m_edit->setText(value);
    m_edit->selectAll();
}

void CInputDlg::accept() {
    m_value = m_edit->text();
    QDialog::accept();
}

std::optional<QString> CInputDlg::ask(QWidget* parent, const QString& prompt, const QString& value) {
    CInputDlg dialog(parent);
    dialog.setPrompt(prompt);
    dialog.setValue(value);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.value();
}
