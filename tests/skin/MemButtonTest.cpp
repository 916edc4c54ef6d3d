#include "skin/MemButton.h"
#include "skin/MemCheckButton.h"
#include "skin/MemRadioButton.h"
#include "skin/MemStateButton.h"
#include "tests/skin/SkinTestSupport.h"

#include <functional>

using namespace skintest;

namespace {

// A check button's line: normal, inactive, pressed, checked (pressed), hover, checked hover.
const std::vector<int> kCheckLine{50, 40, 8, 6, 0, 0, 10, 0, 20, 0, 0, 10, 20, 10, 30, 0, 30, 10};

class MemButtonTest : public SkinFixture {
protected:
    ~MemButtonTest() override { CMemCtrl::SetHotControl(nullptr); }
    template <class T> void Make(T& c, std::vector<int> line, UINT id = 7) {
        c.CreateFromLine(m_host.get(), id, m_image.get(), line.data());
    }
    // After each step the control at 50, 40 shows the image at that source point.
    void ExpectLooks(CMemCtrl& c,
                     const std::vector<std::pair<std::function<void()>, COLORREF>>& looks) {
        for (std::size_t i = 0; i < looks.size(); ++i) {
            looks[i].first();
            c.Draw(m_host->m_surface);
            EXPECT_EQ(At(50, 40), looks[i].second) << "step " << i;
        }
    }
    static void Click(CMemCtrl& c) {
        c.OnLButtonDown(0, {51, 41});
        c.OnLButtonUp(0, {51, 41});
    }

    std::unique_ptr<CSkinImage> m_image = MakeCoordImage(200, 200);
};

} // namespace

TEST_F(MemButtonTest, PressReleaseCancelAndRightButtonPostTheirCodesAndImagesFollowTheState) {
    CMemButton b;
    Make(b, {50, 40, 8, 6, 0, 0, 10, 0, 20, 0, 30, 0});
    b.OnLButtonDown(0, {52, 42});
    EXPECT_EQ(CMemCtrl::GetCapturedControl(), &b);
    b.OnLButtonUp(0, {52, 42});
    b.OnLButtonUp(0, {52, 42}); // a release without a press is not a click
    b.OnLButtonDown(0, {52, 42});
    b.Cancel(); // both release codes and no click
    EXPECT_EQ(CMemCtrl::GetCapturedControl(), nullptr);
    b.OnLButtonUp(0, {52, 42});
    b.OnRButtonDown(0, {52, 42});
    b.OnRButtonUp(0, {52, 42});
    EXPECT_EQ(Posted(), Codes(b, 2, 3, 1, 2, 3, 7, 6, 7, 5));
    // Without a parent nothing is posted; without a normal image nothing is drawn.
    CMemButton orphan;
    orphan.CreateFromLine(nullptr, 1, m_image.get(),
                          std::vector<int>{50, 40, 8, 6, -1, -1, 10, 0, 20, 0, 30, 0}.data());
    m_host->Clear();
    orphan.Draw(m_host->m_surface);
    EXPECT_EQ(At(50, 40), kBackground);
    Click(orphan);
    EXPECT_TRUE(Posted().empty());

    // Normal at (0,0), inactive (10,0), pressed (20,0), hover (30,0).
    const auto press = [](CMemCtrl& c) { c.OnLButtonDown(0, {51, 41}); };
    const auto hot = [](CMemCtrl* c) { CMemCtrl::SetHotControl(c); };
    ExpectLooks(b, {{[] {}, Coord(0, 0)},
                    {[&] { hot(&b); }, Coord(30, 0)},
                    {[&] { press(b); }, Coord(20, 0)},
                    {[&] { hot(nullptr); }, Coord(30, 0)}, // held away
                    {[&] { b.Cancel(); }, Coord(0, 0)},
                    {[&] { b.SetWindowInactive(true); }, Coord(10, 0)},
                    {[&] { b.SetDimsWhenInactive(false); }, Coord(0, 0)},
                    {[&] { b.SetWindowInactive(false), b.SetEnabled(false); }, Coord(10, 0)}});
    // Without inactive, pressed and hover images a disabled, pressed, hot button shows its normal.
    CMemButton plain;
    Make(plain, {50, 40, 8, 6, 40, 0, -1, -1, -1, -1, -1, -1});
    ExpectLooks(plain,
                {{[&] { plain.SetEnabled(false), hot(&plain), press(plain); }, Coord(40, 0)}});

    // A check button has no inactive look.
    CMemCheckButton check;
    Make(check, kCheckLine);
    ExpectLooks(check, {{[&] { check.SetCheck(true); }, Coord(0, 10)},
                        {[&] { press(check), hot(&check); }, Coord(20, 10)},
                        {[&] { hot(nullptr); }, Coord(30, 10)},
                        {[&] { check.Cancel(), check.SetCheck(false), hot(&check); }, Coord(30, 0)},
                        {[&] { hot(nullptr), check.SetEnabled(false); }, Coord(0, 0)}});

    // State: s0 (0,0)/(0,10); s2 (20,0)/(20,10); s1 (40,0)/(40,10); inactive (60,0); hovers
    // s0 (80,0), s1 (80,10), s2 -1,-1.
    CMemStateButton s;
    Make(s,
         {50, 40, 8, 6, 0, 0, 0, 10, 20, 0, 20, 10, 40, 0, 40, 10, 60, 0, 80, 0, 80, 10, -1, -1});
    ExpectLooks(s, {{[] {}, Coord(0, 0)},
                    {[&] { s.SetState(1); }, Coord(40, 0)},
                    {[&] { press(s), hot(&s); }, Coord(40, 10)},
                    {[&] { s.Cancel(); }, Coord(80, 10)},   // state 1's own hover
                    {[&] { s.SetState(2); }, Coord(80, 0)}, // no hover of its own: the base one
                    {[&] { hot(nullptr); }, Coord(20, 0)},
                    {[&] { s.SetEnabled(false); }, Coord(60, 0)}}); // the shared inactive image
    s.SetState(5);
    EXPECT_EQ(s.GetState(), 2);
}

