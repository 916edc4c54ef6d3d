// The rectangle arithmetic of snapping, docking, group moves and step resizing.
#include "skin/SnapGeometry.h"

#include <array>
#include <gtest/gtest.h>

namespace {

constexpr CRect kScreen{0, 0, 1024, 768};

CRect At(int x, int y, int w = 312, int h = 118) {
    return {x, y, x + w, y + h};
}

// Where a dropped rectangle lands near a screen area (12 pixels) or another window (10).
CRect ToArea(CRect r, const CRect& area = kScreen) {
    snap::SnapToArea(r, area, 12);
    return r;
}
CRect ToWindow(CRect r, const CRect& other) {
    snap::SnapToWindow(r, other, 10);
    return r;
}

TEST(SnapGeometry, DroppedRectanglesSnapToTheAreaOrToAnotherWindow) {
    // Within the distance of an edge, not at it: x, y and where they land.
    const int drops[][4] = {{11, 300, 0, 300},  {-11, 300, 0, 300},   {1, 300, 0, 300},
                            {12, 300, 12, 300}, {-12, 300, -12, 300}, {701, 661, 712, 650},
                            {700, 12, 700, 12}};
    for (const auto& [x, y, toX, toY] : drops)
        EXPECT_EQ(ToArea(At(x, y)), At(toX, toY)) << x << "," << y;
    const CRect second{1024, 30, 2944, 1080};
    EXPECT_EQ(ToArea(At(1030, 40), second), At(1024, 30)); // a second area's edges are its own
    // Right edge 5 left of the other's left, top 7 below its top: flush and aligned; at 10 the
    // band (half open) no longer aligns; more than 10 apart nothing happens.
    EXPECT_EQ(ToWindow(At(83, 207), At(400, 200)), At(88, 200));
    EXPECT_EQ(ToWindow(At(83, 210), At(400, 200)), At(88, 210));
    EXPECT_EQ(ToWindow(At(83, 329), At(400, 200)), At(83, 329));
    // 8 below, 6 to the right: docked and left-aligned; a wider window right-aligns.
    EXPECT_EQ(ToWindow(At(206, 326, 312, 200), At(200, 200)), At(200, 318, 312, 200));
    EXPECT_EQ(ToWindow(At(154, 315, 362, 200), At(200, 200)), At(150, 318, 362, 200));
    const std::vector<CRect> areas{kScreen, second};
    EXPECT_EQ(snap::AreaOf(At(1000, 40), areas), second); // mostly on the second
    EXPECT_EQ(snap::AreaOf(At(5000, 40), areas), second); // off every screen: the nearest
    EXPECT_EQ(snap::AreaOf(At(0, 0), {}), CRect{});
}

TEST(SnapGeometry, TouchingGroupsAndTheWindowsBelow) {
    // Exactly one meeting edge touches, however far apart along the other axis.
    EXPECT_TRUE(snap::Touches(At(0, 0), At(312, 5000)));
    EXPECT_FALSE(snap::Touches(At(0, 0), At(313, 0)));
    EXPECT_FALSE(snap::Touches(At(0, 0), At(0, 0)));
    EXPECT_FALSE(snap::Touches(At(0, 0), At(312, 118))); // corner to corner
    // 0 main (leader); 1 below it; 2 below 1; 3 right of 2; 4 hidden, below 2; 5 another
    // leader right of 1; 6 right of 5.
    const std::vector<snap::WindowInfo> w{
        {{0, 0, 312, 118}, true, true},      {{0, 118, 320, 218}, true, false},
        {{7, 218, 307, 318}, true, false},   {{307, 250, 400, 290}, true, false},
        {{7, 318, 307, 400}, false, false},  {{320, 140, 350, 160}, true, true},
        {{350, 140, 380, 160}, true, false},
    };
    const auto lists = snap::TouchingLists(w);
    EXPECT_EQ(lists[0], (std::vector<std::size_t>{1}));
    EXPECT_EQ(lists[1], (std::vector<std::size_t>{0, 2, 5})); // the playlist moves alone
    EXPECT_TRUE(lists[4].empty());
    EXPECT_EQ(snap::LeaderGroup(0, w, lists), (std::vector<std::size_t>{1, 2, 5, 3}));
    // 0 main, 1 below it, 2 below 1, 3 elsewhere, 4 also below main: followers in chain order.
    const std::vector<CRect> rects{At(0, 0), At(0, 118), At(0, 236), At(500, 118), At(312, 118)};
    EXPECT_EQ(snap::WindowsBelow(rects, 0), (std::vector<std::size_t>{2, 1, 3, 4}));
    EXPECT_TRUE(snap::WindowsBelow(rects, 2).empty());
}

TEST(SnapGeometry, ResizeStepsOncePerMoveAndRearrangingKeepsLeftAndTop) {
    // Pointer positions one after another (step 20, minimum 312): whether the size stepped,
    // the size, and the anchor the next move is measured from.
    int anchor = 0, size = 312;
    const int moves[][4] = {{35, 1, 332, 20},  {35, 0, 332, 20}, {45, 1, 352, 40},
                            {45, 0, 352, 40},  {0, 1, 332, 20},  {-100, 1, 312, 0},
                            {-100, 1, 312, 0}, {19, 0, 312, 0},  {-19, 0, 312, 0}};
    for (const auto& [p, step, after, from] : moves) {
        EXPECT_EQ(snap::ResizeAxis(p, anchor, size, 20, 312), step != 0) << p;
        EXPECT_EQ(size, after) << p;
        EXPECT_EQ(anchor, from) << p;
    }
    EXPECT_EQ(snap::RearrangeOffset(At(900, 700), kScreen),
              (CPoint{1024 - 312 - 900, 768 - 118 - 700}));
    EXPECT_EQ(snap::RearrangeOffset(At(-40, -5), kScreen), (CPoint{40, 5}));
    EXPECT_EQ(snap::RearrangeOffset(At(10, 10), kScreen), (CPoint{0, 0}));
    // Wider or taller than the screen: left and top stay on it rather than being pushed off.
    EXPECT_EQ(snap::RearrangeOffset(At(100, 0, 2000), kScreen), (CPoint{-100, 0}));
    EXPECT_EQ(snap::RearrangeOffset(At(0, 10, 312, 900), kScreen), (CPoint{0, -10}));
}

} // namespace
