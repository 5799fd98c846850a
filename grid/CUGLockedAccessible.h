#pragma once

#include <QAccessibleWidget>

// What assistive technology is told about the locked-column overlay of a grid: nothing to read. The overlay
// only repaints the grid's first columns over the grid's own cells, which the grid's table already offers
// to a screen reader; a second table there would make it read those cells twice. The overlay is
// invisible, holds no children and takes no part in navigation.
class CUGLockedAccessible final : public QAccessibleWidget {
public:
    explicit CUGLockedAccessible(QWidget* overlay);

    // Makes every overlay answer with this interface; installed once, before the first overlay exists.
    static void install();

    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text type) const override;
};
