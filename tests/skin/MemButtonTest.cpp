#include "skin/MemButton.h"
#include "skin/MemCheckButton.h"
#include "skin/MemRadioButton.h"
#include "skin/MemStateButton.h"
#include "tests/skin/SkinTestSupport.h"

using namespace skintest;

namespace {

class MemButtonTest : public SkinFixture {
protected:
    void SetUp() override {
        SkinFixture::SetUp();
        m_image = MakeCoordImage(200, 200);
        // Normal at (0,0), inactive (10,0), pressed (20,0), hover (30,0); 8 × 6 at (50, 40).
        const int line[] = {50, 40, 8, 6, 0, 0, 10, 0, 20, 0, 30, 0};
        m_button.CreateFromLine(m_host.get(), 7, m_image.get(), line);
    }
    void TearDown() override {
        CMemCtrl::SetHotControl(nullptr);
        SkinFixture::TearDown();
    }
    COLORREF Shown() {
        m_button.Draw(m_host->m_surface);
        return At(50, 40);
    }

    std::unique_ptr<CSkinImage> m_image;
    CMemButton m_button;
};

} // namespace

TEST_F(MemButtonTest, PressThenReleasePostsDownThenUpThenClick) {
    m_button.OnLButtonDown(0, {52, 42});
    EXPECT_EQ(CMemCtrl::GetCapturedControl(), &m_button);
    EXPECT_EQ(Posted(), (std::vector<Msg>{Code(m_button, 2)}));
    m_button.OnLButtonUp(0, {52, 42});
    EXPECT_EQ(Posted(), (std::vector<Msg>{Code(m_button, 3), Code(m_button, 1)}));
    EXPECT_EQ(CMemCtrl::GetCapturedControl(), nullptr);
    // A release without a press is not a click.
    m_button.OnLButtonUp(0, {52, 42});
    EXPECT_TRUE(Posted().empty());
}

TEST_F(MemButtonTest, CancelledPressPostsBothReleaseCodesAndNoClick) {
    m_button.OnLButtonDown(0, {52, 42});
    m_button.Cancel();
    EXPECT_EQ(Posted(),
              (std::vector<Msg>{Code(m_button, 2), Code(m_button, 3), Code(m_button, 7)}));
    EXPECT_FALSE(m_button.IsLeftPressed());
    EXPECT_EQ(CMemCtrl::GetCapturedControl(), nullptr);
    m_button.OnLButtonUp(0, {52, 42});
    EXPECT_TRUE(Posted().empty());
}

TEST_F(MemButtonTest, RightButtonPostsSixSevenFive) {
    m_button.OnRButtonDown(0, {52, 42});
    m_button.OnRButtonUp(0, {52, 42});
    EXPECT_EQ(Posted(),
              (std::vector<Msg>{Code(m_button, 6), Code(m_button, 7), Code(m_button, 5)}));
}

TEST_F(MemButtonTest, ImagesFollowPressHoverAndActivation) {
    EXPECT_EQ(Shown(), Coord(0, 0));
    CMemCtrl::SetHotControl(&m_button);
    EXPECT_EQ(Shown(), Coord(30, 0)) << "hot and not pressed shows hover";
    m_button.OnLButtonDown(0, {52, 42});
    EXPECT_EQ(Shown(), Coord(20, 0)) << "pressed under the mouse shows pressed";
    CMemCtrl::SetHotControl(nullptr);
    EXPECT_EQ(Shown(), Coord(30, 0)) << "held with the pointer away shows hover";
    m_button.Cancel();
    EXPECT_EQ(Shown(), Coord(0, 0));
    m_button.SetWindowInactive(true);
    EXPECT_EQ(Shown(), Coord(10, 0));
    m_button.SetDimsWhenInactive(false);
    EXPECT_EQ(Shown(), Coord(0, 0));
    m_button.SetWindowInactive(false);
    m_button.SetEnabled(false);
    EXPECT_EQ(Shown(), Coord(10, 0)) << "disabled shows the inactive image";
    // The redraws went through the parent.
    EXPECT_GT(m_host->m_nRedraws, 0);
}

