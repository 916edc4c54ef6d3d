// Builds ".cur" and ".ani" files byte by byte, so the cursor reader is checked against files
// whose every pixel and field is known.
#pragma once

#include "tests/support/BmpWriter.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skintest {

struct CurSpec {
    int width = 4;
    int height = 4;
    int bitCount = 1;
    int type = 2; // 2 cursor, 1 icon
    int hotX = 1;
    int hotY = 2;
    std::vector<std::uint32_t> palette{0x000000, 0xFFFFFF};
    // Colour index (1/4/8 bpp) or 0xAARRGGBB / 0x00RRGGBB colour (24/32 bpp); y = 0 at top.
    std::function<std::uint32_t(int x, int y)> pixel = [](int, int) { return 0u; };
    std::function<bool(int x, int y)> mask = [](int, int) { return false; };
    bool withMask = true;
};

// The picture of a cursor: a bitmap without its file header, of twice the height, whose colour
// rows are followed by the mask rows.
inline std::string MakeDib(const CurSpec& s) {
    testsupport::BmpSpec bmp;
    bmp.width = s.width;
    bmp.height = s.height;
    bmp.bitCount = s.bitCount;
    if (s.bitCount <= 8)
        bmp.palette = s.palette;
    bmp.pixel = s.pixel;
    std::string out = testsupport::MakeBmp(bmp).substr(14);
    std::string height;
    testsupport::PutLE(height, std::uint32_t(s.height * 2), 4);
    out.replace(8, 4, height);
    const int maskStride = ((s.width + 31) / 32) * 4;
    if (s.withMask)
        for (int fileRow = 0; fileRow < s.height; ++fileRow) {
            const int y = s.height - 1 - fileRow;
            std::string row(std::size_t(maskStride), '\0');
            for (int x = 0; x < s.width; ++x)
                if (s.mask(x, y))
                    row[std::size_t(x / 8)] |= char(1 << (7 - x % 8));
            out += row;
        }
    return out;
}

inline std::string MakeCur(const CurSpec& s) {
    using testsupport::PutLE;
    const std::string dib = MakeDib(s);
    std::string out;
    PutLE(out, 0, 2);
    PutLE(out, std::uint32_t(s.type), 2);
    PutLE(out, 1, 2);
    out.push_back(char(s.width));
    out.push_back(char(s.height));
    out.push_back(0);
    out.push_back(0);
    PutLE(out, std::uint32_t(s.hotX), 2);
    PutLE(out, std::uint32_t(s.hotY), 2);
    PutLE(out, std::uint32_t(dib.size()), 4);
    PutLE(out, 22, 4);
    return out + dib;
}

inline std::string Chunk(const std::string& id, const std::string& body) {
    std::string out = id;
    testsupport::PutLE(out, std::uint32_t(body.size()), 4);
    out += body;
    if (body.size() % 2)
        out.push_back('\0');
    return out;
}

inline std::string Dwords(const std::vector<std::uint32_t>& v) {
    std::string out;
    for (std::uint32_t x : v)
        testsupport::PutLE(out, x, 4);
    return out;
}

struct AniSpec {
    std::vector<std::string> frames;  // cursor files
    std::uint32_t declaredFrames = 0; // 0: the number of frames
    std::uint32_t steps = 0;          // 0: as many as frames
    std::uint32_t jiffies = 6;        // default display rate
    std::uint32_t flags = 1;          // 1 icon frames, 2 has a sequence
    std::vector<std::uint32_t> rates; // empty: no rate chunk
    std::vector<std::uint32_t> seq;   // empty: no seq chunk
};

inline std::string MakeAni(const AniSpec& s) {
    const std::uint32_t frames =
        s.declaredFrames ? s.declaredFrames : std::uint32_t(s.frames.size());
    std::string body = "ACON";
    body += Chunk("anih", Dwords({36, frames, s.steps, 0, 0, 0, 0, s.jiffies, s.flags}));
    if (!s.rates.empty())
        body += Chunk("rate", Dwords(s.rates));
    if (!s.seq.empty())
        body += Chunk("seq ", Dwords(s.seq));
    std::string list = "fram";
    for (const auto& f : s.frames)
        list += Chunk("icon", f);
    body += Chunk("LIST", list);
    std::string out = "RIFF";
    testsupport::PutLE(out, std::uint32_t(body.size()), 4);
    return out + body;
}

} // namespace skintest
