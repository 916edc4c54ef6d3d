// The GIF writer of the update animation: its files must decode, frame by frame and pixel by
// pixel, with Qt's own GIF reader, whatever the data makes the LZW codes do.
#include "tools/update-animation/GifEncoder.h"
#include "shell/PictureEx.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

// Frames of colour indices, random or in long runs, over a palette of the given size.
gif::Animation MakeAnimation(int width, int height, int colours, int frames, bool runs) {
    gif::Animation animation{.width = width, .height = height, .palette = {}, .frames = {}};
    for (int c = 0; c < colours; ++c)
        animation.palette.push_back(std::uint32_t(c * 0x010305 + 0x102030) & 0xFFFFFF);
    std::mt19937 random{unsigned(colours)};
    for (int f = 0; f < frames; ++f) {
        gif::Frame frame{std::vector<std::uint8_t>(std::size_t(width * height)),
                         std::uint16_t(5 + f)};
        std::uint8_t current = 0;
        for (auto& index : frame.pixels)
            index = current = (!runs || random() % 50 == 0)
                                  ? std::uint8_t(random() % unsigned(colours))
                                  : current;
        animation.frames.push_back(std::move(frame));
    }
    return animation;
}

void ExpectDecodesTo(const gif::Animation& animation, int loops = -1) {
    const std::vector<std::uint8_t> bytes = gif::Encode(animation);
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QList<QRgb> colours;
    for (std::uint32_t rgb : animation.palette)
        colours.push_back(0xFF000000 | rgb);
    std::size_t f = 0;
    for (QImage image; reader.read(&image); ++f) {
        ASSERT_LT(f, animation.frames.size());
        QImage expected(animation.frames[f].pixels.data(), animation.width, animation.height,
                        animation.width, QImage::Format_Indexed8);
        expected.setColorTable(colours);
        EXPECT_TRUE(image.convertToFormat(QImage::Format_RGB32) ==
                    expected.convertToFormat(QImage::Format_RGB32))
            << f;
        EXPECT_EQ(reader.nextImageDelay(), animation.frames[f].delay * 10);
    }
    EXPECT_EQ(f, animation.frames.size());
    EXPECT_EQ(reader.loopCount(), loops);
}

} // namespace

TEST(GifEncoder, ImagesDecodeExactlyForEveryCodeWidth) {
    ExpectDecodesTo(MakeAnimation(1, 1, 2, 1, false));  // the smallest image
    ExpectDecodesTo(MakeAnimation(37, 11, 4, 3, true)); // runs: long codes early
    ExpectDecodesTo(MakeAnimation(64, 64, 16, 2, false));
    // Random bytes of 256 colours fill the 4096 codes many times over: clear codes follow.
    ExpectDecodesTo(MakeAnimation(300, 200, 256, 2, false));
    ExpectDecodesTo(MakeAnimation(320, 240, 3, 1, true));
    // An animation loops forever unless told otherwise.
    gif::Animation twice = MakeAnimation(8, 8, 2, 3, false);
    twice.loops = 2;
    ExpectDecodesTo(twice, 2);
}

TEST(GifEncoder, InvalidAnimationsGiveNoFile) {
    const std::function<void(gif::Animation&)> spoilers[] = {
        [](gif::Animation& a) { a.frames[0].pixels[5] = 2; }, // no such colour
        [](gif::Animation& a) { a.frames[0].pixels.pop_back(); },
        [](gif::Animation& a) { a.frames.clear(); },
        [](gif::Animation& a) { a.palette.pop_back(), a.frames[0].pixels.assign(16, 0); },
    };
    for (const auto& spoil : spoilers) {
        gif::Animation animation = MakeAnimation(4, 4, 2, 1, false);
        spoil(animation);
        EXPECT_TRUE(gif::Encode(animation).empty());
    }
}

// A GIF of a few bytes can declare a frame of any size. The picture control refuses one whose
// pixels would take more than its bound before decoding it; a large one within the bound shows.
TEST(PictureEx, AFrameBeyondTheDecodedSizeBoundIsRefused) {
    auto withSize = [](int side) {
        std::vector<std::uint8_t> bytes = gif::Encode(MakeAnimation(2, 2, 2, 1, false));
        const std::uint8_t descriptor[] = {0x2C, 0, 0, 0, 0, 2, 0, 2, 0};
        const auto frame = std::size_t(
            std::search(bytes.begin(), bytes.end(), std::begin(descriptor), std::end(descriptor)) -
            bytes.begin());
        for (std::size_t at : {std::size_t(6), std::size_t(8), frame + 5, frame + 7}) {
            bytes.at(at) = std::uint8_t(side & 0xFF); // the logical screen, then the frame
            bytes.at(at + 1) = std::uint8_t(side >> 8);
        }
        return bytes;
    };
    CPictureEx picture;
    EXPECT_FALSE(picture.Draw()); // nothing loaded yet
    const std::vector<std::uint8_t> large = withSize(2000);
    EXPECT_TRUE(picture.Load(large.data(), large.size()));
    const std::vector<std::uint8_t> huge = withSize(5000); // 95 MiB of pixels
    EXPECT_FALSE(picture.Load(huge.data(), huge.size()));
    EXPECT_EQ(picture.GetFrameCount(), 0);
    const unsigned char notAPicture[] = "GIF89a but nothing more";
    EXPECT_FALSE(picture.Load(notAPicture, sizeof notAPicture));
}
