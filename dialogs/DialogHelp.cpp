#include "dialogs/DialogHelp.h"

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

void centreOnParent(QWidget& dialog) {
    QWidget* parent = dialog.parentWidget();
    const QRect area = parent ? parent->window()->frameGeometry()
                              : (dialog.screen() ? dialog.screen()->availableGeometry() : QRect());
    if (area.isValid()) {
        dialog.move(area.center() - dialog.rect().center());
    }
}

}  // namespace dialoghelp
