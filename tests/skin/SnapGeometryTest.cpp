// The rectangle arithmetic of snapping, docking, group moves and step resizing, without any
// window.
#include "skin/SnapGeometry.h"

#include <gtest/gtest.h>

namespace {

using snap::WindowInfo;

constexpr CRect kScreen{0, 0, 1024, 768};

CRect At(int x, int y, int w = 312, int h = 118) {
    return {x, y, x + w, y + h};
}

// Each case: the rectangle dropped, and where it lands.
void ExpectSnaps(const std::vector<std::pair<CRect, CRect>>& cases, const CRect& target,
                 bool bArea) {
    for (const auto& [from, to] : cases) {
        CRect r = from;
        if (bArea)
            snap::SnapToArea(r, target, 12);
        else
            snap::SnapToWindow(r, target, 10);
        EXPECT_EQ(r, to) << from.left << "," << from.top;
    }
}

TEST(SnapGeometry, ScreenEdgesSnapWithinTheDistanceButNotAtIt) {
    ExpectSnaps({{At(11, 300), At(0, 300)},
                 {At(-11, 300), At(0, 300)},
                 {At(1, 300), At(0, 300)},
                 {At(0, 300), At(0, 300)},
                 {At(12, 300), At(12, 300)},
                 {At(-12, 300), At(-12, 300)},
                 // Right and bottom edges keep the size; so does the top.
                 {At(1024 - 312 - 11, 768 - 118 + 11), At(1024 - 312, 768 - 118)},
                 {At(1024 - 312 - 12, 12), At(1024 - 312 - 12, 12)}},
                kScreen, true);
    // A second monitor area's edges are its own.
    const CRect second{1024, 30, 2944, 1080};
    ExpectSnaps({{At(1030, 40), At(1024, 30)}}, second, true);
    const std::vector<CRect> areas{kScreen, second};
    EXPECT_EQ(snap::AreaOf(At(1000, 40), areas), second); // mostly on the second
    EXPECT_EQ(snap::AreaOf(At(600, 40), areas), kScreen);
    EXPECT_EQ(snap::AreaOf(At(5000, 40), areas), second); // off every screen: the nearest
    EXPECT_EQ(snap::AreaOf(At(0, 0), {}), CRect{});
}

TEST(SnapGeometry, AWindowIsPlacedFlushThenAlignedAndDockedBelowAnother) {
    ExpectSnaps(
        {// Right edge 5 pixels left of the other's left edge, top 7 below the other's top.
         {At(400 - 5 - 312, 207), At(400 - 312, 200)},
         // Top 10 away: flush but not aligned (the band is half open).
         {At(400 - 5 - 312, 210), At(400 - 312, 210)},
         // Vertically more than 10 apart: nothing happens.
         {At(400 - 5 - 312, 200 + 118 + 11), At(400 - 5 - 312, 200 + 118 + 11)}},
        At(400, 200), false);
    // 8 below, 6 to the right: docked and left-aligned.
    ExpectSnaps({{At(206, 200 + 118 + 8, 312, 200), At(200, 318, 312, 200)}}, At(200, 200), false);
    // A wider window right-aligns instead when only its right edge is near.
    CRect r = At(150 + 4, 318 - 3, 362, 200);
    snap::SnapToWindow(r, At(200, 200), 10);
    EXPECT_EQ(r.top, 318);
    EXPECT_EQ(r.right, 512);
}

TEST(SnapGeometry, TouchingNeedsExactlyOneMeetingEdge) {
    // Far apart along the other axis still touch.
    EXPECT_TRUE(snap::Touches(At(0, 0), At(312, 5000)));
    EXPECT_TRUE(snap::Touches(At(0, 118), At(-3000, 0)));
    EXPECT_FALSE(snap::Touches(At(0, 0), At(313, 0)));
    EXPECT_FALSE(snap::Touches(At(0, 0), At(0, 0)));
    // Corner to corner: two edges meet, which is not touching.
    EXPECT_TRUE(!snap::Touches(At(0, 0), At(312, 118)));
}

TEST(SnapGeometry, TheLeaderGroupFollowsDockedChainsButNotOtherLeaders) {
    // 0 main (leader); 1 below it; 2 below 1; 3 right of 2; 4 hidden, below 2; 5 another
    // leader right of 1; 6 right of 5.
    std::vector<WindowInfo> w{
        {{0, 0, 312, 118}, true, true},      {{0, 118, 320, 218}, true, false},
        {{7, 218, 307, 318}, true, false},   {{307, 250, 400, 290}, true, false},
        {{7, 318, 307, 400}, false, false},  {{320, 140, 350, 160}, true, true},
        {{350, 140, 380, 160}, true, false},
    };
    const auto lists = snap::TouchingLists(w);
    EXPECT_EQ(lists[0], (std::vector<std::size_t>{1}));
    EXPECT_TRUE(lists[4].empty());
    const auto group = snap::LeaderGroup(0, w, lists);
    EXPECT_EQ(group, (std::vector<std::size_t>{1, 2, 5, 3}));
    // The playlist's own list stays as it is: it moves alone.
    EXPECT_EQ(lists[1], (std::vector<std::size_t>{0, 2, 5}));
}

TEST(SnapGeometry, ResizeTakesOneStepPerMoveAndKeepsTheMinimum) {
    int anchor = 0, size = 312;
    EXPECT_TRUE(snap::ResizeAxis(35, anchor, size, 20, 312));
    EXPECT_EQ(size, 332);
    EXPECT_FALSE(snap::ResizeAxis(35, anchor, size, 20, 312));
    EXPECT_EQ(size, 332);

    anchor = 0, size = 312;
    EXPECT_TRUE(snap::ResizeAxis(45, anchor, size, 20, 312));
    EXPECT_EQ(size, 332);
    EXPECT_TRUE(snap::ResizeAxis(45, anchor, size, 20, 312));
    EXPECT_EQ(size, 352);
    EXPECT_FALSE(snap::ResizeAxis(45, anchor, size, 20, 312));

    // Shrinking stops at the minimum, whatever the pointer does.
    anchor = 0, size = 322;
    EXPECT_TRUE(snap::ResizeAxis(-20, anchor, size, 20, 312));
    EXPECT_EQ(size, 312);
    EXPECT_EQ(anchor, 0);
    snap::ResizeAxis(-100, anchor, size, 20, 312);
    EXPECT_EQ(size, 312);
    // Less than a step either way changes nothing.
    EXPECT_FALSE(snap::ResizeAxis(19, anchor, size, 20, 312));
    EXPECT_FALSE(snap::ResizeAxis(-19, anchor, size, 20, 312));
}

TEST(SnapGeometry, RearrangingPutsWindowsBackWithLeftAndTopWinning) {
    EXPECT_EQ(snap::RearrangeOffset(At(900, 700), kScreen),
              (CPoint{1024 - 312 - 900, 768 - 118 - 700}));
    EXPECT_EQ(snap::RearrangeOffset(At(-40, -5), kScreen), (CPoint{40, 5}));
    EXPECT_EQ(snap::RearrangeOffset(At(10, 10), kScreen), (CPoint{0, 0}));
    // Wider or taller than the screen: left and top stay on it rather than being pushed off.
    EXPECT_EQ(snap::RearrangeOffset(At(100, 0, 2000), kScreen), (CPoint{-100, 0}));
    EXPECT_EQ(snap::RearrangeOffset(At(0, 10, 312, 900), kScreen), (CPoint{0, -10}));
}

TEST(SnapGeometry, WindowsBelowFollowInChainOrder) {
    // 0 main, 1 below it, 2 below 1, 3 elsewhere, 4 also below main.
    const std::vector<CRect> rects{At(0, 0), At(0, 118), At(0, 236), At(500, 118), At(312, 118)};
    EXPECT_EQ(snap::WindowsBelow(rects, 0), (std::vector<std::size_t>{2, 1, 3, 4}));
    EXPECT_TRUE(snap::WindowsBelow(rects, 2).empty());
}

} // namespace
