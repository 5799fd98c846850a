#include "dialogs/DialogHelp.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QScreen>

namespace dialoghelp {

namespace {

std::function<void(int)>& handler() {
    static std::function<void(int)> installed;
    return installed;
}

std::function<void(int)>& defaultHandler() {
    static std::function<void(int)> installed;
    return installed;
}

}  // namespace

void show(int context) {
    if (handler()) {
        handler()(context);
        return;
    }
    if (defaultHandler()) {
        defaultHandler()(context);
    }
}

void setHandler(std::function<void(int)> newHandler) {
    handler() = std::move(newHandler);
}

void setDefaultHandler(std::function<void(int)> newHandler) {
    defaultHandler() = std::move(newHandler);
}

QString cancelText() {
    return QStringLiteral("ｷｬﾝｾﾙ");
}

QDialogButtonBox* okCancelButtons(QWidget* parent) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, parent);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(cancelText());
    return buttons;
}

QDialogButtonBox* closeHelpButtons(QDialog& dialog, int helpContext) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("閉じる"));
    auto* help = buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole);
    help->setObjectName("helpButton");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dialog, [helpContext] { show(helpContext); });
    return buttons;
}

void centreOnParent(QWidget& dialog) {
    QWidget* parent = dialog.parentWidget();
    const QRect area = parent ? parent->window()->frameGeometry()
                              : (dialog.screen() ? dialog.screen()->availableGeometry() : QRect());
    if (area.isValid()) {
        dialog.move(area.center() - dialog.rect().center());
    }
}

}  // namespace dialoghelp
