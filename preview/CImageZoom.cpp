#include "preview/CImageZoom.h"

#include <algorithm>
#include <cstdint>

namespace {

// Displayed sizes stay well inside int, whatever the image and the zoom.
constexpr std::int64_t kMaxSide = 1 << 30;

int side(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, kMaxSide));
}

}  // namespace

void CImageZoom::setReduce(int divisor) {
    m_mode = Mode::Reduce;
    m_divisor = std::clamp(divisor, kMinTenths, kMaxTenths);
}

void CImageZoom::setEnlarge(int factor) {
    m_mode = Mode::Enlarge;
    m_factor = std::clamp(factor, kMinTenths, kMaxTenths);
}

void CImageZoom::stepLarger() {
    switch (m_mode) {
    case Mode::Reduce:
        if (m_divisor <= 11)
            m_mode = Mode::OwnSize;
        else
            --m_divisor;
        break;
    case Mode::Enlarge:
        if (m_factor < kMaxTenths)
            ++m_factor;
        break;
    case Mode::OwnSize:
    case Mode::Fit:
        m_mode = Mode::Enlarge;
        m_factor = 11;
        break;
    }
}

void CImageZoom::stepSmaller() {
    switch (m_mode) {
    case Mode::Enlarge:
        if (m_factor <= 11)
            m_mode = Mode::OwnSize;
        else
            --m_factor;
        break;
    case Mode::Reduce:
        if (m_divisor < kMaxTenths)
            ++m_divisor;
        break;
    case Mode::OwnSize:
    case Mode::Fit:
        m_mode = Mode::Reduce;
        m_divisor = 11;
        break;
    }
}

QSize CImageZoom::fittedSize(QSize image, QSize client) {
    const std::int64_t w = image.width();
    const std::int64_t h = image.height();
    if (w <= 0 || h <= 0)
        return QSize(0, 0);
    const std::int64_t cw = std::max(client.width(), 1);
    const std::int64_t ch = std::max(client.height(), 1);
    if (w <= cw && h <= ch)
        return image;
    // Aspect ratios in hundredths, compared unsigned, as the integer steps of the original sizing.
    if (static_cast<std::uint64_t>(w * 100 / h) >= static_cast<std::uint64_t>(cw * 100 / ch))
        return QSize(side(cw), side(std::clamp<std::int64_t>(h * 100 / (w * 100 / cw), 1, h)));
    return QSize(side(std::clamp<std::int64_t>(w * 100 / (h * 100 / ch), 1, w)), side(ch));
}

QSize CImageZoom::displayedSize(QSize image, QSize client) const {
    const std::int64_t w = image.width();
    const std::int64_t h = image.height();
    switch (m_mode) {
    case Mode::Fit:
        return fittedSize(image, client);
    case Mode::Reduce: {
        const std::int64_t d = std::max(m_divisor, 1);
        return QSize(side(w * 10 / d), side(h * 10 / d));
    }
    case Mode::Enlarge:
        return QSize(side(m_factor * w / 10), side(m_factor * h / 10));
    case Mode::OwnSize:
        break;
    }
    return image;
}
