// The part all three player windows share: clicks, Ctrl keys, dropped files and the commands
// every window observes.
#include "skin/PlayerWndBase.h"
#include "platform/Keyboard.h"
#include "platform/RegisteredMessages.h"
#include "tests/skin/TestSkinWnd.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

class PlayerWndBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_wnd.Create({100, 200, 412, 318}));
        m_wnd.ShowWindow(SW_SHOWNA);
    }
    void TearDown() override { platform::SetModifierState(false, false, false); }
    void Click(UINT press, int x, int y) {
        m_wnd.Mouse(press, x, y);
        m_wnd.Mouse(press + 1, x, y); // the matching release
    }

    testsupport::ScratchFolder m_temp;
    testsupport::CRecordingPlayerApp m_app{true};
    testsupport::CPlayerWindowWorldGuard m_world{&m_app, m_temp.Path() + "/corvella"};
    skintest::CTestSkinWndOf<CPlayerWndBase> m_wnd{"PlayerWnd"};
};

TEST_F(PlayerWndBaseTest, ClicksAndCtrlKeysReachTheApplicationAndTheController) {
    Click(WM_LBUTTONDOWN, 150, 60);
    ASSERT_EQ(m_app.Codes(), (std::vector<int>{CmdBringToTop}));
    EXPECT_EQ(m_app.m_commands[0].pSender, &m_wnd);
    // A right click off the controls opens the system menu at the screen point.
    Click(WM_RBUTTONDOWN, 150, 60);
    EXPECT_EQ(m_app.m_menus, (std::vector<CPoint>{{250, 260}}));
    Click(WM_RBUTTONDOWN, 300, 8); // over the close button the control takes the click
    EXPECT_EQ(m_app.m_menus.size(), 1u);
    // Ctrl+M and Ctrl+R toggle mute and repeat; other keys and M without Ctrl do nothing.
    m_app.m_commands.clear();
    const bool mute = m_app.m_control.GetMute(), repeat = m_app.m_control.GetRepeat();
    m_wnd.SendMessage(WM_KEYDOWN, 'M');
    EXPECT_EQ(m_app.m_control.GetMute(), mute);
    platform::SetModifierState(true, false, false);
    for (WPARAM key : {'M', 'R', 'X'})
        m_wnd.SendMessage(WM_KEYDOWN, key);
    EXPECT_EQ(m_app.m_control.GetMute(), !mute);
    EXPECT_EQ(m_app.m_control.GetRepeat(), !repeat);
    EXPECT_EQ(m_app.Codes(),
              (std::vector<int>{CmdUpdateControls, CmdRepeatChanged, CmdUpdateControls}));
}

TEST_F(PlayerWndBaseTest, DropsResetsAndUnknownCodes) {
    DroppedFiles files{"/m/c.mp3", "/m/a.mp3", "/m/b.avi"};
    m_wnd.SendMessage(WM_DROPFILES, WPARAM(&files), 0);
    EXPECT_EQ(m_app.m_added, std::vector<std::vector<std::string>>{files}) << "in order";
    // Resetting the positions unrolls the window and takes the default rectangle; unknown
    // codes are left alone.
    m_wnd.ToggleShade();
    ASSERT_TRUE(m_wnd.IsShaded());
    for (int code : {int(CmdResetPositions), 31, -1}) {
        ControlCommand cmd{code, nullptr, 0, 0, {}};
        EXPECT_EQ(m_wnd.SendMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0), 0);
    }
    EXPECT_FALSE(m_wnd.IsShaded());
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{0, 0, 312, 118}));
}

} // namespace
