#include "skin/SkinCursor.h"
#include "platform/Clock.h"
#include "platform/MessageQueue.h"
#include "skin/SkinFile.h"
#include "tests/skin/CursorWriter.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

using namespace skintest;
using Pixels = std::vector<std::uint32_t>;

namespace {

std::shared_ptr<CSkinCursor> Parse(const std::string& bytes) {
    return ParseCursorData(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// The first row of a cursor's picture, or of one step's.
Pixels TopRow(const CSkinCursor& c, std::size_t step = 0) {
    const CursorFrame& f = c.GetStepFrame(step);
    return Pixels(f.pixels.begin(), f.pixels.begin() + f.nWidth);
}

CurSpec Monochrome() {
    CurSpec s;
    s.pixel = [](int x, int y) { return std::uint32_t((x + y) % 2); };
    s.mask = [](int x, int) { return x == 0; };
    return s;
}

// Each step's frame: the first is white, the second black.
AniSpec TwoFrames() {
    AniSpec a;
    CurSpec white, black;
    white.pixel = [](int, int) { return 1u; };
    a.frames = {MakeCur(white), MakeCur(black)};
    a.flags = 3;
    a.steps = 3;
    a.rates = {6, 12, 6};
    a.seq = {1, 0, 1};
    return a;
}

} // namespace

TEST(CursorFile, MonochromeCursorUsesItsMaskAndAHotSpotHeldInside) {
    auto c = Parse(MakeCur(Monochrome()));
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->IsAnimated());
    const CursorFrame& f = c->GetStepFrame(0);
    EXPECT_EQ((std::vector{f.nWidth, f.nHeight}), (std::vector{4, 4}));
    // Masked black is transparent, a masked (inverting) white pixel is shown black; rows are
    // stored bottom-up.
    EXPECT_EQ(TopRow(*c), (Pixels{0, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}));
    EXPECT_EQ(f.pixels[4], 0xFF000000u);
    // A hot spot outside the picture is held inside; an icon's is its centre.
    CurSpec s = Monochrome();
    const std::pair<int, CPoint> hotSpots[] = {{2, {1, 2}}, {2, {3, 3}}, {1, {2, 2}}};
    for (auto [type, hot] : hotSpots) {
        s.type = type;
        c = Parse(MakeCur(s));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->GetStepFrame(0).hotSpot, hot);
        s.hotX = 40;
        s.hotY = 9;
    }
}

TEST(CursorFile, ColourDepthsDecode) {
    CurSpec s;
    s.bitCount = 32;
    s.pixel = [](int x, int) { return x == 0 ? 0x80FF0000u : 0x00000000u; };
    s.mask = [](int, int) { return true; };
    auto c = Parse(MakeCur(s));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(TopRow(*c), (Pixels{0x80FF0000u, 0, 0, 0})) << "a 32-bit cursor's own alpha wins";
    s.withMask = false;
    EXPECT_NE(Parse(MakeCur(s)), nullptr) << "with alpha the mask may be left out";

    s = CurSpec{};
    s.bitCount = 24;
    s.pixel = [](int x, int) { return std::uint32_t(0x102030 + x); };
    c = Parse(MakeCur(s));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(TopRow(*c)[2], 0xFF102032u);

    s = CurSpec{};
    s.bitCount = 4;
    s.palette = {0, 0xFF0000, 0x00FF00, 0x0000FF};
    s.pixel = [](int x, int) { return std::uint32_t(x); };
    c = Parse(MakeCur(s));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(TopRow(*c), (Pixels{0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}));
    s.bitCount = 8;
    s.pixel = [](int x, int) { return std::uint32_t(x + 2); }; // index 4 and 5 are not there
    EXPECT_EQ(Parse(MakeCur(s)), nullptr);
}

TEST(CursorFile, DamagedAndTruncatedCursorsAreRefused) {
    const std::string good = MakeCur(Monochrome());
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(Parse(good.substr(0, n)), nullptr) << "length " << n;
    EXPECT_EQ(ParseCursorData(nullptr, 100), nullptr);
    EXPECT_EQ(Parse("\x89PNG\r\n\x1a\n not a cursor"), nullptr);
    const std::size_t dib = 22;
    const struct {
        std::size_t at;
        std::uint32_t value;
        int bytes;
        const char* why;
    } damages[] = {
        {2, 3, 2, "type"},
        {4, 0, 2, "no pictures"},
        {4, 500, 2, "a directory longer than the file"},
        {18, 0xFFFFFFF0, 4, "picture offset"},
        {14, 0xFFFFFFF0, 4, "picture size"},
        {dib + 0, 12, 4, "header size"},
        {dib + 4, 0, 4, "width 0"},
        {dib + 4, 100000, 4, "huge width"},
        {dib + 8, 7, 4, "odd double height"},
        {dib + 8, 0xFFFFFFF8, 4, "negative height"},
        {dib + 14, 16, 2, "16 bits per pixel"},
        {dib + 16, 1, 4, "compressed"},
        {dib + 32, 3, 4, "more colours than the depth holds"},
    };
    for (const auto& d : damages) {
        std::string bad = good;
        bad.replace(d.at, std::size_t(d.bytes), Fields({{d.value, d.bytes}}));
        EXPECT_EQ(Parse(bad), nullptr) << d.why;
    }
}

