#include "grid/CUGLockedAccessible.h"

#include <QAccessible>
#include <QWidget>

namespace {

QAccessibleInterface* lockedOverlayInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("CUGLockedView") && object && object->isWidgetType()) {
        return new CUGLockedAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

}  // namespace

CUGLockedAccessible::CUGLockedAccessible(QWidget* overlay) : QAccessibleWidget(overlay, QAccessible::NoRole) {}

void CUGLockedAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(&lockedOverlayInterface);
        return true;
    }();
    (void)installed;
}

QAccessible::State CUGLockedAccessible::state() const {
    QAccessible::State hidden;
    hidden.invisible = true;
    return hidden;
}

int CUGLockedAccessible::childCount() const {
    return 0;
}

QAccessibleInterface* CUGLockedAccessible::child(int /*index*/) const {
    return nullptr;
}

int CUGLockedAccessible::indexOfChild(const QAccessibleInterface* /*child*/) const {
    return -1;
}

QAccessibleInterface* CUGLockedAccessible::childAt(int /*x*/, int /*y*/) const {
    return nullptr;
}

QString CUGLockedAccessible::text(QAccessible::Text /*type*/) const {
    return {};
}
