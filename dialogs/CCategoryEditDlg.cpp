#include "dialogs/CCategoryEditDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/DialogHelp.h"

CCategoryEditDlg::CCategoryEditDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("CategoryEditDlg");
    setWindowTitle(QStringLiteral("カテゴリ"));

    auto* nameLabel = new QLabel(QStringLiteral("カテゴリ名(&C)"), this);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName("name");
    m_nameEdit->setMinimumWidth(260);
    nameLabel->setBuddy(m_nameEdit);

    auto* alignmentLabel = new QLabel(QStringLiteral("カテゴリ名の表示位置(&A):"), this);
    m_alignmentBox = new QComboBox(this);
    m_alignmentBox->setObjectName("alignment");
    m_alignmentBox->addItems({QStringLiteral("左寄せ"), QStringLiteral("中央"), QStringLiteral("右寄せ")});
    alignmentLabel->setBuddy(m_alignmentBox);

    m_shownBox = new QCheckBox(QStringLiteral("属性リストでの表示(&V)"), this);
    m_shownBox->setObjectName("shown");
    m_shownBox->setChecked(m_shown);

    auto* buttons = dialoghelp::okCancelButtons(this);
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CCategoryEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCategoryEditDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { dialoghelp::show(dialoghelp::kCategoryEditContext); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nameLabel);
    layout->addWidget(m_nameEdit);
    layout->addWidget(alignmentLabel);
    layout->addWidget(m_alignmentBox);
    layout->addWidget(m_shownBox);
    layout->addWidget(buttons);
}

void CCategoryEditDlg::setName(const QString& name) {
    m_name = name;
    m_nameEdit->setText(name);
}

void CCategoryEditDlg::setAlignment(int alignment) {
    m_alignment = std::clamp(alignment, 0, 2);
    m_alignmentBox->setCurrentIndex(m_alignment);
}

void CCategoryEditDlg::setShown(bool shown) {
    m_shown = shown;
    m_shownBox->setChecked(shown);
}

void CCategoryEditDlg::accept() {
    m_name = m_nameEdit->text();
    m_alignment = m_alignmentBox->currentIndex();
    m_shown = m_shownBox->isChecked();
    QDialog::accept();
}

void CCategoryEditDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the window that opened it, or on the screen.
    const QRect area = parentWidget() ? parentWidget()->window()->frameGeometry()
                                      : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid()) {
        move(area.center() - rect().center());
    }
}
