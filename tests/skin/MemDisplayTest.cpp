#include "skin/MemAnimation.h"
#include "skin/MemGlyphText.h"
#include "skin/MemLabel.h"
#include "tests/skin/SkinTestSupport.h"

using namespace skintest;

namespace {

class MemDisplayTest : public SkinFixture {
protected:
    std::unique_ptr<CSkinImage> m_image = MakeCoordImage(120, 40);
};

} // namespace

TEST_F(MemDisplayTest, AnimationStepsOneFramePerTickAndWraps) {
    CMemAnimation anim;
    const int line[] = {200, 10, 4, 5, 9};
    anim.CreateFromLine(m_host.get(), 29, m_image.get(), line);
    anim.SetTimerOwner(m_host.get(), 29);
    m_host->m_onMessage = [&](UINT msg, WPARAM id, LPARAM) {
        if (msg == WM_TIMER && id == 29)
            anim.NextFrame();
    };
    anim.Start();
    std::vector<int> shown;
    for (int tick = 0; tick < 11; ++tick)
        m_clock.Advance(250), shown.push_back(GetRValue(At(200, 10)) / 4);
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1}));
    anim.Start();
    EXPECT_EQ(anim.GetFrame(), 0);
    anim.Stop();
    m_clock.Advance(1000);
    EXPECT_EQ(anim.GetFrame(), 0) << "a stopped animation does not move";
    anim.Create(m_host.get(), 1, 0, 0, 4, 4, m_image.get(), 0);
    anim.NextFrame();
    EXPECT_EQ(anim.GetFrame(), 0) << "without frames it stays on the first";
}

// Glyphs 8 × 6 in a grid of 4 per row and 3 rows, no gap; 56 wide at (10, 100).
TEST_F(MemDisplayTest, GlyphTextDrawsTheCellOfEachCharactersFirstOccurrenceWithinItsWidth) {
    CMemGlyphText text;
    const int line[] = {10, 100, 56, 6, 8, 6, 4, 3, 0};
    ASSERT_TRUE(text.CreateFromLine(m_host.get(), 11, m_image.get(), line));
    // The grid cell of each glyph drawn at the pen positions, left to right.
    const auto drawn = [&](const char* s, int count) {
        text.SetText(s);
        text.Draw(m_host->m_surface);
        std::vector<CPoint> cells;
        for (int x = 10; x < 10 + count * 8; x += 8)
            cells.push_back({GetRValue(At(x, 100)) / 8, GetGValue(At(x, 100)) / 6});
        return cells;
    };
    text.SetAlphabet("0123456789:");
    EXPECT_EQ(drawn("12:05", 5), (std::vector<CPoint>{{1, 0}, {2, 0}, {2, 2}, {0, 0}, {1, 1}}));
    // U is not in the alphabet: the grid's last cell (3, 2); lower case is shown upper case.
    text.SetAlphabet("PASED");
    EXPECT_EQ(drawn("paused", 6),
              (std::vector<CPoint>{{0, 0}, {1, 0}, {3, 2}, {2, 0}, {3, 0}, {0, 1}}));
    text.SetAlphabet("AAB");
    EXPECT_EQ(text.CellOf('A'), (CPoint{0, 0})) << "the first occurrence wins";
    // At most 7 glyphs in 56 pixels; one that starts inside is drawn whole, even past the edge.
    text.SetAlphabet("0123456789:");
    EXPECT_EQ(drawn("0123456789", 7).back(), (CPoint{2, 1}));
    EXPECT_EQ(At(10 + 7 * 8, 100), kBackground);
    text.SetSize(60, -1);
    text.Draw(m_host->m_surface);
    EXPECT_EQ((std::pair{At(10 + 7 * 8 + 7, 100), At(10 + 8 * 8, 100)}),
              (std::pair{Coord(3 * 8 + 7, 6), kBackground}));
    // A gap of 2 pixels between glyphs; the fifth pen position is past the edge.
    const int gapped[] = {10, 150, 40, 6, 8, 6, 4, 3, 2};
    ASSERT_TRUE(text.CreateFromLine(m_host.get(), 1, m_image.get(), gapped));
    text.SetAlphabet("0123");
    text.SetText("1111");
    text.Draw(m_host->m_surface);
    EXPECT_EQ((std::vector{At(18, 150), At(20, 150), At(50, 150)}),
              (std::vector{kBackground, Coord(8, 0), kBackground}));
    // A grid without columns is refused, and the refused control draws nothing.
    const int noColumns[] = {0, 0, 40, 6, 8, 6, 0, 3, 0};
    CMemGlyphText refused;
    EXPECT_FALSE(refused.CreateFromLine(m_host.get(), 1, m_image.get(), noColumns));
    refused.SetText("1");
    refused.Draw(m_host->m_surface);
    EXPECT_EQ(At(0, 0), kBackground);
}

TEST_F(MemDisplayTest, LabelRendersItsTextIntoItsOwnImageThatFollowsItsSize) {
    constexpr COLORREF kYellow = RGB(255, 255, 0);
    CMemLabel label;
    const int line[] = {20, 30, 120, 16, 99, 12};
    label.CreateFromLine(m_host.get(), 24, nullptr, line);
    EXPECT_EQ(label.GetFontHeight(), 12);
    label.SetBkColor(RGB(0, 0, 0));
    label.SetTextColor(kYellow);
    label.SetText("Clip");
    EXPECT_EQ(label.GetImage()->GetPixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(CountNear(*label.GetImage(), {0, 0, 2, 16}, kYellow), 0) << "text starts 2 pixels in";
    EXPECT_GT(CountNear(*label.GetImage(), {0, 0, 120, 16}, kYellow), 0);
    label.Draw(m_host->m_surface);
    EXPECT_TRUE(m_host->m_surface.Image().copy(20, 30, 120, 16) == label.GetImage()->Image());
    // A text too long for a narrow label ends otherwise than without the ellipsis flag.
    label.SetSize(60, -1);
    label.SetText("A very long clip name that cannot fit");
    const QImage ellipsis = label.GetImage()->Image();
    label.SetFlags(0);
    label.Redraw();
    EXPECT_FALSE(ellipsis == label.GetImage()->Image());
    // The own image follows the control's size; none for a zero width.
    const CSkinImage* before = label.GetImage();
    label.SetSize(60, 16);
    EXPECT_EQ(label.GetImage(), before) << "same size keeps the image";
    label.SetSize(-1, 20);
    EXPECT_EQ((std::pair{label.GetImage()->GetWidth(), label.GetImage()->GetHeight()}),
              (std::pair{60, 20}));
    m_host->m_surface.FillSolidRect({20, 30, 80, 50}, RGB(9, 9, 9));
    label.CopyBackground(m_host->m_surface);
    EXPECT_EQ(label.GetImage()->GetPixel(59, 19), RGB(9, 9, 9)) << "the parent's background";
    label.SetSize(0, -1);
    EXPECT_EQ(label.GetImage(), nullptr);
}
