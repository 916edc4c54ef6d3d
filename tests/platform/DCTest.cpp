#include "platform/DC.h"
#include "tests/support/BmpWriter.h"

#include <functional>
#include <gtest/gtest.h>

using testsupport::BmpSpec;
using testsupport::MakeBmp;

namespace {

bool Load(CDC& dc, const std::string& bytes) {
    return dc.LoadBitmapData(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// 0x00RRGGBB as the surface reports it.
COLORREF Colour(std::uint32_t rgb) {
    return RGB(BYTE(rgb >> 16), BYTE(rgb >> 8), BYTE(rgb));
}

std::uint32_t Gradient(int x, int y) {
    // Unsigned arithmetic: the huge test images wrap around instead of overflowing.
    return 0x102030u + std::uint32_t(x) * 0x0A0000u + std::uint32_t(y) * 0x000B01u;
}

} // namespace

TEST(BmpReader, EveryDepthDecodesItsPixelsInBothRowOrders) {
    const std::vector<std::uint32_t> palette16 = {
        0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xABCDEF, 0x808080, 0xFFFFFF,
        0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666, 0x777777, 0x888888};
    for (int bits : {1, 4, 8, 24, 32}) {
        for (bool topDown : {false, true}) {
            BmpSpec s;
            s.width = 13; // rows need padding at every depth
            s.height = 5;
            s.bitCount = bits;
            s.topDown = topDown;
            const int colours = bits == 1 ? 2 : 16;
            std::function<std::uint32_t(int, int)> expected = Gradient;
            if (bits <= 8) {
                s.palette.assign(palette16.begin(), palette16.begin() + colours);
                expected = [&](int x, int y) {
                    return s.palette[std::size_t(x * 3 + y) % colours];
                };
                s.pixel = [colours](int x, int y) { return std::uint32_t((x * 3 + y) % colours); };
            } else {
                s.pixel = Gradient;
            }
            CDC dc;
            ASSERT_TRUE(Load(dc, MakeBmp(s))) << bits << " bpp";
            ASSERT_EQ(dc.Width(), 13);
            ASSERT_EQ(dc.Height(), 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    ASSERT_EQ(dc.GetPixel(x, y), Colour(expected(x, y)))
                        << bits << " bpp, top-down " << topDown << " at " << x << "," << y;
        }
    }
}

TEST(BmpReader, DamagedOrUnsupportedFilesFailAndLeaveTheSurfaceAlone) {
    BmpSpec good;
    good.pixel = Gradient;
    const std::string bytes = MakeBmp(good);

    BmpSpec rle = good;
    rle.bitCount = 8;
    rle.palette = {0, 0xFFFFFF};
    rle.compression = 1;
    rle.pixel = [](int, int) { return 0u; };
    BmpSpec sixteen = good;
    sixteen.bitCount = 16;
    BmpSpec huge = good;
    huge.width = 100000;
    huge.height = 1;

    const std::vector<std::string> bad = {
        "",
        "BM",
        bytes.substr(0, bytes.size() - 1), // pixel data cut short
        bytes.substr(0, 30),               // header cut short
        "XX" + bytes.substr(2),            // wrong signature
        MakeBmp(rle),
        MakeBmp(sixteen),
        std::string(5000, '\xFF'),
    };
    CDC dc;
    ASSERT_TRUE(dc.CreateSolid(2, 2, RGB(1, 2, 3)));
    for (const auto& b : bad) {
        EXPECT_FALSE(Load(dc, b));
        EXPECT_EQ(dc.Width(), 2);
        EXPECT_EQ(dc.GetPixel(1, 1), RGB(1, 2, 3));
    }
    // A header promising a huge image with too little data is refused without allocating it.
    std::string hugeHeader = MakeBmp(huge).substr(0, 200);
    EXPECT_FALSE(Load(dc, hugeHeader));
    // A complete 1-bit file of 2 MiB whose pixels would decode to more than 64 MiB is refused;
    // one row fewer decodes.
    BmpSpec manyPixels;
    manyPixels.bitCount = 1;
    manyPixels.palette = {0, 0xFFFFFF};
    manyPixels.pixel = [](int, int) { return 1u; };
    manyPixels.width = 4096;
    manyPixels.height = 4097;
    EXPECT_FALSE(Load(dc, MakeBmp(manyPixels)));
    EXPECT_EQ(dc.Width(), 2);
    manyPixels.width = 4095;
    manyPixels.topDown = true;
    ASSERT_TRUE(Load(dc, MakeBmp(manyPixels)));
    EXPECT_EQ(dc.GetPixel(4094, 4096), RGB(255, 255, 255));
    EXPECT_FALSE(dc.LoadBitmapFile("/nonexistent/skin.bmp"));
    EXPECT_FALSE(dc.LoadBitmapFile("/tmp")); // a folder
}

TEST(Surface, BitBltClipsAtBothSurfacesEdges) {
    CDC src, dst;
    ASSERT_TRUE(src.CreateSolid(4, 4, RGB(200, 0, 0)));
    src.SetPixel(0, 0, RGB(0, 0, 255));
    ASSERT_TRUE(dst.CreateSolid(6, 6, RGB(0, 0, 0)));

    // Source block partly outside the source: only the part inside it is copied.
    dst.BitBlt(1, 1, 10, 10, src, 2, 2);
    EXPECT_EQ(dst.GetPixel(1, 1), RGB(200, 0, 0));
    EXPECT_EQ(dst.GetPixel(2, 2), RGB(200, 0, 0));
    EXPECT_EQ(dst.GetPixel(3, 3), RGB(0, 0, 0));

    // Destination block partly outside the destination, negative position included.
    CDC dst2;
    ASSERT_TRUE(dst2.CreateSolid(3, 3, RGB(0, 0, 0)));
    dst2.BitBlt(-1, -1, 4, 4, src, 0, 0);
    EXPECT_EQ(dst2.GetPixel(0, 0), RGB(200, 0, 0)); // source (1,1)
    dst2.BitBlt(2, 2, 4, 4, src, 0, 0);
    EXPECT_EQ(dst2.GetPixel(2, 2), RGB(0, 0, 255)); // source (0,0)

    // Negative source position: the block starts where the source does.
    CDC dst3;
    ASSERT_TRUE(dst3.CreateSolid(4, 4, RGB(0, 0, 0)));
    dst3.BitBlt(0, 0, 4, 4, src, -2, -2);
    EXPECT_EQ(dst3.GetPixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dst3.GetPixel(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(dst3.GetPixel(3, 3), RGB(200, 0, 0));
}

TEST(Surface, ExcludedRectanglesAreLeftUntouched) {
    CDC src, dst;
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
}

TEST(Surface, TextIsDrawnInsideItsRectangleOnly) {
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
