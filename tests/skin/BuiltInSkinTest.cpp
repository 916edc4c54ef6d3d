// The built-in skin drawn by the generator: every bitmap has the size its layout needs, every
// source rectangle of the layouts lies inside its image and the cursors load. That the sample
// "Test Skin" folder holds the same skin is checked by each window drawing both alike.
#include "skin/BuiltInSkin.h"
#include "res/BuiltInSkinLayout.h"
#include "skin/SkinCursor.h"
#include "skin/SkinImage.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using builtin::ControlLine;

std::unique_ptr<CSkinImage> Load(int id) {
    std::unique_ptr<CSkinImage> p;
    EXPECT_TRUE(builtin::LoadBuiltInImage(p, id)) << "resource " << id;
    return p;
}

// The source rectangles a control line takes from its image, by kind.
std::vector<CRect> Sources(const ControlLine& l) {
    const auto& n = l.n;
    std::vector<CRect> out;
    auto add = [&](int sx, int sy, int w, int h) {
        if (!(sx == -1 && sy == -1))
            out.push_back({sx, sy, sx + w, sy + h});
    };
    switch (l.nCount) {
    case builtin::kButton:
    case builtin::kCheck:
    case builtin::kState:
        for (int i = 4; i + 1 < l.nCount; i += 2)
            add(n[std::size_t(i)], n[std::size_t(i + 1)], n[2], n[3]);
        break;
    case builtin::kSlider:
        add(n[10], n[11], n[8], n[9]);
        add(n[12], n[13], n[8], n[9]);
        break;
    case builtin::kAnim:
        add(0, 0, n[2] * n[4], n[3]);
        break;
    case builtin::kGlyph:
        add(0, 0, n[4] * n[6], n[5] * n[7]);
        break;
    default:
        break;
    }
    return out;
}

bool Inside(const CRect& r, const CSkinImage& image) {
    return r.left >= 0 && r.top >= 0 && r.right <= image.GetWidth() &&
           r.bottom <= image.GetHeight();
}

template <std::size_t N> void ExpectSourcesInside(const std::array<ControlLine, N>& lines) {
    for (const ControlLine& l : lines) {
        if (l.nImage == 0)
            continue;
        auto image = Load(l.nImage);
        ASSERT_TRUE(image);
        for (const CRect& r : Sources(l))
            EXPECT_TRUE(Inside(r, *image)) << l.pszName << " source " << r.left << "," << r.top
                                           << " " << r.Width() << "x" << r.Height();
    }
}

TEST(BuiltInSkin, EveryBitmapHasTheSizeOfItsLayout) {
    for (const builtin::ImageSize& s : builtin::kImageSizes) {
        auto image = Load(s.nId);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->GetWidth(), s.nWidth) << s.nId;
        EXPECT_EQ(image->GetHeight(), s.nHeight) << s.nId;
    }
    auto icon = Load(builtin::kIcon);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->GetWidth(), 32);
    // The main window's background covers the expanded window; its bars cover the shaded one.
    EXPECT_EQ(Load(builtin::kMainBackground)->GetHeight(), builtin::kExpandedHeight);
    EXPECT_GE(Load(builtin::kMainBars)->GetHeight(), 38 + builtin::kShadeHeight);
    std::unique_ptr<CSkinImage> none;
    EXPECT_FALSE(builtin::LoadBuiltInImage(none, 4242));
    EXPECT_FALSE(none);
}

TEST(BuiltInSkin, EverySourceRectangleLiesInItsImage) {
    ExpectSourcesInside(builtin::kMainControls);
    ExpectSourcesInside(builtin::kPlaylistControls);
    ExpectSourcesInside(builtin::kPlayControls);
    for (auto [pieces, id] : {std::pair{builtin::kPlaylistPieces, int(builtin::kPlaylistFrame)},
                              std::pair{builtin::kPlayPieces, int(builtin::kPlayFrame)}}) {
        auto image = Load(id);
        for (const builtin::FramePiece& p : pieces)
            EXPECT_TRUE(Inside({p.x, p.y, p.x + p.cx, p.y + p.cy}, *image)) << id;
    }
}

TEST(BuiltInSkin, GlyphCellsDiffer) {
    // Each digit of the time display is its own picture, and the glyphs are drawn on the
    // label's background colour so the display panel has no seams.
    auto digits = Load(builtin::kMainLargeDigits);
    const COLORREF back = RGB(builtin::kLabelBack.r, builtin::kLabelBack.g, builtin::kLabelBack.b);
    EXPECT_EQ(digits->GetPixel(0, 0), back);
    EXPECT_EQ(Load(builtin::kMainBackground)->GetPixel(258, 26), back) << "under the clip label";
    auto cell = [&](int k) { return digits->Image().copy(10 * k, 0, 10, 11); };
    for (int a = 0; a < 11; ++a)
        for (int b = a + 1; b < 11; ++b)
            EXPECT_FALSE(cell(a) == cell(b)) << a << " " << b;
}

TEST(BuiltInSkin, CursorsFillTheSixSlots) {
    CSkinCursors::Clear();
    builtin::LoadBuiltInCursors();
    for (int slot = 0; slot < CSkinCursors::kSlots; ++slot) {
        auto cursor = CSkinCursors::Get(slot);
        ASSERT_TRUE(cursor) << slot;
        EXPECT_EQ(cursor->GetStepFrame(0).nWidth, 32);
    }
    // The pointer's hot spot is its tip; the resize arrows point from their middle.
    EXPECT_EQ(CSkinCursors::Get(5)->GetStepFrame(0).hotSpot, (CPoint{1, 1}));
    EXPECT_EQ(CSkinCursors::Get(4)->GetStepFrame(0).hotSpot, (CPoint{16, 16}));
    CSkinCursors::Clear();
}

} // namespace
