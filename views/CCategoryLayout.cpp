#include "views/CCategoryLayout.h"

#include <algorithm>
#include <utility>

void CCategoryLayout::reset(std::vector<int> requested) {
    m_requested = std::move(requested);
    m_readable.assign(m_requested.size(), 0);
    m_left.assign(m_requested.size(), 0);
    m_width.assign(m_requested.size(), 0);
}

bool CCategoryLayout::setReadable(int list, int width) {
    return std::exchange(m_readable[at(list)], width) != width;
}

int CCategoryLayout::place(int paneWidth) {
    const int n = count();
    if (n == 0) {
        return paneWidth;
    }
    const int share = std::max(paneWidth / n - n + 1, 1);
    int x = 0;
    for (int i = 0; i < n; ++i) {
        const std::size_t list = at(i);
        // A list never needs more than the whole pane.
        const int readable = std::min(m_readable[list], paneWidth);
        int width = m_requested[list] > 0 ? m_requested[list] : std::max(share, readable);
        if (i == n - 1) {
            width = std::max(paneWidth - x, readable);
        }
        m_left[list] = x;
        m_width[list] = std::max(width, 1);
        x += m_width[list] + m_gap;
    }
    return std::max(x - m_gap, paneWidth);
}