TEST_F(MemButtonTest, ACheckTogglesOnReleaseBeforeTheClickAndARadioGroupKeepsOneChecked) {
    CMemCheckButton check;
    Make(check, kCheckLine, 9);
    std::vector<bool> checkedAtClick;
    m_host->m_onMessage = [&](UINT msg, WPARAM code, LPARAM) {
        if (msg == WM_REG_MEMCTRL && code == 1)
            checkedAtClick.push_back(check.IsChecked());
    };
    check.OnLButtonDown(0, {51, 41});
    EXPECT_FALSE(check.IsChecked()) << "the press alone does not toggle";
    check.OnLButtonUp(0, {51, 41});
    EXPECT_EQ(Posted(), Codes(check, 2, 3, 1));
    Click(check);
    check.OnLButtonDown(0, {51, 41});
    check.Cancel();
    EXPECT_FALSE(check.IsChecked()) << "a cancelled press does not toggle";
    EXPECT_EQ(Posted(), Codes(check, 2, 3, 1, 2, 3, 7));
    EXPECT_EQ(checkedAtClick, (std::vector<bool>{true, false}));

    CMemRadioButton a, b, c;
    CMemRadioGroup group;
    for (CMemRadioButton* p : {&a, &b, &c}) {
        Make(*p, kCheckLine, 1);
        group.Add(p);
    }
    EXPECT_EQ(group.GetChecked(), nullptr);
    group.Select(&b);
    Click(b);
    EXPECT_TRUE(b.IsChecked()) << "a checked radio button stays checked";
    Click(c);
    EXPECT_EQ((std::vector{a.IsChecked(), b.IsChecked(), c.IsChecked()}),
              (std::vector{false, false, true}));
    EXPECT_EQ(group.GetChecked(), &c);
}
