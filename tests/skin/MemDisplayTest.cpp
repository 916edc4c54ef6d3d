// Animation, glyph text, and the buffered label.
#include "skin/MemAnimation.h"
#include "skin/MemGlyphText.h"
#include "skin/MemLabel.h"
#include "tests/skin/SkinTestSupport.h"

using namespace skintest;

namespace {

class MemDisplayTest : public SkinFixture {
protected:
    void SetUp() override {
        SkinFixture::SetUp();
        m_image = MakeCoordImage(120, 40);
    }
    std::unique_ptr<CSkinImage> m_image;
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
    for (int tick = 0; tick < 11; ++tick) {
        m_clock.Advance(250);
        shown.push_back(GetRValue(At(200, 10)) / 4);
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1}));
    m_clock.Advance(249);
    EXPECT_EQ(anim.GetFrame(), 2) << "no tick before 250 ms";
    anim.Start();
    EXPECT_EQ(anim.GetFrame(), 0);
    anim.Stop();
    m_clock.Advance(1000);
    EXPECT_EQ(anim.GetFrame(), 0) << "a stopped animation does not move";
    CMemAnimation none;
    none.Create(m_host.get(), 1, 0, 0, 4, 4, m_image.get(), 0);
    none.NextFrame();
    EXPECT_EQ(none.GetFrame(), 0) << "without frames it stays on the first";
}

namespace {

class GlyphTextTest : public MemDisplayTest {
protected:
    void SetUp() override {
        MemDisplayTest::SetUp();
        // Glyphs 8 × 6 in a grid of 4 per row and 3 rows, no gap; 56 wide at (10, 100).
        const int line[] = {10, 100, 56, 6, 8, 6, 4, 3, 0};
        ASSERT_TRUE(m_text.CreateFromLine(m_host.get(), 11, m_image.get(), line));
        m_text.SetAlphabet("0123456789:");
    }
    // The grid cell each drawn glyph came from, left to right.
    std::vector<CPoint> DrawnCells(int count, int advance = 8) {
        m_text.Draw(m_host->m_surface);
        std::vector<CPoint> cells;
        for (int i = 0; i < count; ++i) {
            const COLORREF c = At(10 + i * advance, 100);
            cells.push_back({GetRValue(c) / 8, GetGValue(c) / 6});
        }
        return cells;
    }
    CMemGlyphText m_text;
};

} // namespace

TEST_F(GlyphTextTest, CharactersUseTheCellOfTheirFirstOccurrence) {
    m_text.SetText("12:05");
    // Cells 1, 2, 10, 0, 5 in a grid four wide.
    EXPECT_EQ(DrawnCells(5), (std::vector<CPoint>{{1, 0}, {2, 0}, {2, 2}, {0, 0}, {1, 1}}));
    EXPECT_EQ(At(10 + 5 * 8, 100), kBackground) << "nothing beyond the text";
    m_text.SetAlphabet("PASED");
    m_text.SetText("paused");
    EXPECT_EQ(m_text.GetText(), "PAUSED");
    // U is not in the alphabet: the grid's last cell (3, 2).
    EXPECT_EQ(DrawnCells(6), (std::vector<CPoint>{{0, 0}, {1, 0}, {3, 2}, {2, 0}, {3, 0}, {0, 1}}));
    // The first occurrence wins.
    m_text.SetAlphabet("AAB");
    EXPECT_EQ(m_text.CellOf('A'), (CPoint{0, 0}));
    EXPECT_EQ(m_text.CellOf('B'), (CPoint{2, 0}));
}

