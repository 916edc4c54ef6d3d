#include "skin/SkinImage.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/ScratchFolder.h"

#include <fstream>
#include <gtest/gtest.h>

TEST(SkinImage, LoadedImageHasTheBitmapsRectangleAndPixels) {
    testsupport::ScratchFolder dir;
    const std::string path = dir / "a.bmp";
    testsupport::BmpSpec picture;
    picture.width = 5;
    picture.height = 3;
    picture.bitCount = 8;
    picture.palette = {0x000000, 0xFF0000, 0x00FF00};
    picture.pixel = [](int x, int y) { return std::uint32_t((x + y) % 3); };
    std::ofstream(path, std::ios::binary) << testsupport::MakeBmp(picture);

    std::unique_ptr<CSkinImage> image;
    CDC ref;
    ASSERT_TRUE(CSkinImage::Load(image, path, &ref));
    EXPECT_EQ(image->GetImageRect(), (CRect{0, 0, 5, 3}));
    EXPECT_EQ(image->GetReferenceDC(), &ref);
    EXPECT_EQ(image->GetPixel(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(image->GetPixel(1, 1), RGB(0, 255, 0));

    EXPECT_FALSE(CSkinImage::Load(image, path + ".missing", &ref));
    EXPECT_EQ(image, nullptr);
}

TEST(SkinImage, BitmapResourceLoadsFromMemory) {
    testsupport::BmpSpec picture;
    picture.pixel = [](int, int) { return 0x123456u; };
    const std::string bmp = testsupport::MakeBmp(picture);
    CSkinImage image;
    ASSERT_TRUE(
        image.LoadFromResource(reinterpret_cast<const std::uint8_t*>(bmp.data()), bmp.size()));
    EXPECT_EQ(image.GetWidth(), 4);
    EXPECT_EQ(image.GetHeight(), 3);
    EXPECT_EQ(image.GetPixel(3, 2), RGB(0x12, 0x34, 0x56));
    EXPECT_FALSE(image.LoadFromResource(reinterpret_cast<const std::uint8_t*>(bmp.data()), 20));
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
    EXPECT_EQ(screen.GetPixel(5, 6), RGB(200, 0, 0));
    EXPECT_EQ(screen.GetPixel(8, 7), RGB(200, 0, 0));
    EXPECT_EQ(screen.GetPixel(9, 7), RGB(1, 1, 1));
    EXPECT_EQ(screen.GetPixel(5, 8), RGB(1, 1, 1));
    {
        CSkinImage scratch(&screen, CRect{0, 0, 3, 3});
        EXPECT_EQ(scratch.GetPixel(0, 0), RGB(0, 0, 0));
    }
    EXPECT_EQ(screen.GetPixel(0, 0), RGB(1, 1, 1));
}
