#include "skin/SkinCursor.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>

namespace {

// Cursor files are small; a larger file is not one.
constexpr std::uint64_t kMaxCursorFile = 4u << 20;
constexpr int kMaxCursorSide = 256;
constexpr std::uint32_t kMaxAniSteps = 4096;
constexpr std::uint32_t kAniIconFrames = 0x1; // frames are icon/cursor files
constexpr std::uint32_t kAniHasSequence = 0x2;
constexpr int kJiffyMsTimes60 = 1000; // one jiffy is 1/60 s

// A bounded view of bytes; every read checks the bounds.
struct Bytes {
    const std::uint8_t* p = nullptr;
    std::size_t n = 0;

    bool Has(std::uint64_t offset, std::uint64_t count) const {
        return offset <= n && count <= n - offset;
    }
    std::uint16_t U16(std::size_t o) const { return std::uint16_t(p[o] | (p[o + 1] << 8)); }
    std::uint32_t U32(std::size_t o) const {
        return std::uint32_t(p[o]) | (std::uint32_t(p[o + 1]) << 8) |
               (std::uint32_t(p[o + 2]) << 16) | (std::uint32_t(p[o + 3]) << 24);
    }
    bool Tag(std::size_t o, const char* tag) const {
        return Has(o, 4) && std::memcmp(p + o, tag, 4) == 0;
    }
    Bytes Sub(std::size_t o, std::size_t count) const { return {p + o, count}; }
};

struct DibLayout {
    int width = 0;
    int height = 0;
    int bpp = 0;
    std::size_t paletteAt = 0;
    std::size_t paletteCount = 0;
    std::size_t xorAt = 0;
    std::size_t xorStride = 0;
    std::size_t andAt = 0;
    std::size_t andStride = 0;
    bool hasMask = true;
};

// Reads the header of a cursor picture (a bitmap of twice the height: colours, then mask).
bool ReadDibLayout(const Bytes& b, DibLayout& d) {
    if (!b.Has(0, 40))
        return false;
    const std::uint32_t headerSize = b.U32(0);
    const std::int32_t width = std::int32_t(b.U32(4));
    const std::int32_t doubleHeight = std::int32_t(b.U32(8));
    d.bpp = b.U16(14);
    if (headerSize < 40 || !b.Has(0, headerSize) || b.U32(16) != 0)
        return false;
    if (width < 1 || width > kMaxCursorSide || doubleHeight < 2 || doubleHeight % 2 ||
        doubleHeight / 2 > kMaxCursorSide)
        return false;
    if (d.bpp != 1 && d.bpp != 4 && d.bpp != 8 && d.bpp != 24 && d.bpp != 32)
        return false;
    d.width = width;
    d.height = doubleHeight / 2;
    const std::uint32_t used = b.U32(32);
    if (d.bpp <= 8) {
        const std::uint32_t full = 1u << d.bpp;
        if (used > full)
            return false;
        d.paletteCount = used ? used : full;
    }
    d.paletteAt = headerSize;
    d.xorAt = d.paletteAt + d.paletteCount * 4;
    d.xorStride = std::size_t((d.width * d.bpp + 31) / 32) * 4;
    d.andStride = std::size_t((d.width + 31) / 32) * 4;
    d.andAt = d.xorAt + d.xorStride * std::size_t(d.height);
    if (!b.Has(d.xorAt, d.xorStride * std::size_t(d.height)))
        return false;
    d.hasMask = b.Has(d.andAt, d.andStride * std::size_t(d.height));
    // Only pictures with their own alpha may leave the mask out.
    return d.hasMask || d.bpp == 32;
}

// Colour of pixel x in a colour row as 0x00RRGGBB; false for an index outside the palette.
bool ReadColour(const Bytes& b, const DibLayout& d, std::size_t row, int x, std::uint32_t& rgb,
                std::uint8_t& alpha) {
    alpha = 0;
    if (d.bpp >= 24) {
        const std::size_t o = row + std::size_t(x) * std::size_t(d.bpp / 8);
        rgb = std::uint32_t(b.p[o]) | (std::uint32_t(b.p[o + 1]) << 8) |
              (std::uint32_t(b.p[o + 2]) << 16);
        if (d.bpp == 32)
            alpha = b.p[o + 3];
        return true;
    }
    const int bit = x * d.bpp;
    const std::uint8_t byte = b.p[row + std::size_t(bit / 8)];
    const std::size_t index = (byte >> (8 - d.bpp - bit % 8)) & ((1u << d.bpp) - 1);
    if (index >= d.paletteCount)
        return false;
    rgb = b.U32(d.paletteAt + index * 4) & 0xFFFFFF;
    return true;
}

bool DecodeDib(const Bytes& b, CursorFrame& frame) {
    DibLayout d;
    if (!ReadDibLayout(b, d))
        return false;
    bool useAlpha = false;
    if (d.bpp == 32)
        for (int y = 0; y < d.height && !useAlpha; ++y)
            for (int x = 0; x < d.width && !useAlpha; ++x)
                useAlpha = b.p[d.xorAt + std::size_t(y) * d.xorStride + std::size_t(x) * 4 + 3];
    if (!useAlpha && !d.hasMask)
        return false;
    frame.nWidth = d.width;
    frame.nHeight = d.height;
    frame.pixels.assign(std::size_t(d.width) * std::size_t(d.height), 0);
    for (int y = 0; y < d.height; ++y) {
        const std::size_t fileRow = std::size_t(d.height - 1 - y); // rows are stored bottom-up
        const std::size_t xorRow = d.xorAt + fileRow * d.xorStride;
        const std::size_t andRow = d.andAt + fileRow * d.andStride;
        for (int x = 0; x < d.width; ++x) {
            std::uint32_t rgb = 0;
            std::uint8_t alpha = 0;
            if (!ReadColour(b, d, xorRow, x, rgb, alpha))
                return false;
            std::uint32_t argb;
            if (useAlpha) {
                argb = (std::uint32_t(alpha) << 24) | rgb;
            } else if (!((b.p[andRow + std::size_t(x / 8)] >> (7 - x % 8)) & 1)) {
                argb = 0xFF000000u | rgb;
            } else {
                // Mask set: transparent, or an inverting pixel shown as black.
                argb = rgb ? 0xFF000000u : 0;
            }
            frame.pixels[std::size_t(y) * std::size_t(d.width) + std::size_t(x)] = argb;
        }
    }
    return true;
}

// A ".cur" (type 2) or ".ico" (type 1) file: the first picture of its directory.
bool ParseIconFile(const Bytes& b, CursorFrame& frame) {
    if (!b.Has(0, 6) || b.U16(0) != 0 || (b.U16(2) != 1 && b.U16(2) != 2) || b.U16(4) == 0)
        return false;
    const bool isCursor = b.U16(2) == 2;
    if (!b.Has(6, std::uint64_t(b.U16(4)) * 16))
        return false;
    const std::uint32_t size = b.U32(6 + 8);
    const std::uint32_t offset = b.U32(6 + 12);
    if (!b.Has(offset, size) || !DecodeDib(b.Sub(offset, size), frame))
        return false;
    CPoint hot{frame.nWidth / 2, frame.nHeight / 2};
    if (isCursor)
        hot = {b.U16(6 + 4), b.U16(6 + 6)};
    frame.hotSpot = {std::min(hot.x, frame.nWidth - 1), std::min(hot.y, frame.nHeight - 1)};
    return true;
}

struct AniHeader {
    std::uint32_t frames = 0;
    std::uint32_t steps = 0;
    std::uint32_t jiffies = 0;
    std::uint32_t flags = 0;
};

struct AniParts {
    bool haveHeader = false;
    AniHeader header;
    Bytes rates;
    Bytes sequence;
    std::vector<CursorFrame> frames;
};

bool ParseFrameList(const Bytes& list, AniParts& parts) {
    for (std::size_t pos = 4; pos < list.n;) {
        if (!list.Has(pos, 8))
            return false;
        const std::uint32_t len = list.U32(pos + 4);
        if (!list.Has(pos + 8, len))
            return false;
        if (list.Tag(pos, "icon")) {
            CursorFrame frame;
            if (parts.frames.size() >= kMaxAniSteps ||
                !ParseIconFile(list.Sub(pos + 8, len), frame))
                return false;
            parts.frames.push_back(std::move(frame));
        }
        pos += 8 + std::size_t(len) + (len & 1);
    }
    return true;
}

bool ParseAniChunk(const Bytes& b, std::size_t pos, std::uint32_t len, AniParts& parts) {
    const Bytes body = b.Sub(pos + 8, len);
    if (b.Tag(pos, "anih")) {
        if (len < 36)
            return false;
        parts.haveHeader = true;
        parts.header = {body.U32(4), body.U32(8), body.U32(28), body.U32(32)};
    } else if (b.Tag(pos, "rate")) {
        parts.rates = body;
    } else if (b.Tag(pos, "seq ")) {
        parts.sequence = body;
    } else if (b.Tag(pos, "LIST") && body.Tag(0, "fram")) {
        return ParseFrameList(body, parts);
    }
    return true;
}

int JiffiesToMs(std::uint32_t jiffies) {
    const std::uint32_t j = std::clamp<std::uint32_t>(jiffies, 1, 60 * 60);
    return int(j * kJiffyMsTimes60 / 60);
}

std::shared_ptr<CSkinCursor> BuildAni(AniParts& parts) {
    const AniHeader& h = parts.header;
    if (!parts.haveHeader || !(h.flags & kAniIconFrames) || h.frames == 0 ||
        h.frames != parts.frames.size())
        return nullptr;
    const std::uint32_t steps = h.steps ? h.steps : h.frames;
    if (steps > kMaxAniSteps)
        return nullptr;
    const bool sequenced = h.flags & kAniHasSequence;
    if ((sequenced && parts.sequence.n / 4 < steps) || (parts.rates.p && parts.rates.n / 4 < steps))
        return nullptr;
    std::vector<CSkinCursor::Step> out;
    for (std::uint32_t i = 0; i < steps; ++i) {
        const std::uint32_t frame = sequenced ? parts.sequence.U32(i * 4) : i % h.frames;
        if (frame >= h.frames)
            return nullptr;
        const std::uint32_t jiffies = parts.rates.p ? parts.rates.U32(i * 4) : h.jiffies;
        out.push_back({frame, JiffiesToMs(jiffies)});
    }
    return std::make_shared<CSkinCursor>(std::move(parts.frames), std::move(out));
}

std::shared_ptr<CSkinCursor> ParseAni(const Bytes& b) {
    if (!b.Has(0, 12) || !b.Tag(8, "ACON") || !b.Has(8, b.U32(4)))
        return nullptr;
    const std::size_t end = 8 + std::size_t(b.U32(4));
    AniParts parts;
    for (std::size_t pos = 12; pos < end;) {
        if (pos + 8 > end)
            return nullptr;
        const std::uint32_t len = b.U32(pos + 4);
        if (len > end - pos - 8 || !ParseAniChunk(b, pos, len, parts))
            return nullptr;
        pos += 8 + std::size_t(len) + (len & 1);
    }
    return BuildAni(parts);
}

} // namespace

