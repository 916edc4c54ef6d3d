// The built-in skin drawn by the generator: every bitmap has the size its layout needs and every
// source rectangle of the layouts lies inside its image (the skin file tests load its cursors).
// That the sample "Test Skin" folder holds the same skin is checked by each window drawing both.
#include "skin/BuiltInSkin.h"
#include "res/BuiltInSkinLayout.h"
#include "skin/SkinImage.h"

#include <gtest/gtest.h>
#include <memory>
#include <span>

namespace {

std::unique_ptr<CSkinImage> Load(int id) {
    std::unique_ptr<CSkinImage> p;
    EXPECT_TRUE(builtin::LoadBuiltInImage(p, id)) << "resource " << id;
    return p;
}

// Whether a source rectangle lies in the image; -1,-1 is no source.
bool Inside(const CSkinImage& image, int sx, int sy, int w, int h) {
    return (sx == -1 && sy == -1) ||
           (sx >= 0 && sy >= 0 && sx + w <= image.GetWidth() && sy + h <= image.GetHeight());
}

// Whether every source rectangle a control line takes from its image, by kind, lies in it.
bool SourcesInside(const builtin::ControlLine& l, const CSkinImage& image) {
    const auto& n = l.n;
    bool inside = true;
    if (l.nCount == builtin::kButton || l.nCount == builtin::kCheck || l.nCount == builtin::kState)
        for (std::size_t i = 4; i + 1 < std::size_t(l.nCount); i += 2)
            inside &= Inside(image, n[i], n[i + 1], n[2], n[3]);
    if (l.nCount == builtin::kSlider)
        inside = Inside(image, n[10], n[11], n[8], n[9]) && Inside(image, n[12], n[13], n[8], n[9]);
    if (l.nCount == builtin::kAnim)
        inside = Inside(image, 0, 0, n[2] * n[4], n[3]);
    if (l.nCount == builtin::kGlyph)
        inside = Inside(image, 0, 0, n[4] * n[6], n[5] * n[7]);
    return inside;
}

TEST(BuiltInSkin, EveryBitmapHasTheSizeOfItsLayoutHoldsItsSourcesAndDigitsDiffer) {
    for (const builtin::ImageSize& s : builtin::kImageSizes) {
        auto image = Load(s.nId);
        ASSERT_TRUE(image);
        EXPECT_EQ(std::pair(image->GetWidth(), image->GetHeight()), std::pair(s.nWidth, s.nHeight))
            << s.nId;
    }
    EXPECT_EQ(Load(builtin::kIcon)->GetWidth(), 32);
    // The main window's background covers the expanded window; its bars cover the shaded one.
    EXPECT_EQ(Load(builtin::kMainBackground)->GetHeight(), builtin::kExpandedHeight);
    EXPECT_GE(Load(builtin::kMainBars)->GetHeight(), 38 + builtin::kShadeHeight);
    std::unique_ptr<CSkinImage> none;
    EXPECT_FALSE(builtin::LoadBuiltInImage(none, 4242) || none);

    using Lines = std::span<const builtin::ControlLine>;
    for (Lines lines : {Lines(builtin::kMainControls), Lines(builtin::kPlaylistControls),
                        Lines(builtin::kPlayControls)})
        for (const builtin::ControlLine& l : lines)
            EXPECT_TRUE(l.nImage == 0 || SourcesInside(l, *Load(l.nImage))) << l.pszName;
    for (auto [pieces, id] : {std::pair{builtin::kPlaylistPieces, int(builtin::kPlaylistFrame)},
                              std::pair{builtin::kPlayPieces, int(builtin::kPlayFrame)}}) {
        auto image = Load(id);
        for (const builtin::FramePiece& p : pieces)
            EXPECT_TRUE(Inside(*image, p.x, p.y, p.cx, p.cy)) << id;
    }
    // Each digit is its own picture, drawn on the label's background so the panel has no seams.
    auto digits = Load(builtin::kMainLargeDigits);
    const COLORREF back = RGB(builtin::kLabelBack.r, builtin::kLabelBack.g, builtin::kLabelBack.b);
    EXPECT_EQ(digits->GetPixel(0, 0), back);
    EXPECT_EQ(Load(builtin::kMainBackground)->GetPixel(258, 26), back) << "under the clip label";
    auto cell = [&](int k) { return digits->Image().copy(10 * k, 0, 10, 11); };
    for (int a = 0; a < 11; ++a)
        for (int b = a + 1; b < 11; ++b)
            EXPECT_FALSE(cell(a) == cell(b)) << a << " " << b;
}

} // namespace
