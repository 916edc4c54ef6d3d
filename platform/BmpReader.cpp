#include "platform/BmpReader.h"

#include <vector>

namespace platform {

namespace {

constexpr std::int64_t kMaxSide = 32768;
// Every pixel decodes to four bytes, so this caps a decoded image at 64 MiB: a small 1-bit file
// within the side limits could otherwise ask for gigabytes.
constexpr std::int64_t kMaxPixels = 16 * 1024 * 1024;

std::uint32_t U16(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return U16(p) | (U16(p + 2) << 16);
}

struct BmpHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: top-down
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t headerSize = 0;
    std::uint32_t masks[3] = {0, 0, 0};
};

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

bool ReadHeader(const std::uint8_t* data, std::size_t size, BmpHeader& h) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M')
        return false;
    h.headerSize = U32(data + 14);
    const std::uint8_t* ih = data + 14;
    if (h.headerSize == 12) { // core header
        h.width = U16(ih + 4);
        h.height = std::int16_t(U16(ih + 6));
        h.bitCount = U16(ih + 10);
        return true;
    }
    if (h.headerSize < 40 || 14 + std::size_t(h.headerSize) > size)
        return false;
    h.width = std::int32_t(U32(ih + 4));
    h.height = std::int32_t(U32(ih + 8));
    h.bitCount = U16(ih + 14);
    h.compression = U32(ih + 16);
    h.colorsUsed = U32(ih + 32);
    if (h.compression == BI_BITFIELDS) {
        // Masks follow a plain info header, or sit inside a larger one.
        const std::size_t at = 14 + 40;
        if (at + 12 > size)
            return false;
        for (int i = 0; i < 3; ++i)
            h.masks[i] = U32(data + at + 4 * i);
    }
    return true;
}

bool SupportedFormat(const BmpHeader& h) {
    if (h.width <= 0 || h.height == 0 || h.width > kMaxSide || h.height > kMaxSide ||
        h.height < -kMaxSide)
        return false;
    if (h.width * (h.height < 0 ? -h.height : h.height) > kMaxPixels)
        return false;
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        return h.compression == BI_RGB;
    case 32:
        return h.compression == BI_RGB ||
               (h.compression == BI_BITFIELDS && h.masks[0] == 0x00FF0000 &&
                h.masks[1] == 0x0000FF00 && h.masks[2] == 0x000000FF);
    default:
        return false;
    }
}

// Palette as RGB32 values; false when it does not fit the file.
bool ReadPalette(const std::uint8_t* data, std::size_t size, const BmpHeader& h,
                 std::vector<QRgb>& palette) {
    const std::uint32_t maxColors = 1u << h.bitCount;
    const std::uint32_t count =
        (h.colorsUsed == 0 || h.colorsUsed > maxColors) ? maxColors : h.colorsUsed;
    const std::size_t entrySize = h.headerSize == 12 ? 3 : 4;
    std::size_t at = 14 + h.headerSize;
    if (h.compression == BI_BITFIELDS && h.headerSize == 40)
        at += 12;
    if (at + count * entrySize > size)
        return false;
    palette.assign(maxColors, qRgb(0, 0, 0)); // indices beyond the table read as black
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* e = data + at + i * entrySize;
        palette[i] = qRgb(e[2], e[1], e[0]);
    }
    return true;
}

// One row of pixels; the depth is chosen once per row, not once per pixel.
void DecodeBmpRow(const std::uint8_t* row, std::int64_t width, std::uint32_t bits,
                  const std::vector<QRgb>& palette, QRgb* out) {
    switch (bits) {
    case 1:
        for (std::int64_t x = 0; x < width; ++x)
            out[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
        break;
    case 4:
        for (std::int64_t x = 0; x < width; ++x)
            out[x] = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
        break;
    case 8:
        for (std::int64_t x = 0; x < width; ++x)
            out[x] = palette[row[x]];
        break;
    default: {
        const int step = bits == 24 ? 3 : 4;
        for (std::int64_t x = 0; x < width; ++x, row += step)
            out[x] = qRgb(row[2], row[1], row[0]);
        break;
    }
    }
}

} // namespace

QImage DecodeBmp(const std::uint8_t* data, std::size_t size) {
    BmpHeader h;
    if (!data || !ReadHeader(data, size, h) || !SupportedFormat(h))
        return {};
    std::vector<QRgb> palette;
    if (h.bitCount <= 8 && !ReadPalette(data, size, h, palette))
        return {};
    const std::uint32_t offset = U32(data + 10);
    const std::int64_t rows = h.height < 0 ? -h.height : h.height;
    const std::int64_t stride = ((h.width * h.bitCount + 31) / 32) * 4;
    if (offset >= size || std::int64_t(size - offset) < stride * rows)
        return {};
    QImage image(int(h.width), int(rows), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::int64_t fileRow = h.height < 0 ? y : rows - 1 - y;
        const std::uint8_t* row = data + offset + fileRow * stride;
        DecodeBmpRow(row, h.width, h.bitCount, palette,
                     reinterpret_cast<QRgb*>(image.scanLine(int(y))));
    }
    return image;
}

} // namespace platform
