#include "skin/SnapGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace snap {

namespace {

// Within the half-open band [edge - d, edge + d).
bool Near(int v, int edge, int d) {
    return v >= edge - d && v < edge + d;
}

void MoveLeftTo(CRect& r, int x) {
    r.OffsetRect(x - r.left, 0);
}
void MoveTopTo(CRect& r, int y) {
    r.OffsetRect(0, y - r.top);
}

bool Contains(const std::vector<std::size_t>& v, std::size_t i) {
    return std::find(v.begin(), v.end(), i) != v.end();
}

void CollectBelow(const std::vector<CRect>& rects, std::size_t self, std::vector<bool>& seen,
                  std::vector<std::size_t>& out) {
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (seen[i] || rects[i].top != rects[self].bottom)
            continue;
        seen[i] = true;
        CollectBelow(rects, i, seen, out);
        out.push_back(i);
    }
}

} // namespace

void SnapToArea(CRect& r, const CRect& area, int d) {
    if (-d < r.top - area.top && r.top - area.top < d)
        MoveTopTo(r, area.top);
    if (-d < r.left - area.left && r.left - area.left < d)
        MoveLeftTo(r, area.left);
    if (area.right - d < r.right && r.right < area.right + d)
        MoveLeftTo(r, area.right - r.Width());
    if (area.bottom - d < r.bottom && r.bottom < area.bottom + d)
        MoveTopTo(r, area.bottom - r.Height());
}

void SnapToWindow(CRect& r, const CRect& o, int d) {
    const bool horizontal = r.right >= o.left - d && r.left <= o.right + d;
    const bool vertical = r.bottom >= o.top - d && r.top <= o.bottom + d;
    const bool rightLeft = Near(r.right, o.left, d);
    const bool leftRight = Near(r.left, o.right, d);
    const bool rightRight = Near(r.right, o.right, d);
    const bool leftLeft = Near(r.left, o.left, d);
    if (vertical) {
        if (rightLeft)
            MoveLeftTo(r, o.left - r.Width());
        if (leftRight)
            MoveLeftTo(r, o.right);
    }
    const bool bottomTop = Near(r.bottom, o.top, d);
    const bool topBottom = Near(r.top, o.bottom, d);
    const bool bottomBottom = Near(r.bottom, o.bottom, d);
    const bool topTop = Near(r.top, o.top, d);
    if (horizontal) {
        if (bottomTop)
            MoveTopTo(r, o.top - r.Height());
        if (topBottom)
            MoveTopTo(r, o.bottom);
    }
    const bool sideBySide = r.right == o.left || r.left == o.right;
    const bool stacked = r.bottom == o.top || r.top == o.bottom;
    if (stacked) {
        if (rightRight)
            MoveLeftTo(r, o.right - r.Width());
        if (leftLeft)
            MoveLeftTo(r, o.left);
    }
    if (sideBySide) {
        if (bottomBottom)
            MoveTopTo(r, o.bottom - r.Height());
        if (topTop)
            MoveTopTo(r, o.top);
    }
}

bool Touches(const CRect& a, const CRect& b) {
    const int edges =
        (a.right == b.left) + (a.left == b.right) + (a.bottom == b.top) + (a.top == b.bottom);
    return edges == 1;
}

std::vector<std::vector<std::size_t>> TouchingLists(const std::vector<WindowInfo>& windows) {
    std::vector<std::vector<std::size_t>> lists(windows.size());
    for (std::size_t a = 0; a < windows.size(); ++a) {
        if (!windows[a].bVisible)
            continue;
        for (std::size_t b = 0; b < windows.size(); ++b)
            if (b != a && windows[b].bVisible && Touches(windows[a].rect, windows[b].rect))
                lists[a].push_back(b);
    }
    return lists;
}

std::vector<std::size_t> LeaderGroup(std::size_t leader, const std::vector<WindowInfo>& windows,
                                     const std::vector<std::vector<std::size_t>>& touching) {
    std::vector<std::size_t> group = touching[leader];
    // The group grows while it is walked; each member is walked once.
    for (std::size_t i = 0; i < group.size(); ++i) {
        const std::size_t w = group[i];
        if (!windows[w].bVisible || windows[w].bLeader)
            continue;
        for (std::size_t t : touching[w])
            if (t != leader && !Contains(group, t))
                group.push_back(t);
    }
    return group;
}

bool ResizeAxis(int p, int& nAnchor, int& nSize, int nStep, int nMin) {
    if (nStep <= 0)
        return false;
    if (p >= nAnchor + nStep) {
        if (nSize + nStep < nMin)
            return false;
        nSize += nStep;
        nAnchor += nStep;
        return true;
    }
    if (p <= nAnchor - nStep) {
        nSize -= nStep;
        if (nSize < nMin)
            nSize = nMin;
        else
            nAnchor -= nStep;
        return true;
    }
    return false;
}

CPoint RearrangeOffset(const CRect& w, const CRect& area) {
    int x = w.left;
    int y = w.top;
    if (w.right > area.right)
        x = area.right - w.Width();
    // Left wins, also for a window wider than the area, whose left part would otherwise be
    // pushed off the screen.
    if (w.left < area.left || x < area.left)
        x = area.left;
    if (w.bottom > area.bottom)
        y = area.bottom - w.Height();
    if (w.top < area.top || y < area.top)
        y = area.top;
    return {x - w.left, y - w.top};
}

CRect AreaOf(const CRect& r, const std::vector<CRect>& areas) {
    const CRect* best = nullptr;
    long bestOverlap = 0;
    for (const CRect& a : areas) {
        const CRect i = CRect::Intersect(r, a);
        const long overlap = long(i.Width()) * i.Height();
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = &a;
        }
    }
    if (best)
        return *best;
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    long nearest = std::numeric_limits<long>::max();
    for (const CRect& a : areas) {
        const long dx = std::max({a.left - cx, 0, cx - a.right});
        const long dy = std::max({a.top - cy, 0, cy - a.bottom});
        if (dx * dx + dy * dy < nearest) {
            nearest = dx * dx + dy * dy;
            best = &a;
        }
    }
    return best ? *best : CRect{};
}

std::vector<std::size_t> WindowsBelow(const std::vector<CRect>& rects, std::size_t self) {
    std::vector<bool> seen(rects.size(), false);
    seen[self] = true;
    std::vector<std::size_t> out;
    CollectBelow(rects, self, seen, out);
    return out;
}

FirstStartPlaces FirstStartLayout(CSize main, CSize playlist, CSize play, const CRect& area) {
    // A playlist wider than the main window (a skin may make it so) pushes the play window out.
    const int column = std::max(main.cx, playlist.cx);
    const int width = column + play.cx;
    const int height = std::max(main.cy + playlist.cy, play.cy);
    const int left = area.left + std::max((area.Width() - width) / 2, 0);
    const int top = area.top + std::max((area.Height() - height) / 2, 0);
    FirstStartPlaces places;
    places.main = {left, top, left + main.cx, top + main.cy};
    places.playlist = {left, places.main.bottom, left + playlist.cx,
                       places.main.bottom + playlist.cy};
    places.play = {left + column, top, left + column + play.cx, top + play.cy};
    return places;
}

} // namespace snap
