#include "tools/update-animation/GifEncoder.h"

#include <unordered_map>

namespace gif {

namespace {

constexpr int kMaxCodes = 4096; // codes are at most 12 bits

// Packs codes of varying width, lowest bit first.
class BitWriter {
public:
    void Put(unsigned code, int width) {
        m_bits |= static_cast<std::uint32_t>(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_bytes.push_back(static_cast<std::uint8_t>(m_bits & 0xFF));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    std::vector<std::uint8_t> Finish() {
        if (m_count > 0)
            m_bytes.push_back(static_cast<std::uint8_t>(m_bits & 0xFF));
        m_bits = 0;
        m_count = 0;
        return std::move(m_bytes);
    }

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint32_t m_bits = 0;
    int m_count = 0;
};

void PutWord(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Data split into sub-blocks of at most 255 bytes, ended by an empty block.
void PutSubBlocks(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& data) {
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
}

// Bits of the colour table size field: the table holds 2 << bits entries.
int TableBits(std::size_t colours) {
    int bits = 0;
    while ((std::size_t(2) << bits) < colours)
        ++bits;
    return bits;
}

bool IsValid(const Animation& a) {
    if (a.width <= 0 || a.height <= 0 || a.width > 0xFFFF || a.height > 0xFFFF ||
        a.palette.size() < 2 || a.palette.size() > 256 || a.frames.empty())
        return false;
    const std::size_t area = static_cast<std::size_t>(a.width) * static_cast<std::size_t>(a.height);
    for (const Frame& f : a.frames) {
        if (f.pixels.size() != area)
            return false;
        for (std::uint8_t index : f.pixels) {
            if (index >= a.palette.size())
                return false;
        }
    }
    return true;
}

void PutHeader(std::vector<std::uint8_t>& out, const Animation& a, int bits) {
    for (char c : {'G', 'I', 'F', '8', '9', 'a'})
        out.push_back(static_cast<std::uint8_t>(c));
    PutWord(out, static_cast<unsigned>(a.width));
    PutWord(out, static_cast<unsigned>(a.height));
    // Global colour table present, 8 bits of colour resolution, table size.
    out.push_back(static_cast<std::uint8_t>(0x80 | 0x70 | bits));
    out.push_back(0); // background colour index
    out.push_back(0); // no aspect ratio
    const std::size_t entries = std::size_t(2) << bits;
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint32_t rgb = i < a.palette.size() ? a.palette[i] : 0;
        out.push_back(static_cast<std::uint8_t>(rgb >> 16));
        out.push_back(static_cast<std::uint8_t>(rgb >> 8));
        out.push_back(static_cast<std::uint8_t>(rgb));
    }
}

void PutLoopExtension(std::vector<std::uint8_t>& out, std::uint16_t loops) {
    const char id[] = "NETSCAPE2.0";
    out.insert(out.end(), {0x21, 0xFF, 11});
    out.insert(out.end(), id, id + 11);
    out.insert(out.end(), {3, 1});
    PutWord(out, loops);
    out.push_back(0);
}

void PutFrame(std::vector<std::uint8_t>& out, const Animation& a, const Frame& f, int minCode) {
    // Graphic control extension: disposal method and delay, no transparency.
    out.insert(out.end(), {0x21, 0xF9, 4, static_cast<std::uint8_t>((f.disposal & 7) << 2)});
    PutWord(out, f.delay);
    out.insert(out.end(), {0, 0});
    // Image descriptor covering the whole screen, no local colour table.
    out.push_back(0x2C);
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, static_cast<unsigned>(a.width));
    PutWord(out, static_cast<unsigned>(a.height));
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(minCode));
    PutSubBlocks(out, LzwEncode(f.pixels, minCode));
}

} // namespace

std::vector<std::uint8_t> LzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize) {
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    BitWriter writer;
    std::unordered_map<std::uint32_t, unsigned> table; // (prefix << 8 | byte) -> code
    int width = minCodeSize + 1;
    unsigned next = end + 1;
    writer.Put(clear, width);
    if (indices.empty()) {
        writer.Put(end, width);
        return writer.Finish();
    }
    unsigned prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint32_t key = (prefix << 8) | indices[i];
        if (auto it = table.find(key); it != table.end()) {
            prefix = it->second;
            continue;
        }
        writer.Put(prefix, width);
        table.emplace(key, next++);
        // A decoder adds its entries one code later than this side, so it widens its codes
        // once this side has handed out the first code that needs the extra bit.
        if (next == (1u << width) + 1 && width < 12)
            ++width;
        if (next == kMaxCodes) {
            writer.Put(clear, width);
            table.clear();
            width = minCodeSize + 1;
            next = end + 1;
        }
        prefix = indices[i];
    }
    writer.Put(prefix, width);
    // Reading the last code completes one more entry on the decoder's side.
    if (next == (1u << width) && width < 12)
        ++width;
    writer.Put(end, width);
    return writer.Finish();
}

std::vector<std::uint8_t> Encode(const Animation& animation) {
    if (!IsValid(animation))
        return {};
    const int bits = TableBits(animation.palette.size());
    const int minCode = std::max(2, bits + 1);
    std::vector<std::uint8_t> out;
    PutHeader(out, animation, bits);
    PutLoopExtension(out, animation.loops);
    for (const Frame& frame : animation.frames)
        PutFrame(out, animation, frame, minCode);
    out.push_back(0x3B);
    return out;
}

} // namespace gif