CSkinCursor::CSkinCursor(CursorFrame frame) {
    m_frames.push_back(std::move(frame));
    m_steps.push_back({0, 0});
}

CSkinCursor::CSkinCursor(std::vector<CursorFrame> frames, std::vector<Step> steps)
    : m_frames(std::move(frames)), m_steps(std::move(steps)) {}

std::shared_ptr<CSkinCursor> ParseCursorData(const std::uint8_t* pData, std::size_t nSize) {
    const Bytes b{pData, pData ? nSize : 0};
    if (b.Tag(0, "RIFF"))
        return ParseAni(b);
    CursorFrame frame;
    if (!ParseIconFile(b, frame))
        return nullptr;
    return std::make_shared<CSkinCursor>(std::move(frame));
}

std::shared_ptr<CSkinCursor> LoadCursorFile(const std::string& strPath) {
    if (platform::IsDirectory(strPath))
        return nullptr;
    auto data = platform::ReadWholeFile(strPath, kMaxCursorFile);
    if (!data)
        return nullptr;
    return ParseCursorData(reinterpret_cast<const std::uint8_t*>(data->data()), data->size());
}

std::array<std::shared_ptr<CSkinCursor>, CSkinCursors::kSlots> CSkinCursors::s_slots;

void CSkinCursors::Set(int nSlot, std::shared_ptr<CSkinCursor> pCursor) {
    if (nSlot >= 0 && nSlot < kSlots)
        s_slots[std::size_t(nSlot)] = std::move(pCursor);
}