TEST(AnimatedCursor, StepsFollowTheSequenceAndRates) {
    auto c = Parse(MakeAni(TwoFrames()));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->IsAnimated());
    EXPECT_EQ(c->GetFrameCount(), 2u);
    ASSERT_EQ(c->GetStepCount(), 3u);
    EXPECT_EQ((std::vector{c->GetStep(0).nFrame, c->GetStep(1).nFrame}),
              (std::vector<std::size_t>{1, 0}));
    EXPECT_EQ((std::vector{c->GetStep(0).nMs, c->GetStep(1).nMs}), (std::vector{100, 200}));
    EXPECT_EQ(TopRow(*c, 0)[0], 0xFF000000u);
    EXPECT_EQ(TopRow(*c, 1)[0], 0xFFFFFFFFu);

    // No sequence nor rates: the frames in turn, each for the shortest step.
    AniSpec plain{.frames = TwoFrames().frames, .jiffies = 0};
    plain.frames.push_back(plain.frames[0]);
    c = Parse(MakeAni(plain));
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->GetStepCount(), 3u);
    EXPECT_EQ(c->GetStep(2).nFrame, 2u);
    EXPECT_EQ(c->GetStep(2).nMs, 16);
}

TEST(AnimatedCursor, DamagedAnimationsAreRefused) {
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
    const std::string good = MakeAni(TwoFrames());
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(Parse(good.substr(0, n)), nullptr) << "length " << n;
    std::string oversized = good;
    oversized[4] = char(0xFF); // RIFF size beyond the data
    EXPECT_EQ(Parse(oversized), nullptr);
}

TEST(AnimatedCursor, PlayerShowsEachStepForItsTime) {
    platform::CMessageQueue::Instance().Reset();
    platform::CVirtualClock clock;
    CWnd target;
    target.CreateMessageWindow();
    CCursorPlayer player;
    player.Show(&target, Parse(MakeAni(TwoFrames())));
    std::vector<std::size_t> steps;
    for (int ms : {99, 1, 199, 1, 99, 1})
        clock.Advance(ms), steps.push_back(player.GetCurrentStep());
    EXPECT_EQ(steps, (std::vector<std::size_t>{0, 1, 1, 2, 2, 0}));

    player.Show(&target, Parse(MakeCur(Monochrome())));
    clock.Advance(1000);
    EXPECT_EQ(player.GetCurrentStep(), 0u) << "a static cursor does not step";
    player.Show(&target, nullptr);
    clock.Advance(1000);
    EXPECT_EQ(player.GetCursor(), nullptr);
    platform::CMessageQueue::Instance().Reset();
}

TEST(AnimatedCursor, CursorLinesFillTheSlotsUnchecked) {
    CSkinCursors::Clear();
    testsupport::ScratchFolder dir;
    dir.MakeFile("busy.ani", MakeAni(TwoFrames()));
    dir.MakeFile("Cursors.txt", "1\n2\n3\n4\n5\nbusy.ani\nnone.cur\n");
    const std::string folder = dir.Path() + "/";
    skin::CSkinFileReader reader;
    ASSERT_TRUE(reader.Open(folder + "Cursors.txt"));
    ASSERT_TRUE(reader.SkipHeader());
    CSkinCursors::Set(1, Parse(MakeCur(Monochrome())));
    EXPECT_TRUE(reader.ReadCursor(0, folder));
    EXPECT_TRUE(reader.ReadCursor(1, folder));
    EXPECT_FALSE(reader.ReadCursor(2, folder)) << "the file has ended";
    ASSERT_NE(CSkinCursors::Get(0), nullptr);
    EXPECT_TRUE(CSkinCursors::Get(0)->IsAnimated());
    EXPECT_EQ(CSkinCursors::Get(1), nullptr) << "a missing file empties its slot";
    EXPECT_EQ(CSkinCursors::Get(6), nullptr);
    CSkinCursors::Clear();
}
