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

inline std::string MakeDib(const CurSpec& s) {
    using testsupport::PutLE;
    const int stride = ((s.width * s.bitCount + 31) / 32) * 4;
    const int maskStride = ((s.width + 31) / 32) * 4;
    std::string out;
    PutLE(out, 40, 4);
    PutLE(out, std::uint32_t(s.width), 4);
    PutLE(out, std::uint32_t(s.height * 2), 4);
    PutLE(out, 1, 2);
    PutLE(out, std::uint32_t(s.bitCount), 2);
    for (int i = 0; i < 4; ++i)
        PutLE(out, 0, 4); // compression, image size, resolutions
    PutLE(out, s.bitCount <= 8 ? std::uint32_t(s.palette.size()) : 0, 4);
    PutLE(out, 0, 4);
    if (s.bitCount <= 8)
        for (std::uint32_t c : s.palette)
            PutLE(out, c, 4);
    for (int fileRow = 0; fileRow < s.height; ++fileRow) {
        const int y = s.height - 1 - fileRow;
        std::string row(std::size_t(stride), '\0');
        auto* b = reinterpret_cast<unsigned char*>(row.data());
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t v = s.pixel(x, y);
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
            default:
                for (int k = 0; k < s.bitCount / 8; ++k)
                    b[x * (s.bitCount / 8) + k] = std::uint8_t(v >> (8 * k));
            }
        }
        out += row;
    }
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
