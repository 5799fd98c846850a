#pragma once

#include <QHeaderView>

// A heading of the grid: the column headings on top or the row headings at the side. It reports presses
// and releases with their section, context-menu requests, and whether a section is being resized by the
// user (as opposed to by the program), so that the grid reports only the user's resizing.
class CUGHeading final : public QHeaderView {
    Q_OBJECT
public:
    CUGHeading(Qt::Orientation orientation, QWidget* parent);

    bool userResizing() const { return m_userPressed; }

Q_SIGNALS:
    void sectionPressedOrReleased(int section, bool down);
    void menuRequested(int section, const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool m_userPressed = false;
};