TEST_F(MemButtonTest, LineGeometryAndDefaults) {
    // Inactive -1,-1 falls back to normal; no hover; a negative place gives edge offsets.
    const int line[] = {-30, -12, 8, 6, 40, 0, -1, -1, -1, -1, -1, -1};
    CMemButton b;
    b.CreateFromLine(m_host.get(), 3, m_image.get(), line);
    EXPECT_EQ(b.GetRightOffset(), 30);
    EXPECT_EQ(b.GetBottomOffset(), 12);
    b.SetPosition(60, -1);
    EXPECT_EQ(b.GetCtrlRect(), (CRect{60, -12, 68, -6}));
    b.SetPosition(-1, 100);
    b.SetEnabled(false);
    CMemCtrl::SetHotControl(&b);
    b.OnLButtonDown(0, {61, 101});
    b.Draw(m_host->m_surface);
    EXPECT_EQ(At(60, 100), Coord(40, 0)) << "no pressed image: the base look";
    EXPECT_TRUE(b.HitTest({67, 105}));
    EXPECT_FALSE(b.HitTest({68, 105}));
}

TEST_F(MemButtonTest, NothingIsDrawnWithoutNormalImageAndNothingPostedWithoutParent) {
    const int line[] = {50, 40, 8, 6, -1, -1, 10, 0, 20, 0, 30, 0};
    CMemButton b;
    b.CreateFromLine(nullptr, 1, m_image.get(), line);
    b.Draw(m_host->m_surface);
    EXPECT_EQ(At(50, 40), kBackground);
    b.OnLButtonDown(0, {51, 41});
    b.OnLButtonUp(0, {51, 41});
    EXPECT_TRUE(Posted().empty());
}

namespace {

class MemCheckButtonTest : public MemButtonTest {
protected:
    void SetUp() override {
        MemButtonTest::SetUp();
        // normal (0,0), inactive (10,0), pressed (20,0), checked (0,10), checked pressed
        // (20,10), hover (30,0), checked hover (30,10).
        const int line[] = {50, 40, 8, 6, 0, 0, 10, 0, 20, 0, 0, 10, 20, 10, 30, 0, 30, 10};
        m_check.CreateFromLine(m_host.get(), 9, m_image.get(), line);
    }
    COLORREF ShownCheck() {
        m_check.Draw(m_host->m_surface);
        return At(50, 40);
    }
    CMemCheckButton m_check;
};

} // namespace

TEST_F(MemCheckButtonTest, TogglesOnReleaseBeforeTheClickArrives) {
    std::vector<bool> checkedAtClick;
    m_host->m_onMessage = [&](UINT msg, WPARAM code, LPARAM) {
        if (msg == WM_REG_MEMCTRL && code == 1)
            checkedAtClick.push_back(m_check.IsChecked());
    };
    m_check.OnLButtonDown(0, {51, 41});
    EXPECT_FALSE(m_check.IsChecked()) << "the press alone does not toggle";
    m_check.OnLButtonUp(0, {51, 41});
    EXPECT_EQ(Posted(), (std::vector<Msg>{Code(m_check, 2), Code(m_check, 3), Code(m_check, 1)}));
    m_check.OnLButtonDown(0, {51, 41});
    m_check.OnLButtonUp(0, {51, 41});
    Posted();
    EXPECT_EQ(checkedAtClick, (std::vector<bool>{true, false}));
    m_check.OnLButtonDown(0, {51, 41});
    m_check.Cancel();
    EXPECT_FALSE(m_check.IsChecked()) << "a cancelled press does not toggle";
}