std::shared_ptr<CSkinCursor> CSkinCursors::Get(int nSlot) {
    return nSlot >= 0 && nSlot < kSlots ? s_slots[std::size_t(nSlot)] : nullptr;
}

void CSkinCursors::Clear() {
    s_slots = {};
}

namespace {
constexpr std::uintptr_t kStepTimer = 1;
}

CCursorPlayer::CCursorPlayer() {
    CreateMessageWindow();
}

CCursorPlayer::~CCursorPlayer() {
    DestroyWindow();
}

void CCursorPlayer::Show(CWnd* pTarget, std::shared_ptr<CSkinCursor> pCursor) {
    KillTimer(kStepTimer);
    m_pTarget = pTarget;
    m_pCursor = std::move(pCursor);
    m_nStep = 0;
    ShowStep();
}

void CCursorPlayer::ShowStep() {
    if (!m_pTarget || !m_pCursor)
        return;
    const CursorFrame& frame = m_pCursor->GetStepFrame(m_nStep);
    m_pTarget->SetCursorPixels(frame.pixels.data(), frame.nWidth, frame.nHeight, frame.hotSpot);
    if (m_pCursor->IsAnimated())
        SetTimer(kStepTimer, UINT(m_pCursor->GetStep(m_nStep).nMs));
}

LRESULT CCursorPlayer::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kStepTimer && m_pCursor) {
        m_nStep = (m_nStep + 1) % m_pCursor->GetStepCount();
        ShowStep();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
