// Builds ".cur" and ".ani" files byte by byte, so the cursor reader is checked against files
// whose every pixel and field is known.
#pragma once

#include "tests/support/BmpWriter.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skintest {

using Palette = std::vector<std::uint32_t>;

struct CurSpec {
    int width = 4;
    int height = 4;
    int bitCount = 1;
    int type = 2; // 2 cursor, 1 icon
    int hotX = 1;
    int hotY = 2;
    Palette palette{0x000000, 0xFFFFFF};
    // Colour index (1/4/8 bpp) or 0xAARRGGBB / 0x00RRGGBB colour (24/32 bpp); y = 0 at top.
    std::function<std::uint32_t(int x, int y)> pixel = [](int, int) { return 0u; };
    std::function<bool(int x, int y)> mask = [](int, int) { return false; };
    bool withMask = true;
};

// Values of the same width, little-endian.
inline std::string LE(int bytes, const std::vector<std::uint32_t>& values) {
    std::string out;
    for (std::uint32_t v : values)
        testsupport::PutLE(out, v, bytes);
    return out;
}

// A cursor file of one picture: a bitmap without its file header, of twice the height, whose
// colour rows are followed by the mask rows.
inline std::string MakeCur(const CurSpec& s) {
    std::string dib = testsupport::MakeBmp({.width = s.width,
                                            .height = s.height,
                                            .bitCount = s.bitCount,
                                            .palette = s.bitCount <= 8 ? s.palette : Palette{},
                                            .pixel = s.pixel})
                          .substr(14);
    dib.replace(8, 4, LE(4, {std::uint32_t(s.height * 2)}));
    for (int y = s.height - 1; s.withMask && y >= 0; --y) {
        std::string row(std::size_t((s.width + 31) / 32 * 4), '\0');
        for (int x = 0; x < s.width; ++x)
            row[std::size_t(x / 8)] |= char(s.mask(x, y) << (7 - x % 8));
        dib += row;
    }
    const auto u = [](int v) { return std::uint32_t(v); };
    // The directory (reserved, type, count) and its one entry.
    return LE(2, {0, u(s.type), 1}) + LE(1, {u(s.width), u(s.height)}) +
           LE(2, {0, u(s.hotX), u(s.hotY)}) + LE(4, {u(int(dib.size())), 22}) + dib;
}

inline std::string Chunk(const std::string& id, const std::string& body) {
    return id + LE(4, {std::uint32_t(body.size())}) + body + std::string(body.size() % 2, '\0');
}

struct AniSpec {
    std::vector<std::string> frames{};  // cursor files
    std::uint32_t declaredFrames = 0;   // 0: the number of frames
    std::uint32_t steps = 0;            // 0: as many as frames
    std::uint32_t jiffies = 6;          // default display rate
    std::uint32_t flags = 1;            // 1 icon frames, 2 has a sequence
    std::vector<std::uint32_t> rates{}; // empty: no rate chunk
    std::vector<std::uint32_t> seq{};   // empty: no seq chunk
};

inline std::string MakeAni(const AniSpec& s) {
    const std::uint32_t frames =
        s.declaredFrames ? s.declaredFrames : std::uint32_t(s.frames.size());
    std::string body =
        "ACON" + Chunk("anih", LE(4, {36, frames, s.steps, 0, 0, 0, 0, s.jiffies, s.flags}));
    if (!s.rates.empty())
        body += Chunk("rate", LE(4, s.rates));
    if (!s.seq.empty())
        body += Chunk("seq ", LE(4, s.seq));
    std::string list = "fram";
    for (const auto& f : s.frames)
        list += Chunk("icon", f);
    body += Chunk("LIST", list);
    return "RIFF" + LE(4, {std::uint32_t(body.size())}) + body;
}

} // namespace skintest