TEST_F(GlyphTextTest, DrawingStopsAtTheRightEdgeGapsSpaceAndAGridWithoutCellsIsRefused) {
    m_text.SetText("0123456789");
    m_text.Draw(m_host->m_surface);
    EXPECT_EQ(At(10 + 6 * 8, 100), Coord(2 * 8, 6)) << "the seventh glyph is drawn";
    EXPECT_EQ(At(10 + 7 * 8, 100), kBackground) << "at most 7 glyphs in 56 pixels";
    // A glyph that starts inside the control is drawn at full size even past its edge.
    m_text.SetSize(60, -1);
    m_text.Draw(m_host->m_surface);
    EXPECT_EQ(At(10 + 7 * 8 + 7, 100), Coord(3 * 8 + 7, 6));
    EXPECT_EQ(At(10 + 8 * 8, 100), kBackground);
    const int line[] = {10, 150, 40, 6, 8, 6, 4, 3, 2};
    CMemGlyphText t;
    ASSERT_TRUE(t.CreateFromLine(m_host.get(), 1, m_image.get(), line));
    t.SetAlphabet("0123");
    t.SetText("1111");
    t.Draw(m_host->m_surface);
    EXPECT_EQ(At(10 + 8, 150), kBackground);
    EXPECT_EQ(At(10 + 10, 150), Coord(8, 0));
    EXPECT_EQ(At(10 + 40, 150), kBackground) << "the fifth pen position is past the edge";
    CMemGlyphText bad;
    const int noColumns[] = {0, 0, 40, 6, 8, 6, 0, 3, 0};
    const int noRows[] = {0, 0, 40, 6, 8, 6, 4, 0, 0};
    EXPECT_FALSE(bad.CreateFromLine(m_host.get(), 1, m_image.get(), noColumns));
    EXPECT_FALSE(bad.CreateFromLine(m_host.get(), 1, m_image.get(), noRows));
    bad.SetText("1");
    bad.Draw(m_host->m_surface); // must not divide by zero
    EXPECT_EQ(At(0, 0), kBackground);
}

TEST_F(MemDisplayTest, LabelRendersItsTextIntoItsOwnImageThatFollowsItsSize) {
    CMemLabel label;
    const int line[] = {20, 30, 120, 16, 99, 12};
    label.CreateFromLine(m_host.get(), 24, nullptr, line);
    ASSERT_NE(label.GetImage(), nullptr);
    EXPECT_EQ(label.GetFontHeight(), 12);
    label.SetBkColor(RGB(0, 0, 0));
    label.SetTextColor(RGB(255, 255, 0));
    label.SetText("");
    const CRect own{0, 0, 120, 16};
    EXPECT_EQ(CountNear(*label.GetImage(), own, RGB(255, 255, 0)), 0);
    EXPECT_EQ(label.GetImage()->GetPixel(0, 0), RGB(0, 0, 0));
    label.SetText("Clip");
    const int shortText = CountNear(*label.GetImage(), own, RGB(255, 255, 0));
    EXPECT_GT(shortText, 0);
    EXPECT_EQ(CountNear(*label.GetImage(), CRect{0, 0, 2, 16}, RGB(255, 255, 0)), 0)
        << "text starts two pixels in";
    label.SetText("Clip Clip Clip");
    EXPECT_GT(CountNear(*label.GetImage(), own, RGB(255, 255, 0)), shortText);
    label.Draw(m_host->m_surface);
    EXPECT_TRUE(m_host->m_surface.Image().copy(20, 30, 120, 16) == label.GetImage()->Image());
    label.SetBkColor(RGB(0, 0, 200));
    label.SetText("Clip");
    EXPECT_EQ(label.GetImage()->GetPixel(0, 0), RGB(0, 0, 200));

    // A text too long for a narrow label is drawn otherwise than without the ellipsis flag.
    CMemLabel a, b;
    const int narrow[] = {0, 0, 60, 16, 0, 12};
    a.CreateFromLine(m_host.get(), 1, nullptr, narrow);
    b.CreateFromLine(m_host.get(), 1, nullptr, narrow);
    a.SetText("A very long clip name that cannot fit");
    b.SetText("A very long clip name that cannot fit");
    b.SetFlags(0);
    a.Redraw();
    b.Redraw();
    EXPECT_FALSE(a.GetImage()->Image() == b.GetImage()->Image());
    // The buffered image follows the control's size.
    CMemLabel sized;
    sized.Create(m_host.get(), 1, 0, 0, 0, 10);
    EXPECT_EQ(sized.GetImage(), nullptr) << "no image for a zero width";
    sized.SetSize(30, 12);
    ASSERT_NE(sized.GetImage(), nullptr);
    EXPECT_EQ(sized.GetImage()->GetWidth(), 30);
    const CSkinImage* before = sized.GetImage();
    sized.SetSize(30, 12);
    EXPECT_EQ(sized.GetImage(), before) << "same size keeps the image";
    sized.SetSize(-1, 20);
    EXPECT_EQ(sized.GetImage()->GetHeight(), 20);
    EXPECT_EQ(sized.GetImage()->GetWidth(), 30);
    // The background of the parent under the control can be taken into the own image.
    m_host->m_surface.FillSolidRect({0, 0, 30, 20}, RGB(9, 9, 9));
    sized.CopyBackground(m_host->m_surface);
    EXPECT_EQ(sized.GetImage()->GetPixel(29, 19), RGB(9, 9, 9));
}
