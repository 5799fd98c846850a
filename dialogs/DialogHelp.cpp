#include "dialogs/DialogHelp.h"

#include <QDialogButtonBox>
#include <QPushButton>

#include "app/CMainFrame.h"
#include "app/CQuilloryApp.h"

namespace dialoghelp {

namespace {

std::function<void(int)>& handler() {
    static std::function<void(int)> installed;
    return installed;
}

}  // namespace

void show(int context) {
    if (handler()) {
        handler()(context);
        return;
    }
    if (CQuilloryApp* app = CQuilloryApp::instance(); app && app->mainFrame()) {
        app->mainFrame()->showHelp(context);
    }
}

void setHandler(std::function<void(int)> newHandler) {
    handler() = std::move(newHandler);
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
