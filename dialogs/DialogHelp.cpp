#include "dialogs/DialogHelp.h"

#include <QDialogButtonBox>
#include <QPushButton>

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

}  // namespace dialoghelp
