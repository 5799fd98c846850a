#pragma once

#include <QPushButton>

class QMenu;

// A push button that drops a popup menu: drawn as a push button (pressed while down) with a small
// right-pointing triangle in the middle (after its text, when it has one), in the text colour (grey when
// disabled), and a focus rectangle inset by 3 pixels.
class CMenuButton final : public QPushButton {
    Q_OBJECT
public:
    explicit CMenuButton(QWidget* parent = nullptr);
    CMenuButton(const QString& text, QWidget* parent = nullptr);

    // Shows the menu at the button's lower-left corner and returns the command ID (the action's data) of
    // the chosen entry, or 0 when none was chosen.
    int dropMenu(QMenu& menu);

    QSize sizeHint() const override;
    // Room on the right for the triangle when the button shows a text.
    static constexpr int kTriangleSpace = 14;

protected:
    void paintEvent(QPaintEvent* event) override;
};
