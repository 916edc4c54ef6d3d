// BMP files written byte by byte, so the reader is checked against images whose every pixel is
// known.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct BmpLayout {
    int width = 4;
    int height = 3;
    int bitCount = 24;
    bool topDown = false;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB entries for 1/4/8 bpp
    // Pixel x, y (0, 0 at top left): a colour index, or 0x00RRGGBB (0xAARRGGBB at 32 bpp).
    std::function<std::uint32_t(int x, int y)> pixel;
    std::uint32_t compression = 0;
};

inline void PutLE(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

inline std::string MakeBmp(const BmpLayout& s) {
    const int stride = ((s.width * s.bitCount + 31) / 32) * 4;
    const std::uint32_t colours = std::uint32_t(s.palette.size()), offset = 14 + 40 + colours * 4,
                        imageSize = stride * s.height, width = s.width, bits = s.bitCount,
                        height = s.topDown ? -s.height : s.height;
    std::string out = "BM";
    // The file header, then the info header: each field's value and size in bytes.
    const std::uint32_t values[] = {
        offset + imageSize, 0,         offset, 40,   width,   height, 1, bits,
        s.compression,      imageSize, 2835,   2835, colours, 0};
    const int sizes[] = {4, 4, 4, 4, 4, 4, 2, 2, 4, 4, 4, 4, 4, 4};
    for (std::size_t i = 0; i < std::size(sizes); ++i)
        PutLE(out, values[i], sizes[i]);
    for (std::uint32_t c : s.palette)
        PutLE(out, c, 4); // B, G, R, reserved
    for (int fileRow = 0; fileRow < s.height; ++fileRow) {
        const int y = s.topDown ? fileRow : s.height - 1 - fileRow;
        std::string row(std::size_t(stride), '\0');
        auto* b = reinterpret_cast<unsigned char*>(row.data());
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t v = s.pixel(x, y);
            if (s.bitCount == 1)
                b[x / 8] |= std::uint8_t((v & 1) << (7 - x % 8));
            else if (s.bitCount == 4)
                b[x / 2] |= std::uint8_t((v & 0xF) << (x % 2 ? 0 : 4));
            else if (s.bitCount == 8)
                b[x] = std::uint8_t(v);
            else // 24 or 32 bits, B G R (A): alpha for pictures that carry one
                for (int i = 0; i < s.bitCount / 8; ++i)
                    b[s.bitCount / 8 * x + i] = std::uint8_t(v >> (8 * i));
        }
        out += row;
    }
    return out;
}

} // namespace testsupport
