#pragma once

#include <vector>

// Where the category pane places its lists, side by side from the left with a gap between two lists. A list
// has its requested width, or, when automatic (-1), an equal share of the pane: pane width / n - n + 1.
// An automatic list is never made narrower than its readable width (what its heading and values need), and
// the last list reaches the pane's right edge, or its readable width when that is further. When the lists
// need more room than the pane has, they go on past its right edge and the pane scrolls sideways.
class CCategoryLayout final {
public:
    explicit CCategoryLayout(int gap) : m_gap(gap) {}

    // Starts over with one list per requested width (-1 automatic); readable widths start at 0.
    void reset(std::vector<int> requested);
    int count() const { return static_cast<int>(m_requested.size()); }

    int requested(int list) const { return m_requested[at(list)]; }
    void setRequested(int list, int width) { m_requested[at(list)] = width; }
    const std::vector<int>& requestedWidths() const { return m_requested; }
    // True when the readable width changed.
    bool setReadable(int list, int width);
    int readable(int list) const { return m_readable[at(list)]; }

    // Places the lists in a pane of the width; returns the width they take, at least the pane's.
    int place(int paneWidth);
    // The list's left edge and width from the last placing, in the coordinates of the unscrolled pane.
    int left(int list) const { return m_left[at(list)]; }
    int width(int list) const { return m_width[at(list)]; }

private:
    static std::size_t at(int list) { return static_cast<std::size_t>(list); }

    int m_gap;
    std::vector<int> m_requested;
    std::vector<int> m_readable;
    std::vector<int> m_left;
    std::vector<int> m_width;
};
