// The tray icon: its menu is the system menu with "Restore" first, a double click runs the
// default item, the tooltip is cut, the animation comes back to the icon it started from, and
// without a tray no icon is made.
#include "tests/shell/MenuTestSupport.h"

#include "shell/SystemTray.h"

#include <QPixmap>

using menutest::ItemIds;
using menutest::MenuTest;

namespace {

QIcon Colour(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

class SystemTrayTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        shell::SetSystemTrayAvailableOverride(true);
        m_ctx.restoreFromTray = [this] { ++m_nRestored; };
        m_tray.SetMenuContext([this] { return m_ctx; });
    }
    void TearDown() override {
        shell::SetSystemTrayAvailableOverride(std::nullopt);
        MenuTest::TearDown();
    }

    CSystemTray m_tray;
    int m_nRestored = 0;
};

} // namespace

TEST_F(SystemTrayTest, WithoutATrayNoIconIsMade) {
    shell::SetSystemTrayAvailableOverride(false);
    EXPECT_FALSE(m_tray.Create(&m_app.m_mainWnd, "Corvella", Colour(Qt::red)));
    EXPECT_FALSE(m_tray.IsCreated());
    // Its notifications then do nothing.
    shell::SetMenuTracker([](QMenu&, const QPoint&) {
        ADD_FAILURE() << "no menu without an icon";
        return 0;
    });
    EXPECT_EQ(m_tray.OnRightButtonUp(QPoint(1, 1)), 0);
}

TEST_F(SystemTrayTest, TheMenuStartsWithRestoreAndPicksAreCarriedOut) {
    ASSERT_TRUE(
        m_tray.Create(&m_app.m_mainWnd, "Corvella", Colour(Qt::red), res::IDR_SYSTEMMENU, true));
    std::vector<int> shown;
    const QAction* pDefault = nullptr;
    shell::SetMenuTracker([&](QMenu& menu, const QPoint&) {
        shown = ItemIds(menu);
        pDefault = menu.defaultAction();
        EXPECT_EQ(shell::MenuItemId(pDefault), res::ID_RESTORE);
        return res::ID_RESTORE;
    });
    EXPECT_EQ(m_tray.OnRightButtonUp(QPoint(5, 5)), res::ID_RESTORE);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0], res::ID_RESTORE);
    EXPECT_EQ(shown[1], 0);
    EXPECT_EQ(shown[2], res::ID_APP_ABOUT);
    EXPECT_EQ(m_nRestored, 1);

    shell::SetMenuTracker([](QMenu&, const QPoint&) { return res::ID_MUTE; });
    m_tray.OnRightButtonUp(QPoint(5, 5));
    EXPECT_TRUE(m_app.m_controller.GetMute()) << "the tray's commands go to the target";
}

TEST_F(SystemTrayTest, DoubleClickRunsTheDefaultItem) {
    ASSERT_TRUE(
        m_tray.Create(&m_app.m_mainWnd, "Corvella", Colour(Qt::red), res::IDR_SYSTEMMENU, true));
    EXPECT_EQ(m_tray.GetMenuDefaultCommand(), res::ID_RESTORE) << "the first item by default";
    m_tray.OnDoubleClick();
    EXPECT_EQ(m_nRestored, 1);

    m_tray.SetMenuDefaultItem(res::ID_APP_EXIT, false);
    m_tray.OnDoubleClick();
    EXPECT_EQ(m_app.Codes(), (std::vector<int>{CmdUserCommand}));
    m_tray.SetMenuDefaultItem(99, true);
    EXPECT_EQ(m_tray.GetMenuDefaultCommand(), 0);
    m_tray.OnDoubleClick();
    EXPECT_EQ(m_nRestored, 1);
    EXPECT_EQ(m_app.m_submitted.size(), 1u);
}

TEST_F(SystemTrayTest, TheTooltipIsCutTo63Characters) {
    ASSERT_TRUE(m_tray.Create(&m_app.m_mainWnd, std::string(80, 'x'), Colour(Qt::red),
                              res::IDR_SYSTEMMENU, true));
    EXPECT_EQ(m_tray.GetTooltip(), std::string(63, 'x'));
    m_tray.SetTooltip("Corvella - Track 1");
    EXPECT_EQ(m_tray.GetTrayIcon()->toolTip(), "Corvella - Track 1");
}

TEST_F(SystemTrayTest, HiddenAndRemovedStatesAreKept) {
    ASSERT_TRUE(
        m_tray.Create(&m_app.m_mainWnd, "Corvella", Colour(Qt::red), res::IDR_SYSTEMMENU, true));
    EXPECT_FALSE(m_tray.IsIconVisible());
    EXPECT_TRUE(m_tray.IsIconRemoved());
    m_tray.HideIcon();
    EXPECT_FALSE(m_tray.IsIconVisible());
    m_tray.RemoveIcon();
    EXPECT_TRUE(m_tray.IsIconRemoved());
}

TEST_F(SystemTrayTest, TheAnimationRingsThroughItsIconsAndRestoresTheFirst) {
    ASSERT_TRUE(
        m_tray.Create(&m_app.m_mainWnd, "Corvella", Colour(Qt::red), res::IDR_SYSTEMMENU, true));
    const QIcon original = m_tray.GetIcon();
    EXPECT_FALSE(m_tray.Animate(std::chrono::milliseconds(100), std::chrono::hours(1)))
        << "nothing to animate";
    m_tray.SetIconList({Colour(Qt::green), Colour(Qt::blue)});
    ASSERT_TRUE(m_tray.Animate(std::chrono::hours(1), std::chrono::hours(1)));
    m_tray.StepAnimation();
    EXPECT_EQ(m_tray.GetIcon().cacheKey(), m_tray.GetTrayIcon()->icon().cacheKey());
    EXPECT_NE(m_tray.GetIcon().cacheKey(), original.cacheKey());
    EXPECT_EQ(m_tray.GetAnimationIndex(), 1);
    m_tray.StepAnimation();
    m_tray.StepAnimation();
    EXPECT_EQ(m_tray.GetAnimationIndex(), 1) << "a ring of two icons";
    m_tray.StopAnimation();
    EXPECT_FALSE(m_tray.IsAnimating());
    EXPECT_EQ(m_tray.GetIcon().cacheKey(), original.cacheKey());

    // Once the duration has passed, the next step ends the animation.
    ASSERT_TRUE(m_tray.Animate(std::chrono::hours(1), std::chrono::milliseconds(0)));
    m_tray.StepAnimation();
    EXPECT_FALSE(m_tray.IsAnimating());
    EXPECT_EQ(m_tray.GetIcon().cacheKey(), original.cacheKey());
}

TEST_F(SystemTrayTest, MinimisingHidesTheWindowAndRestoringShowsIt) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateTopLevel(CRect{0, 0, 50, 40}, "Corvella"));
    wnd.ShowWindow(SW_SHOW);
    CSystemTray::MinimiseToTray(&wnd);
    EXPECT_FALSE(wnd.IsWindowVisible());
    CSystemTray::RestoreFromTray(&wnd);
    EXPECT_TRUE(wnd.IsWindowVisible());
    CSystemTray::MinimiseToTray(nullptr);
}
