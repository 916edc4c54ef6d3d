// The rectangle arithmetic of the skinned windows, free of any window: snapping to the screen
// and to other windows, which windows touch and form a group, resizing in fixed steps, putting
// windows back on the screen, and which stacked windows follow a height change.
#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <vector>

namespace snap {

// Moves r (keeping its size) to an edge of the area when that edge is nearer than d (strictly).
void SnapToArea(CRect& r, const CRect& area, int d);

// Moves r (keeping its size) flush against or into alignment with the other window o, when
// its edges are within [edge - d, edge + d) of o's.
void SnapToWindow(CRect& r, const CRect& o, int d);

// Two windows touch when exactly one edge of a meets the opposite edge of b, whatever their
// distance along the other axis.
bool Touches(const CRect& a, const CRect& b);

struct WindowInfo {
    CRect rect;
    bool bVisible = true;
    bool bLeader = false;
};

// For each window, the indexes of the visible windows it touches (none for an invisible one).
std::vector<std::vector<std::size_t>> TouchingLists(const std::vector<WindowInfo>& windows);

// The leader's group: everything it touches, and, walking through visible non-leaders, what
// those touch in turn. Leaders are never walked; the leader itself is not in the group.
std::vector<std::size_t> LeaderGroup(std::size_t leader, const std::vector<WindowInfo>& windows,
                                     const std::vector<std::vector<std::size_t>>& touching);

// One axis of a step resize: with the pointer at p, grows or shrinks size by one step when p
// is a step past the anchor, moving the anchor by the step; never below nMin. True when a
// step was taken.
bool ResizeAxis(int p, int& nAnchor, int& nSize, int nStep, int nMin);

// The offset that brings w back inside the area: a window past the right or bottom edge is
// pushed back in, one past the left or top edge is put on it (left and top win).
CPoint RearrangeOffset(const CRect& w, const CRect& area);

// The area (of several, e.g. the monitors' available areas) that a rectangle is on: the one it
// overlaps most, else the one nearest its centre. An empty list gives an empty rectangle.
CRect AreaOf(const CRect& r, const std::vector<CRect>& areas);

// The windows that follow a height change of window self by dy, in the order they move: each
// window whose top meets the bottom of a moving window, the windows below it first.
std::vector<std::size_t> WindowsBelow(const std::vector<CRect>& rects, std::size_t self);

// Where the three windows go at the first start: the main window with the playlist docked
// below it and the play window docked to their right (beside the wider of the two), the group in
// the middle of the area (its top-left corner kept inside the area when the group is larger).
struct FirstStartPlaces {
    CRect main, playlist, play;
};
FirstStartPlaces FirstStartLayout(CSize main, CSize playlist, CSize play, const CRect& area);

} // namespace snap
