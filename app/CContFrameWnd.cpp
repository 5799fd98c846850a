#include "app/CContFrameWnd.h"

#include <QStatusBar>
#include <QStringList>
#include <QToolBar>

#include "platform/CProfile.h"

namespace {
constexpr const char* kSection = "Window size";
}

CContFrameWnd::CContFrameWnd(CProfile& profile, QWidget* parent) : QMainWindow(parent), m_profile(profile) {}

void CContFrameWnd::setBars(QToolBar* toolBar, QStatusBar* statusBar) {
    m_toolBar = toolBar;
    m_statusBar = statusBar;
}

CContFrameWnd::Placement CContFrameWnd::parsePlacement(const QString& rect, QPoint defaultMaximizedPosition) {
    Placement placement;
    if (rect.isEmpty()) {
        placement.normal = QRect(100, 100, 700, 500);  // 100,100 to 800,600, right and bottom exclusive
        placement.maximizedPosition = defaultMaximizedPosition;
        return placement;
    }
    int numbers[8] = {};
    const QStringList fields = rect.split(QLatin1Char(','));
    for (int i = 0; i < 8 && i < fields.size(); ++i) {
        bool ok = false;
        const int value = fields[i].trimmed().toInt(&ok);
        if (!ok) {
            break;  // like sscanf: the first unreadable number ends the reading
        }
        numbers[i] = value;
    }
    // Right and bottom are exclusive edges, as in the stored form.
    placement.normal = QRect(numbers[0], numbers[1], numbers[2] - numbers[0], numbers[3] - numbers[1]);
    placement.minimizedPosition = QPoint(numbers[4], numbers[5]);
    placement.maximizedPosition = QPoint(numbers[6], numbers[7]);
    return placement;
}

QString CContFrameWnd::formatPlacement(const Placement& placement) {
    const QRect& r = placement.normal;
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8")
        .arg(r.x())
        .arg(r.y())
        .arg(r.x() + r.width())
        .arg(r.y() + r.height())
        .arg(placement.minimizedPosition.x())
        .arg(placement.minimizedPosition.y())
        .arg(placement.maximizedPosition.x())
        .arg(placement.maximizedPosition.y());
}

QPoint CContFrameWnd::maximizedPositionByBorders() const {
    const int border = geometry().x() - frameGeometry().x();
    return QPoint(-border, -border);
}

void CContFrameWnd::showWithStoredPlacement() {
    if (!m_firstActivation) {
        show();
        return;
    }
    m_firstActivation = false;
    m_placement = parsePlacement(QString::fromStdString(m_profile.readString(kSection, "Rect", "")),
                                 maximizedPositionByBorders());
    m_placement.showCmd = m_profile.readInt(kSection, "showCmd", kShowNormal);
    m_placement.flags = m_profile.readInt(kSection, "flags", 0);
    if (m_toolBar) {
        m_toolBar->setVisible(m_profile.readInt(kSection, "ToolBar", 1) != 0);
    }
    if (m_statusBar) {
        m_statusBar->setVisible(m_profile.readInt(kSection, "StatusBar", 1) != 0);
    }
    if (m_placement.normal.isValid()) {
        setGeometry(m_placement.normal);
    }
    switch (m_placement.showCmd) {
        case kShowMaximized:
            showMaximized();
            break;
        case kShowMinimized:
            showMinimized();
            break;
        default:
            showNormal();
            break;
    }
}

void CContFrameWnd::savePlacement() {
    if (m_firstActivation) {
        // Never shown (a first start that the user cancelled): its size is Qt's default, not the user's.
        return;
    }
    Placement placement = m_placement;
    placement.normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (!placement.normal.isValid()) {
        placement.normal = geometry();
    }
    placement.showCmd = isMaximized() ? kShowMaximized : isMinimized() ? kShowMinimized : kShowNormal;
    m_profile.writeString(kSection, "Rect", formatPlacement(placement).toStdString());
    m_profile.writeInt(kSection, "showCmd", placement.showCmd);
    m_profile.writeInt(kSection, "flags", placement.flags);
    if (m_toolBar) {
        m_profile.writeInt(kSection, "ToolBar", m_toolBar->isHidden() ? 0 : 1);
    }
    if (m_statusBar) {
        m_profile.writeInt(kSection, "StatusBar", m_statusBar->isHidden() ? 0 : 1);
    }
}
