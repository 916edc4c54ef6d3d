// Writes BMP files byte by byte for tests, so the reader is checked against images whose every
// pixel is known.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct BmpSpec {
    int width = 4;
    int height = 3;
    int bitCount = 24;
    bool topDown = false;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB entries for 1/4/8 bpp
    // Colour index (1/4/8 bpp) or 0x00RRGGBB colour (24/32 bpp; 0xAARRGGBB for 32) of pixel x,
    // y (y = 0 at top).
    std::function<std::uint32_t(int x, int y)> pixel;
    std::uint32_t compression = 0;
};

inline void PutLE(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

inline std::string MakeBmp(const BmpSpec& s) {
    const int stride = ((s.width * s.bitCount + 31) / 32) * 4;
    const std::uint32_t paletteBytes = std::uint32_t(s.palette.size() * 4);
    const std::uint32_t offset = 14 + 40 + paletteBytes;
    std::string out;
    out += "BM";
    PutLE(out, offset + std::uint32_t(stride * s.height), 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);
    PutLE(out, std::uint32_t(s.width), 4);
    PutLE(out, std::uint32_t(s.topDown ? -s.height : s.height), 4);
    PutLE(out, 1, 2);
    PutLE(out, std::uint32_t(s.bitCount), 2);
    PutLE(out, s.compression, 4);
    PutLE(out, std::uint32_t(stride * s.height), 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, std::uint32_t(s.palette.size()), 4);
    PutLE(out, 0, 4);
    for (std::uint32_t c : s.palette)
        PutLE(out, c, 4); // B, G, R, reserved
    for (int fileRow = 0; fileRow < s.height; ++fileRow) {
        const int y = s.topDown ? fileRow : s.height - 1 - fileRow;
        std::string row(std::size_t(stride), '\0');
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t v = s.pixel(x, y);
            auto* b = reinterpret_cast<unsigned char*>(row.data());
            switch (s.bitCount) {
            case 1:
                b[x / 8] |= std::uint8_t((v & 1) << (7 - x % 8));
                break;
            case 4:
                b[x / 2] |= std::uint8_t((v & 0xF) << (x % 2 ? 0 : 4));
                break;
            case 8:
                b[x] = std::uint8_t(v);
                break;
            case 24:
                b[3 * x] = std::uint8_t(v);
                b[3 * x + 1] = std::uint8_t(v >> 8);
                b[3 * x + 2] = std::uint8_t(v >> 16);
                break;
            default:
                b[4 * x] = std::uint8_t(v);
                b[4 * x + 1] = std::uint8_t(v >> 8);
                b[4 * x + 2] = std::uint8_t(v >> 16);
                b[4 * x + 3] = std::uint8_t(v >> 24); // alpha, for pictures that carry one
                break;
            }
        }
        out += row;
    }
    return out;
}

} // namespace testsupport
