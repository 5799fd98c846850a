#pragma once

#include <QSize>

// How the image mode sizes its picture: at its own size, fitted to the pane, reduced by a divisor or
// enlarged by a factor. Divisor and factor are tenths (20 is one half or twice). At most one of fit, reduce
// and enlarge is on.
class CImageZoom final {
public:
    enum class Mode { OwnSize, Fit, Reduce, Enlarge };

    static constexpr int kMinTenths = 10;   // 1.0
    static constexpr int kMaxTenths = 100;  // 10.0

    Mode mode() const { return m_mode; }
    bool isFit() const { return m_mode == Mode::Fit; }
    bool isReduce() const { return m_mode == Mode::Reduce; }
    bool isEnlarge() const { return m_mode == Mode::Enlarge; }
    int divisor() const { return m_divisor; }
    int factor() const { return m_factor; }

    void setOwnSize() { m_mode = Mode::OwnSize; }
    void setFit() { m_mode = Mode::Fit; }
    // Reduce and enlarge take tenths; values outside 1.0 to 10.0 are clamped, so no divisor of 0 (or any
    // other value the size computation cannot take) is ever held.
    void setReduce(int divisor);
    void setEnlarge(int factor);
    // One step larger or smaller, by a tenth; fit goes off.
    void stepLarger();
    void stepSmaller();

    // The displayed size of an image of `image` pixels in a pane whose client area is `client`.
    QSize displayedSize(QSize image, QSize client) const;
    // The fitted size alone (what fit mode shows).
    static QSize fittedSize(QSize image, QSize client);

private:
    Mode m_mode = Mode::Fit;
    int m_divisor = 0;
    int m_factor = 0;
};
