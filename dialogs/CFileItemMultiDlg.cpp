#include "dialogs/CFileItemMultiDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "catalog/CFileCatalog.h"
#include "dialogs/CCategoryCombos.h"
#include "dialogs/DialogHelp.h"
#include "model/CFileItem.h"

CFileItemMultiDlg::CFileItemMultiDlg(const CFileCatalog& catalog, std::vector<CFileItem*> items,
                                     QWidget* parent)
    : QDialog(parent), m_items(std::move(items)) {
    setObjectName("FileItemMultiDlg");
    setWindowTitle(QStringLiteral("アイテムの属性設定"));

    m_prompt = new QLabel(QString::fromUtf8(kDefaultPrompt), this);
    m_prompt->setObjectName("prompt");
    m_prompt->setWordWrap(true);
    m_combos = new CCategoryCombos(catalog, this);

    auto* buttons = dialoghelp::okCancelButtons(this);
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CFileItemMultiDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFileItemMultiDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { dialoghelp::show(dialoghelp::kFileItemMultiContext); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_combos);
    layout->addWidget(buttons);

    const QString marker = QString::fromUtf8(kKeepMarker);
    QComboBox* firstEmpty = nullptr;
    for (int i = 0; i < m_combos->count(); ++i) {
        const bool anyValue = std::any_of(m_items.begin(), m_items.end(),
                                          [i](const CFileItem* item) { return !item->valueString(i).empty(); });
        m_combos->setText(i, anyValue ? marker : QString());
        if (!anyValue && !firstEmpty) {
            firstEmpty = m_combos->combo(i);
        }
    }
    if (firstEmpty) {
        firstEmpty->setFocus();
    }
}

void CFileItemMultiDlg::setPrompt(const QString& prompt) {
    m_prompt->setText(prompt);
}

void CFileItemMultiDlg::accept() {
    const QString marker = QString::fromUtf8(kKeepMarker);
    for (int i = 0; i < m_combos->count(); ++i) {
        const QString text = m_combos->text(i);
        if (text == marker) {
            continue;
        }
        const std::string value = text.toStdString();
        for (CFileItem* item : m_items) {
            item->setValueString(i, value);
        }
    }
    QDialog::accept();
}

void CFileItemMultiDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    dialoghelp::centreOnParent(*this);
    raise();
    activateWindow();
}
