#include "skin/SkinImage.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

TEST(SkinImage, LoadsFromAFileOrMemoryWithTheBitmapsRectangleAndPixels) {
    testsupport::ScratchFolder dir;
    const std::string bmp =
        testsupport::MakeBmp({.width = 5,
                              .height = 3,
                              .bitCount = 8,
                              .palette = {0x000000, 0xFF0000, 0x00FF00},
                              .pixel = [](int x, int y) { return std::uint32_t((x + y) % 3); }});
    std::unique_ptr<CSkinImage> image;
    CDC ref;
    ASSERT_TRUE(CSkinImage::Load(image, dir.MakeFile("a.bmp", bmp), &ref));
    EXPECT_EQ(image->GetImageRect(), (CRect{0, 0, 5, 3}));
    EXPECT_EQ(image->GetReferenceDC(), &ref);
    EXPECT_EQ(image->GetPixel(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(image->GetPixel(1, 1), RGB(0, 255, 0));
    EXPECT_FALSE(CSkinImage::Load(image, dir / "missing.bmp", &ref));
    EXPECT_EQ(image, nullptr);

    CSkinImage resource;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bmp.data());
    ASSERT_TRUE(resource.LoadFromResource(data, bmp.size()));
    EXPECT_EQ(resource.GetPixel(2, 2), RGB(255, 0, 0));
    EXPECT_FALSE(resource.LoadFromResource(data, 20));
}

TEST(SkinImage, OffScreenBufferCopiesItselfBackOnlyWhenAsked) {
    CDC screen;
    screen.CreateSolid(20, 20, RGB(1, 1, 1));
    {
        CSkinImage buffer(&screen, CRect{5, 6, 9, 8}, RGB(200, 0, 0), true);
        EXPECT_EQ(buffer.GetWidth(), 4);
        EXPECT_EQ(buffer.GetHeight(), 2);
        EXPECT_EQ(screen.GetPixel(5, 6), RGB(1, 1, 1)) << "nothing until it goes";
    }
    // Exactly the buffer's rectangle was copied.
    EXPECT_EQ((std::vector{screen.GetPixel(5, 6), screen.GetPixel(8, 7), screen.GetPixel(9, 7),
                           screen.GetPixel(5, 8)}),
              (std::vector{RGB(200, 0, 0), RGB(200, 0, 0), RGB(1, 1, 1), RGB(1, 1, 1)}));
    {
        CSkinImage scratch(&screen, CRect{0, 0, 3, 3});
        EXPECT_EQ(scratch.GetPixel(0, 0), RGB(0, 0, 0));
    }
    EXPECT_EQ(screen.GetPixel(0, 0), RGB(1, 1, 1));
}
