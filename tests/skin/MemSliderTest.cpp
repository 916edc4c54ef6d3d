#include "skin/MemSlider.h"
#include "tests/skin/SkinTestSupport.h"

using namespace skintest;

namespace {

class MemSliderTest : public SkinFixture {
protected:
    MemSliderTest() {
        // The volume bar: vertical, 45 high, thumb 10 × 6; thumb (0,50), pressed (20,50).
        const int line[] = {100, 20, 10, 45, -1, -1, -1, -1, 10, 6, 0, 50, 20, 50};
        m_volume.CreateFromLine(m_host.get(), 20, m_image.get(), line);
        m_volume.SetHorizontal(false);
    }

    std::unique_ptr<CSkinImage> m_image = MakeCoordImage(100, 100);
    CMemSlider m_volume;
};

} // namespace

TEST_F(MemSliderTest,
       VolumeBarPutsMaximumAtTheTopATrackClickOrAGrabbedThumbMovesItAndEmptyRangesAreSafe) {
    // 50 is 19.5 pixels, rounded up; 1 is 0.39, rounded down; beyond the range the thumb is
    // held at the end of the track.
    const std::pair<int, int> offsets[] = {{100, 0}, {0, 39},   {50, 19},
                                           {1, 39},  {-20, 39}, {250, 0}};
    for (auto [value, offset] : offsets) {
        m_volume.SetValue(value);
        EXPECT_EQ(m_volume.GetThumbOffset(), offset) << value;
    }
    m_volume.SetTopIsMinimum(true);
    m_volume.SetValue(100);
    EXPECT_EQ(m_volume.GetThumbOffset(), 39);
    m_volume.SetTopIsMinimum(false);
    const auto pos = [&](LPARAM v) { return Msg{WM_REG_SLIDERPOS, WPARAM(&m_volume), v}; };
    const auto hold = [&](LPARAM v) { return Msg{WM_REG_SLIDERHOLD, WPARAM(&m_volume), v}; };
    // A track click centres the thumb: the pointer at y = 20 + 23 puts it at 23 - 3 = 20, value
    // 100 - round(20 / 0.39) = 49.
    m_volume.OnLButtonDown(0, {104, 43});
    EXPECT_EQ(m_volume.GetThumbOffset(), 20);
    EXPECT_EQ(Posted(), (std::vector<Msg>{pos(49), hold(1), Code(m_volume, 2)}));
    m_volume.Draw(m_host->m_surface);
    EXPECT_EQ((std::pair{At(100, 40), At(100, 39)}), (std::pair{Coord(20, 50), kBackground}))
        << "the pressed thumb while dragging";
    m_volume.OnLButtonUp(0, {104, 43});
    EXPECT_EQ(Posted(), (std::vector<Msg>{hold(0), Code(m_volume, 3), Code(m_volume, 1)}));
    m_host->Clear();
    m_volume.Draw(m_host->m_surface);
    EXPECT_EQ(At(100, 40), Coord(0, 50));
    // Grabbing the thumb posts no position.
    m_volume.SetValue(0); // thumb at y 59..64
    m_volume.OnLButtonDown(0, {105, 61});
    m_volume.OnMouseMove(0, {105, 60});  // offset 38: 100 - round(97.4) = 3
    m_volume.OnMouseMove(0, {105, -50}); // beyond the top stops at 0: 100
    m_volume.OnMouseMove(0, {105, -60}); // an unchanged value posts nothing
    EXPECT_EQ(Posted(), (std::vector<Msg>{hold(1), Code(m_volume, 2), pos(3), pos(100)}));
    m_volume.OnMouseMove(0, {105, 500});
    m_volume.Cancel();
    EXPECT_EQ(Posted(), (std::vector<Msg>{pos(0), hold(0), Code(m_volume, 3), Code(m_volume, 7)}));
    m_volume.OnMouseMove(0, {105, 20});
    EXPECT_TRUE(Posted().empty()) << "no drag after the cancel";

    // A horizontal position bar.
    CMemSlider bar;
    const int line[] = {10, 5, 110, 8, -1, -1, -1, -1, 10, 8, 0, 60, 10, 60};
    bar.CreateFromLine(m_host.get(), 21, m_image.get(), line);
    bar.SetRangeMax(200); // 100 pixels of track: half a pixel per unit
    bar.SetValue(101);
    EXPECT_EQ(bar.GetThumbOffset(), 51);
    bar.OnLButtonDown(0, {10 + 5 + 30, 9});
    EXPECT_EQ((std::pair{bar.GetThumbOffset(), bar.GetValue()}), (std::pair{30, 60}));
    bar.Draw(m_host->m_surface);
    EXPECT_EQ((std::pair{At(40, 5), At(39, 5)}), (std::pair{Coord(10, 60), kBackground}));
    // A range of zero, or a thumb as long as the track, is safe.
    CMemSlider flat;
    const int full[] = {0, 0, 10, 10, -1, -1, -1, -1, 10, 10, 0, 0, 0, 0};
    flat.CreateFromLine(m_host.get(), 1, m_image.get(), full);
    flat.SetRangeMax(0);
    flat.SetValue(5);
    EXPECT_EQ(flat.GetThumbOffset(), 0);
    flat.OnLButtonDown(0, {3, 3});
    flat.OnMouseMove(0, {9, 3});
    EXPECT_EQ(flat.GetThumbOffset(), 0);
    flat.SetRangeMax(100);
    flat.OnMouseMove(0, {9, 3});
    EXPECT_EQ(flat.GetValue(), 0);
    // A slider without an image draws nothing.
    flat.CreateFromLine(m_host.get(), 1, nullptr, full);
    m_host->Clear();
    flat.Draw(m_host->m_surface);
    EXPECT_EQ(At(0, 0), kBackground);
}
