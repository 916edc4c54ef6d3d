#include "skin/SkinCursor.h"
#include "platform/Clock.h"
#include "platform/MessageQueue.h"
#include "skin/SkinFile.h"
#include "tests/skin/CursorWriter.h"
#include "tests/support/ScratchFolder.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace skintest;

namespace {

std::shared_ptr<CSkinCursor> Parse(const std::string& bytes) {
    return ParseCursorData(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::uint32_t PixelOf(const CSkinCursor& c, int x, int y, std::size_t step = 0) {
    const CursorFrame& f = c.GetStepFrame(step);
    return f.pixels[std::size_t(y * f.nWidth + x)];
}

CurSpec Monochrome() {
    CurSpec s;
    s.pixel = [](int x, int y) { return std::uint32_t((x + y) % 2); };
    s.mask = [](int x, int) { return x == 0; };
    return s;
}

} // namespace

TEST(CursorFile, MonochromeCursorUsesItsMaskAndAHotSpotHeldInside) {
    auto c = Parse(MakeCur(Monochrome()));
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->IsAnimated());
    const CursorFrame& f = c->GetStepFrame(0);
    EXPECT_EQ(f.nWidth, 4);
    EXPECT_EQ(f.nHeight, 4);
    EXPECT_EQ(f.hotSpot, (CPoint{1, 2}));
    EXPECT_EQ(PixelOf(*c, 1, 0), 0xFFFFFFFFu) << "opaque white";
    EXPECT_EQ(PixelOf(*c, 2, 0), 0xFF000000u) << "opaque black";
    EXPECT_EQ(PixelOf(*c, 0, 0), 0x00000000u) << "masked black is transparent";
    EXPECT_EQ(PixelOf(*c, 0, 1), 0xFF000000u) << "an inverting pixel is shown black";
    EXPECT_EQ(PixelOf(*c, 3, 3), 0xFF000000u) << "rows are stored bottom-up";
    // A hot spot outside the picture is held inside; an icon's is its centre.
    CurSpec s = Monochrome();
    s.hotX = 40;
    s.hotY = 9;
    c = Parse(MakeCur(s));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetStepFrame(0).hotSpot, (CPoint{3, 3}));
    s.type = 1; // an icon has no hot spot: its centre
    c = Parse(MakeCur(s));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetStepFrame(0).hotSpot, (CPoint{2, 2}));
}

TEST(CursorFile, ColourDepthsDecode) {
    CurSpec s;
    s.bitCount = 32;
    s.pixel = [](int x, int) { return x == 0 ? 0x80FF0000u : 0x00000000u; };
    s.mask = [](int, int) { return true; };
    auto c = Parse(MakeCur(s));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(PixelOf(*c, 0, 0), 0x80FF0000u) << "a 32-bit cursor's own alpha wins";
    EXPECT_EQ(PixelOf(*c, 1, 0), 0u);
    s.withMask = false;
    EXPECT_NE(Parse(MakeCur(s)), nullptr) << "with alpha the mask may be left out";

    s = CurSpec{};
    s.bitCount = 24;
    s.pixel = [](int x, int y) { return std::uint32_t(0x102030 + x + (y << 8)); };
    c = Parse(MakeCur(s));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(PixelOf(*c, 2, 1), 0xFF102132u);

    s = CurSpec{};
    s.bitCount = 4;
    s.palette = {0, 0xFF0000, 0x00FF00, 0x0000FF};
    s.pixel = [](int x, int) { return std::uint32_t(x); };
    c = Parse(MakeCur(s));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(PixelOf(*c, 2, 3), 0xFF00FF00u);

    s.bitCount = 8;
    s.pixel = [](int x, int) { return std::uint32_t(x + 2); }; // index 4 and 5 are not there
    EXPECT_EQ(Parse(MakeCur(s)), nullptr);
}

TEST(CursorFile, EveryTruncationOfACursorFailsCleanly) {
    const std::string good = MakeCur(Monochrome());
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(Parse(good.substr(0, n)), nullptr) << "length " << n;
    EXPECT_EQ(ParseCursorData(nullptr, 100), nullptr);
}

TEST(CursorFile, DamagedHeadersAreRefused) {
    const std::string good = MakeCur(Monochrome());
    auto damaged = [&](std::size_t at, std::uint32_t value, int bytes) {
        std::string bad = good;
        for (int i = 0; i < bytes; ++i)
            bad[at + std::size_t(i)] = char((value >> (8 * i)) & 0xFF);
        return Parse(bad);
    };
    EXPECT_EQ(damaged(2, 3, 2), nullptr) << "type";
    EXPECT_EQ(damaged(4, 0, 2), nullptr) << "no pictures";
    EXPECT_EQ(damaged(4, 500, 2), nullptr) << "a directory longer than the file";
    EXPECT_EQ(damaged(18, 0xFFFFFFF0, 4), nullptr) << "picture offset";
    EXPECT_EQ(damaged(14, 0xFFFFFFF0, 4), nullptr) << "picture size";
    const std::size_t dib = 22;
    EXPECT_EQ(damaged(dib + 0, 12, 4), nullptr) << "header size";
    EXPECT_EQ(damaged(dib + 4, 0, 4), nullptr) << "width 0";
    EXPECT_EQ(damaged(dib + 4, 100000, 4), nullptr) << "huge width";
    EXPECT_EQ(damaged(dib + 8, 7, 4), nullptr) << "odd double height";
    EXPECT_EQ(damaged(dib + 8, 0xFFFFFFF8, 4), nullptr) << "negative height";
    EXPECT_EQ(damaged(dib + 14, 16, 2), nullptr) << "16 bits per pixel";
    EXPECT_EQ(damaged(dib + 16, 1, 4), nullptr) << "compressed";
    EXPECT_EQ(damaged(dib + 32, 3, 4), nullptr) << "more colours than the depth holds";
    EXPECT_EQ(Parse("\x89PNG\r\n\x1a\n not a cursor"), nullptr);
}

namespace {

std::string SolidFrame(std::uint32_t index) {
    CurSpec s;
    s.pixel = [index](int, int) { return index; };
    return MakeCur(s);
}

AniSpec TwoFrames() {
    AniSpec a;
    a.frames = {SolidFrame(1), SolidFrame(0)};
    a.flags = 3;
    a.steps = 3;
    a.rates = {6, 12, 6};
    a.seq = {1, 0, 1};
    return a;
}

} // namespace

TEST(AnimatedCursor, StepsFollowTheSequenceAndRates) {
    auto c = Parse(MakeAni(TwoFrames()));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->IsAnimated());
    EXPECT_EQ(c->GetFrameCount(), 2u);
    ASSERT_EQ(c->GetStepCount(), 3u);
    EXPECT_EQ(c->GetStep(0).nFrame, 1u);
    EXPECT_EQ(c->GetStep(0).nMs, 100);
    EXPECT_EQ(c->GetStep(1).nMs, 200);
    EXPECT_EQ(PixelOf(*c, 0, 0, 0), 0xFF000000u);
    EXPECT_EQ(PixelOf(*c, 0, 0, 1), 0xFFFFFFFFu);

    AniSpec plain;
    plain.frames = {SolidFrame(1), SolidFrame(0), SolidFrame(1)};
    plain.jiffies = 0; // no rate: the shortest step
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
    const std::string folder = dir.Path() + "/";
    std::ofstream(folder + "busy.ani", std::ios::binary) << MakeAni(TwoFrames());
    std::ofstream(folder + "Cursors.txt") << "1\n2\n3\n4\n5\nbusy.ani\nnone.cur\n";
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
