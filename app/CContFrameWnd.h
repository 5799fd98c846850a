#pragma once

#include <QMainWindow>
#include <QRect>

class CProfile;
class QStatusBar;
class QToolBar;

// A main window that remembers its placement and whether its tool bar and status bar are shown, in
// section "Window size": "Rect" (normal left, top, right, bottom, minimised x, y, maximised x, y),
// "showCmd", "flags", "ToolBar" and "StatusBar".
class CContFrameWnd : public QMainWindow {
    Q_OBJECT
public:
    // The show states of "showCmd".
    static constexpr int kShowNormal = 1;
    static constexpr int kShowMinimized = 2;
    static constexpr int kShowMaximized = 3;

    struct Placement {
        QRect normal;  // left, top, right, bottom as a rectangle
        QPoint minimizedPosition;
        QPoint maximizedPosition;
        int showCmd = kShowNormal;
        int flags = 0;
    };

    explicit CContFrameWnd(CProfile& profile, QWidget* parent = nullptr);

    // Parses "Rect": eight numbers separated by ","; numbers it cannot read stay 0. An empty text gives
    // the default placement 100,100,800,600.
    static Placement parsePlacement(const QString& rect, QPoint defaultMaximizedPosition);
    static QString formatPlacement(const Placement& placement);

    // Shows the window as it was placed when it was last closed (the first activation).
    void showWithStoredPlacement();
    // Writes the placement and the bars' visibility back.
    void savePlacement();

    CProfile& profile() const { return m_profile; }

protected:
    // The bars whose visibility is kept; set by the derived frame once it created them.
    void setBars(QToolBar* toolBar, QStatusBar* statusBar);
    // The frame's borders: the position a maximised window takes, as the system reports it.
    QPoint maximizedPositionByBorders() const;

private:
    CProfile& m_profile;
    QToolBar* m_toolBar = nullptr;
    QStatusBar* m_statusBar = nullptr;
    bool m_firstActivation = true;
    Placement m_placement;
};
