#include "platform/DC.h"
#include "tests/support/BmpWriter.h"

#include <functional>
#include <gtest/gtest.h>

using testsupport::BmpLayout;
using testsupport::MakeBmp;

namespace {

bool Load(CDC& dc, const std::string& bytes) {
    return dc.LoadBitmapData(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// 0x00RRGGBB as the surface reports it.
COLORREF Colour(std::uint32_t rgb) {
    return RGB(BYTE(rgb >> 16), BYTE(rgb >> 8), BYTE(rgb));
}

// Unsigned arithmetic: the huge test images wrap around instead of overflowing.
std::uint32_t Gradient(int x, int y) {
    return 0x102030u + std::uint32_t(x) * 0x0A0000u + std::uint32_t(y) * 0x000B01u;
}

BmpLayout Layout(int width, int height, int bits, std::function<std::uint32_t(int, int)> pixel,
                 std::vector<std::uint32_t> palette = {}) {
    return {width, height, bits, false, std::move(palette), std::move(pixel)};
}

} // namespace

TEST(BmpReader, EveryDepthDecodesInBothRowOrdersAndDamagedFilesLeaveTheSurfaceAlone) {
    const std::vector<std::uint32_t> palette16 = {
        0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xABCDEF, 0x808080, 0xFFFFFF,
        0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666, 0x777777, 0x888888};
    for (int bits : {1, 4, 8, 24, 32}) {
        for (bool topDown : {false, true}) {
            const std::size_t colours = bits == 1 ? 2 : 16;
            auto index = [colours](int x, int y) { return std::uint32_t(x * 3 + y) % colours; };
            // 13 wide: rows need padding at every depth.
            BmpLayout s = bits <= 8 ? Layout(13, 5, bits, index,
                                             {palette16.begin(), palette16.begin() + colours})
                                    : Layout(13, 5, bits, Gradient);
            s.topDown = topDown;
            CDC dc;
            ASSERT_TRUE(Load(dc, MakeBmp(s))) << bits << " bpp";
            ASSERT_TRUE(dc.Width() == 13 && dc.Height() == 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    ASSERT_EQ(dc.GetPixel(x, y),
                              Colour(bits <= 8 ? palette16[index(x, y)] : Gradient(x, y)))
                        << bits << " bpp, top-down " << topDown << " at " << x << "," << y;
        }
    }
    const std::string bytes = MakeBmp(Layout(4, 3, 24, Gradient));
    BmpLayout rle = Layout(4, 3, 8, [](int, int) { return 0u; }, {0, 0xFFFFFF});
    rle.compression = 1;
    const std::vector<std::string> bad = {
        "", "BM", bytes.substr(0, bytes.size() - 1), // pixel data cut short
        bytes.substr(0, 30),                         // header cut short
        "XX" + bytes.substr(2),                      // wrong signature
        MakeBmp(rle), MakeBmp(Layout(4, 3, 16, Gradient)), std::string(5000, '\xFF'),
        // A header promising a huge image with too little data is refused without allocating.
        MakeBmp(Layout(100000, 1, 24, Gradient)).substr(0, 200),
        // A complete 1-bit file of 2 MiB whose pixels would decode to more than 64 MiB.
        MakeBmp(Layout(4096, 4097, 1, [](int, int) { return 1u; }, {0, 0xFFFFFF}))};
    CDC dc;
    ASSERT_TRUE(dc.CreateSolid(2, 2, RGB(1, 2, 3)));
    for (const auto& b : bad) {
        EXPECT_FALSE(Load(dc, b)) << b.size();
        EXPECT_EQ(dc.Width(), 2);
        EXPECT_EQ(dc.GetPixel(1, 1), RGB(1, 2, 3));
    }
    EXPECT_FALSE(dc.LoadBitmapFile("/nonexistent/skin.bmp") || dc.LoadBitmapFile("/tmp"));
    // One row fewer than the refused file decodes.
    BmpLayout largest = Layout(4095, 4097, 1, [](int, int) { return 1u; }, {0, 0xFFFFFF});
    largest.topDown = true;
    ASSERT_TRUE(Load(dc, MakeBmp(largest)));
    EXPECT_EQ(dc.GetPixel(4094, 4096), RGB(255, 255, 255));
}

TEST(Surface, BitBltClipsExcludedRectanglesStayUntouchedAndTextStaysInItsRectangle) {
    CDC src, dst, dst2, dst3;
    ASSERT_TRUE(src.CreateSolid(4, 4, RGB(200, 0, 0)));
    src.SetPixel(0, 0, RGB(0, 0, 255));
    ASSERT_TRUE(dst.CreateSolid(6, 6, 0) && dst2.CreateSolid(3, 3, 0) && dst3.CreateSolid(4, 4, 0));
    // Source block partly outside the source: only the part inside it is copied.
    dst.BitBlt(1, 1, 10, 10, src, 2, 2);
    EXPECT_EQ(dst.GetPixel(2, 2), RGB(200, 0, 0));
    EXPECT_EQ(dst.GetPixel(3, 3), RGB(0, 0, 0));
    // Destination block partly outside the destination, negative position included.
    dst2.BitBlt(-1, -1, 4, 4, src, 0, 0);
    EXPECT_EQ(dst2.GetPixel(0, 0), RGB(200, 0, 0)); // source (1,1)
    dst2.BitBlt(2, 2, 4, 4, src, 0, 0);
    EXPECT_EQ(dst2.GetPixel(2, 2), RGB(0, 0, 255)); // source (0,0)
    // Negative source position: the block starts where the source does.
    dst3.BitBlt(0, 0, 4, 4, src, -2, -2);
    EXPECT_EQ(dst3.GetPixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dst3.GetPixel(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(dst3.GetPixel(3, 3), RGB(200, 0, 0));
    ASSERT_TRUE(src.CreateSolid(10, 10, RGB(0, 255, 0)));
    ASSERT_TRUE(dst.CreateSolid(10, 10, RGB(0, 0, 0)));
    dst.ExcludeClipRect({2, 2, 5, 5});
    dst.BitBlt(0, 0, 10, 10, src, 0, 0);
    dst.FillSolidRect({0, 0, 10, 1}, RGB(9, 9, 9));
    EXPECT_EQ(dst.GetPixel(1, 1), RGB(0, 255, 0));
    EXPECT_EQ(dst.GetPixel(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(dst.GetPixel(4, 4), RGB(0, 0, 0));
    EXPECT_EQ(dst.GetPixel(5, 5), RGB(0, 255, 0));
    EXPECT_EQ(dst.GetPixel(3, 0), RGB(9, 9, 9));
    dst.ResetClip();
    dst.FillSolidRect({0, 0, 10, 10}, RGB(1, 1, 1));
    EXPECT_EQ(dst.GetPixel(3, 3), RGB(1, 1, 1));

    CDC dc;
    ASSERT_TRUE(dc.CreateSolid(100, 30, RGB(0, 0, 0)));
    dc.DrawText("WWWW", {10, 5, 60, 25}, RGB(255, 255, 255), 14);
    int lit = 0, outside = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            if (dc.GetPixel(x, y) != RGB(0, 0, 0))
                (x >= 10 && x < 60 && y >= 5 && y < 25 ? lit : outside)++;
    EXPECT_GT(lit, 10);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(CDC::GetTextWidth("WWWW", 14), CDC::GetTextWidth("W", 14));
}
