// The cursor reader against ".cur" and ".ani" files built byte by byte, every field known.
#include "skin/SkinCursor.h"
#include "platform/Clock.h"
#include "platform/MessageQueue.h"
#include "tests/support/BmpWriter.h"

#include <functional>
#include <gtest/gtest.h>

using Pixels = std::vector<std::uint32_t>;

namespace {

struct CurSpec {
    int bitCount = 1;
    std::uint32_t type = 2, hotX = 1, hotY = 2; // type 2 cursor, 1 icon
    Pixels palette{0x000000, 0xFFFFFF};
    // 4 × 4: a colour index (1/4/8 bpp) or 0xAARRGGBB / 0x00RRGGBB colour; y = 0 at the top.
    std::function<std::uint32_t(int x, int y)> pixel = [](int, int) { return 0u; };
    std::function<bool(int x, int y)> mask = [](int, int) { return false; };
    bool withMask = true;
};

// Values of the same width, little-endian.
std::string LE(int bytes, const Pixels& values) {
    std::string out;
    for (std::uint32_t v : values)
        testsupport::PutLE(out, v, bytes);
    return out;
}

// A cursor file of one picture: a bitmap without its file header, of twice the height, whose
// colour rows are followed by the mask rows.
std::string MakeCur(const CurSpec& s) {
    std::string dib = testsupport::MakeBmp({.width = 4,
                                            .height = 4,
                                            .bitCount = s.bitCount,
                                            .palette = s.bitCount <= 8 ? s.palette : Pixels{},
                                            .pixel = s.pixel})
                          .substr(14);
    dib.replace(8, 4, LE(4, {8}));
    for (int y = 3; s.withMask && y >= 0; --y) {
        std::string row(4, '\0');
        for (int x = 0; x < 4; ++x)
            row[0] |= char(s.mask(x, y) << (7 - x));
        dib += row;
    }
    // The directory (reserved, type, count) and its one entry.
    return LE(2, {0, s.type, 1}) + LE(1, {4, 4}) + LE(2, {0, s.hotX, s.hotY}) +
           LE(4, {std::uint32_t(dib.size()), 22}) + dib;
}

std::string Chunk(const std::string& id, const std::string& body) {
    return id + LE(4, {std::uint32_t(body.size())}) + body + std::string(body.size() % 2, '\0');
}

// Frames are cursor files; a frame count or step count of 0 is the number of frames; flags: 1
// icon frames, 2 has a sequence; empty rates or sequence: no such chunk.
struct AniSpec {
    std::vector<std::string> frames{};
    std::uint32_t declaredFrames = 0, steps = 0, jiffies = 6, flags = 1;
    Pixels rates{}, seq{};
};

std::string MakeAni(const AniSpec& s) {
    const std::uint32_t frames = s.declaredFrames ? s.declaredFrames : s.frames.size();
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

std::shared_ptr<CSkinCursor> Parse(const std::string& bytes) {
    return ParseCursorData(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// The first row of a cursor's picture, or of one step's.
Pixels TopRow(const CSkinCursor& c, std::size_t step = 0) {
    const CursorFrame& f = c.GetStepFrame(step);
    return Pixels(f.pixels.begin(), f.pixels.begin() + f.nWidth);
}

const CurSpec kMonochrome{.pixel = [](int x, int y) { return std::uint32_t((x + y) % 2); },
                          .mask = [](int x, int) { return x == 0; }};

// Three steps of two frames, the first white, the second black.
AniSpec TwoFrames() {
    return {.frames = {MakeCur({.pixel = [](int, int) { return 1u; }}), MakeCur({})},
            .steps = 3,
            .flags = 3,
            .rates = {6, 12, 6},
            .seq = {1, 0, 1}};
}

std::vector<std::pair<std::size_t, int>> Steps(const CSkinCursor& c) {
    std::vector<std::pair<std::size_t, int>> out;
    for (std::size_t i = 0; i < c.GetStepCount(); ++i)
        out.emplace_back(c.GetStep(i).nFrame, c.GetStep(i).nMs);
    return out;
}

} // namespace

TEST(CursorFile, PicturesDecodeAtEachDepthWithTheirMaskAndDamagedOrTruncatedOnesAreRefused) {
    auto c = Parse(MakeCur(kMonochrome));
    ASSERT_NE(c, nullptr);
    // Masked black is transparent, a masked (inverting) white pixel is shown black; rows are
    // stored bottom-up.
    EXPECT_EQ(TopRow(*c), (Pixels{0, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}));
    EXPECT_EQ(c->GetStepFrame(0).pixels[4], 0xFF000000u);
    // A hot spot outside the picture is held inside; an icon's is its centre.
    CurSpec s = kMonochrome;
    for (auto [type, hot] : {std::pair{2, CPoint{1, 2}}, {2, {3, 3}}, {1, {2, 2}}}) {
        s.type = type;
        c = Parse(MakeCur(s));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->GetStepFrame(0).hotSpot, hot);
        s.hotX = 40, s.hotY = 9;
    }
    // Depth, the first row in the file and as decoded. A 32-bit cursor's alpha wins over its mask.
    const std::tuple<int, Pixels, Pixels> depths[] = {
        {32, {0x80FF0000, 0, 0, 0}, {0x80FF0000, 0, 0, 0}},
        {24, {0x102030, 0, 0, 0x0000FF}, {0xFF102030, 0xFF000000, 0xFF000000, 0xFF0000FF}},
        {8, {3, 2, 1, 0}, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000}},
        {4, {0, 1, 2, 3}, {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}}};
    for (const auto& [bitCount, values, shown] : depths) {
        CurSpec s{.bitCount = bitCount, .palette = {0, 0xFF0000, 0x00FF00, 0x0000FF}};
        s.pixel = [&](int x, int) { return values[std::size_t(x)]; };
        s.mask = [&](int, int) { return bitCount == 32; };
        const auto c = Parse(MakeCur(s));
        ASSERT_NE(c, nullptr) << bitCount;
        EXPECT_EQ(TopRow(*c), shown) << bitCount;
    }
    CurSpec alpha{.bitCount = 32, .pixel = [](int, int) { return 0x80000000u; }, .withMask = false};
    EXPECT_NE(Parse(MakeCur(alpha)), nullptr) << "with alpha the mask may be left out";

    const std::string good = MakeCur(kMonochrome);
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(Parse(good.substr(0, n)), nullptr) << "length " << n;
    EXPECT_EQ(ParseCursorData(nullptr, 100), nullptr);
    CurSpec beyond{.bitCount = 8, .pixel = [](int x, int) { return std::uint32_t(x); }};
    EXPECT_EQ(Parse(MakeCur(beyond)), nullptr) << "indexes beyond the two colours of the palette";
    // At, value, bytes. In the directory: type, no pictures, more pictures than the file holds,
    // picture size and offset; in the picture: header size, width 0 and huge, odd and negative
    // height, 16 bits, compressed, more colours than the depth holds.
    const std::tuple<std::size_t, std::uint32_t, int> damages[] = {
        {2, 3, 2},   {4, 0, 2},  {4, 500, 2},     {14, 0xFFFFFFF0, 4}, {18, 0xFFFFFFF0, 4},
        {22, 12, 4}, {26, 0, 4}, {26, 100000, 4}, {30, 7, 4},          {30, 0xFFFFFFF8, 4},
        {36, 16, 2}, {38, 1, 4}, {54, 3, 4}};
    for (const auto& [at, value, bytes] : damages) {
        std::string bad = good;
        bad.replace(at, std::size_t(bytes), LE(bytes, {value}));
        EXPECT_EQ(Parse(bad), nullptr) << "at " << at << ": " << value;
    }
}

TEST(AnimatedCursor, StepsFollowTheSequenceAndRatesInThePlayerAndDamagedOnesAreRefused) {
    auto c = Parse(MakeAni(TwoFrames()));
    ASSERT_NE(c, nullptr);
    platform::CMessageQueue::Instance().Reset();
    platform::CVirtualClock clock;
    CWnd target;
    target.CreateMessageWindow();
    CCursorPlayer player;
    player.Show(&target, c);
    std::vector<std::size_t> steps;
    for (int ms : {99, 1, 199, 1, 99, 1})
        clock.Advance(ms), steps.push_back(player.GetCurrentStep());
    EXPECT_EQ(steps, (std::vector<std::size_t>{0, 1, 1, 2, 2, 0}));
    player.Show(&target, Parse(MakeCur(kMonochrome)));
    clock.Advance(1000);
    EXPECT_EQ(player.GetCurrentStep(), 0u) << "a static cursor does not step";
    player.Show(&target, nullptr);
    clock.Advance(1000);
    EXPECT_EQ(player.GetCursor(), nullptr);
    platform::CMessageQueue::Instance().Reset();

    EXPECT_EQ(Steps(*c), (std::vector<std::pair<std::size_t, int>>{{1, 100}, {0, 200}, {1, 100}}));
    EXPECT_EQ(TopRow(*c, 1)[0], 0xFFFFFFFFu) << "the second step shows the first frame";
    // No sequence nor rates: the frames in turn, each for the shortest step.
    AniSpec plain{.frames = TwoFrames().frames, .jiffies = 0};
    plain.frames.push_back(plain.frames[0]);
    c = Parse(MakeAni(plain));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Steps(*c), (std::vector<std::pair<std::size_t, int>>{{0, 16}, {1, 16}, {2, 16}}));

    const std::pair<std::function<void(AniSpec&)>, const char*> damages[] = {
        {[](AniSpec& a) { a.declaredFrames = 3; }, "fewer frames than declared"},
        {[](AniSpec& a) { a.seq[1] = 2; }, "a step showing a missing frame"},
        {[](AniSpec& a) { a.rates.pop_back(); }, "fewer rates than steps"},
        {[](AniSpec& a) { a.flags = 2; }, "frames that are not cursor files"},
        {[](AniSpec& a) { a.frames[1] = "garbage"; }, "a damaged frame"},
        {[](AniSpec& a) { a.steps = 100000; }, "absurd step count"}};
    for (const auto& [damage, why] : damages) {
        AniSpec a = TwoFrames();
        damage(a);
        EXPECT_EQ(Parse(MakeAni(a)), nullptr) << why;
    }
    std::string good = MakeAni(TwoFrames());
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(Parse(good.substr(0, n)), nullptr) << "length " << n;
    good[4] = char(0xFF); // RIFF size beyond the data
    EXPECT_EQ(Parse(good), nullptr);
}
