#include "skin/PlayerWndBase.h"
#include "platform/Keyboard.h"
#include "platform/MessageQueue.h"
#include "platform/RegisteredMessages.h"
#include "playback/UIControl.h"
#include "skin/AppLink.h"
#include "tests/skin/TestSkinWnd.h"

#include <gtest/gtest.h>

namespace {

// The application as the player windows see it, recording what they ask of it.
class CRecordingPlayerApp : public IPlayerApp {
public:
    struct Submitted {
        CCmdTarget* pSender;
        int code;
    };
    std::vector<Submitted> m_submitted;
    std::vector<std::vector<std::string>> m_added;
    std::vector<CPoint> m_menus;
    CUIControl m_control;

    void SubmitCommand(CCmdTarget* pSender, int code, LPARAM, LPARAM, const std::string&) override {
        m_submitted.push_back({pSender, code});
    }
    void PostCommand(WPARAM, LPARAM) override {}
    CUIControl& GetController() override { return m_control; }
    CWnd* GetMainWindow() override { return nullptr; }
    void AddFiles(const std::vector<std::string>& paths) override { m_added.push_back(paths); }
    void OpenMediaFiles(CWnd*) override {}
    void OpenCd(CWnd*) override {}
    void OpenVcd(CWnd*) override {}
    void ShowSystemMenu(CWnd*, CPoint pt) override { m_menus.push_back(pt); }
};

using CTestPlayerWnd = skintest::CTestSkinWndOf<CPlayerWndBase>;

class PlayerWndBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::CMessageQueue::Instance().Reset();
        SetPlayerApp(&m_app);
        ASSERT_TRUE(m_wnd.Create({100, 200, 412, 318}));
        m_wnd.ShowWindow(SW_SHOWNA);
    }
    void TearDown() override {
        platform::SetModifierState(false, false, false);
        SetPlayerApp(nullptr);
        platform::CMessageQueue::Instance().Reset();
    }
    LRESULT Observe(int code) {
        ControlCommand cmd{};
        cmd.code = code;
        return m_wnd.SendMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0);
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const auto& s : m_app.m_submitted)
            codes.push_back(s.code);
        return codes;
    }

    CRecordingPlayerApp m_app;
    CTestPlayerWnd m_wnd{"PlayerWnd"};
};

} // namespace

TEST_F(PlayerWndBaseTest, ALeftClickAsksForEveryPlayerWindowToComeForward) {
    m_wnd.Mouse(WM_LBUTTONDOWN, 150, 60);
    m_wnd.Mouse(WM_LBUTTONUP, 150, 60);
    ASSERT_EQ(Codes(), (std::vector<int>{CmdBringToTop}));
    EXPECT_EQ(m_app.m_submitted[0].pSender, &m_wnd);
}

TEST_F(PlayerWndBaseTest, ARightClickOffTheControlsOpensTheSystemMenuAtTheScreenPoint) {
    m_wnd.Mouse(WM_RBUTTONDOWN, 150, 60);
    m_wnd.Mouse(WM_RBUTTONUP, 150, 60);
    ASSERT_EQ(m_app.m_menus.size(), 1u);
    EXPECT_EQ(m_app.m_menus[0], (CPoint{250, 260}));
    // Over the close button the control takes the click.
    m_wnd.Mouse(WM_RBUTTONDOWN, 300, 8);
    m_wnd.Mouse(WM_RBUTTONUP, 300, 8);
    EXPECT_EQ(m_app.m_menus.size(), 1u);
}

TEST_F(PlayerWndBaseTest, CtrlMAndCtrlRToggleMuteAndRepeatOnly) {
    m_app.m_control.SetCommandBus(&m_app);
    const bool mute = m_app.m_control.GetMute();
    const bool repeat = m_app.m_control.GetRepeat();
    m_wnd.SendMessage(WM_KEYDOWN, 'M');
    EXPECT_EQ(m_app.m_control.GetMute(), mute); // without Ctrl nothing happens
    platform::SetModifierState(true, false, false);
    m_wnd.SendMessage(WM_KEYDOWN, 'M');
    m_wnd.SendMessage(WM_KEYDOWN, 'R');
    m_wnd.SendMessage(WM_KEYDOWN, 'X');
    EXPECT_EQ(m_app.m_control.GetMute(), !mute);
    EXPECT_EQ(m_app.m_control.GetRepeat(), !repeat);
    EXPECT_EQ(Codes(), (std::vector<int>{CmdUpdateControls, CmdRepeatChanged, CmdUpdateControls}));
}

TEST_F(PlayerWndBaseTest, DroppedFilesGoToTheApplicationInOrder) {
    DroppedFiles files{"/m/c.mp3", "/m/a.mp3", "/m/b.avi"};
    m_wnd.SendMessage(WM_DROPFILES, WPARAM(&files), 0);
    ASSERT_EQ(m_app.m_added.size(), 1u);
    EXPECT_EQ(m_app.m_added[0], files);
}

TEST_F(PlayerWndBaseTest, ResetPositionUnrollsAndTakesTheDefaultRectangle) {
    m_wnd.ToggleShade();
    ASSERT_TRUE(m_wnd.IsShaded());
    Observe(CmdResetPositions);
    EXPECT_FALSE(m_wnd.IsShaded());
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{0, 0, 312, 118}));
}

TEST_F(PlayerWndBaseTest, CodesOutsideTheTableAreIgnored) {
    EXPECT_EQ(Observe(31), 0);
    EXPECT_EQ(Observe(-1), 0);
    EXPECT_TRUE(m_wnd.IsWindow());
}