TEST_F(MemCheckButtonTest, DrawsCheckedImagesAndHasNoInactiveLook) {
    EXPECT_EQ(ShownCheck(), Coord(0, 0));
    m_check.SetCheck(true);
    EXPECT_EQ(ShownCheck(), Coord(0, 10));
    m_check.OnLButtonDown(0, {51, 41});
    CMemCtrl::SetHotControl(&m_check);
    EXPECT_EQ(ShownCheck(), Coord(20, 10));
    CMemCtrl::SetHotControl(nullptr);
    EXPECT_EQ(ShownCheck(), Coord(30, 10)) << "held away: checked hover";
    m_check.Cancel();
    m_check.SetCheck(false);
    CMemCtrl::SetHotControl(&m_check);
    EXPECT_EQ(ShownCheck(), Coord(30, 0));
    CMemCtrl::SetHotControl(nullptr);
    m_check.SetEnabled(false);
    EXPECT_EQ(ShownCheck(), Coord(0, 0));
}

TEST_F(MemCheckButtonTest, RadioButtonNeverUnchecksItselfAndTheGroupKeepsOneChecked) {
    const int line[] = {0, 0, 8, 6, 0, 0, 10, 0, 20, 0, 0, 10, 20, 10, 30, 0, 30, 10};
    CMemRadioButton a, b, c;
    CMemRadioGroup group;
    for (CMemRadioButton* p : {&a, &b, &c}) {
        p->CreateFromLine(m_host.get(), 1, m_image.get(), line);
        group.Add(p);
    }
    EXPECT_EQ(group.GetChecked(), nullptr);
    group.Select(&b);
    EXPECT_EQ(group.GetChecked(), &b);
    EXPECT_FALSE(a.IsChecked());
    b.OnLButtonDown(0, {1, 1});
    b.OnLButtonUp(0, {1, 1});
    EXPECT_TRUE(b.IsChecked()) << "a checked radio button stays checked";
    EXPECT_EQ(Posted(), (std::vector<Msg>{Code(b, 2), Code(b, 3), Code(b, 1)}));
    c.OnLButtonDown(0, {1, 1});
    c.OnLButtonUp(0, {1, 1});
    EXPECT_TRUE(c.IsChecked());
    EXPECT_FALSE(b.IsChecked());
    EXPECT_EQ(group.GetChecked(), &c);
}

TEST_F(MemButtonTest, StateButtonTakesEachStatesImagesFromItsLine) {
    // s0 (0,0)/(0,10); s2 (20,0)/(20,10); s1 (40,0)/(40,10); inactive (60,0);
    // hovers s0 (80,0), s1 (80,10), s2 -1,-1.
    const int line[] = {50, 40, 8,  6,  0,  0, 0,  10, 20, 0,  20, 10,
                        40, 0,  40, 10, 60, 0, 80, 0,  80, 10, -1, -1};
    CMemStateButton s;
    s.CreateFromLine(m_host.get(), 13, m_image.get(), line);
    auto shown = [&] {
        s.Draw(m_host->m_surface);
        return At(50, 40);
    };
    EXPECT_EQ(shown(), Coord(0, 0));
    s.SetState(1);
    EXPECT_EQ(shown(), Coord(40, 0));
    s.OnLButtonDown(0, {51, 41});
    CMemCtrl::SetHotControl(&s);
    EXPECT_EQ(shown(), Coord(40, 10));
    s.Cancel();
    EXPECT_EQ(shown(), Coord(80, 10)) << "state 1 has its own hover";
    s.SetState(2);
    EXPECT_EQ(shown(), Coord(80, 0)) << "state 2 without a hover uses the base hover";
    CMemCtrl::SetHotControl(nullptr);
    EXPECT_EQ(shown(), Coord(20, 0));
    s.SetEnabled(false);
    EXPECT_EQ(shown(), Coord(60, 0)) << "the inactive image is shared";
    s.SetState(5);
    EXPECT_EQ(s.GetState(), 2);
}
