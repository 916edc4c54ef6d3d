// A player around the play window: the recording application over a real command bus, a main
// message window that relays commands and runs the controller's timers, the playlist rows as the
// navigator, and a play window on a fixed desktop that records its menus and window orders.
#pragma once

#include "core/AttribClip.h"
#include "core/PlaylistRows.h"
#include "platform/Clock.h"
#include "platform/Keyboard.h"
#include "playback/EngineManager.h"
#include "skin/PlayWnd.h"
#include "tests/playback/PlaybackHarness.h"
#include "tests/support/ClockWait.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/ScratchFolder.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace playtest {

// The translation the play window tests speak: "Fit to window" only.
inline std::string FitTranslation(const std::string& text) {
    return text == "&Fit to window" ? "&Ajuster" : text == "Fit to window" ? "Ajuster" : text;
}

class CPlayWndUnderTest : public CPlayWnd {
public:
    static constexpr CRect kDesktop{0, 0, 1024, 768};

    std::vector<CRect> GetScreenAreas() const override { return {kDesktop}; }
    CRect GetDesktopRect() const override { return kDesktop; }
    bool UsesSystemMove() const override { return false; }

    std::vector<std::vector<playwnd::MenuEntry>> m_menus;
    UINT m_nMenuChoice = 0;
    std::vector<bool> m_orders;     // true: the play window was put on top
    std::optional<CSize> m_picture; // the picture size the engine reports, when set

    void OpenPicture(CSize picture) { // as if a clip of that size had opened
        m_picture = picture;
        SendMessage(WM_REG_OPENSUCCESSED, 1, 0);
    }
    LRESULT Observe(int code, LPARAM param1 = 0) {
        ControlCommand cmd{code, nullptr, param1, 0, {}};
        return SendMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0);
    }

    void Mouse(UINT message, int x, int y) { SendMessage(message, 0, MAKELPARAM(x, y)); }
    void Click(UINT message, int x, int y) { // a press and its release
        Mouse(message, x, y);
        Mouse(message == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP, x, y);
    }
    void Click(UINT nID) {
        const CRect r = GetButton(nID)->GetCtrlRect();
        Click(WM_LBUTTONDOWN, r.left + 2, r.top + 2);
    }

protected:
    CSize QueryPictureSize() override {
        return m_picture ? *m_picture : CPlayWnd::QueryPictureSize();
    }
    UINT TrackContextMenu(const std::vector<playwnd::MenuEntry>& menu, CPoint) override {
        m_menus.push_back(menu);
        return m_nMenuChoice;
    }
    void ReorderWindows(bool bPlayOnTop) override {
        m_orders.push_back(bPlayOnTop);
        CPlayWnd::ReorderWindows(bPlayOnTop);
    }
};

// The main window's part, also noting the requests of its child windows.
class CTestMainWndWithNotes : public CTestMainWnd {
public:
    using CTestMainWnd::CTestMainWnd;
    std::vector<LPARAM> m_childNotes;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_REG_CHILDWNDNOTIFY)
            m_childNotes.push_back(lParam);
        return CTestMainWnd::WindowProc(message, wParam, lParam);
    }
};

class PlayWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_mainWnd.CreateMessageWindow());
        m_app.m_bus.SetMainWnd(&m_mainWnd);
        m_app.m_translate = FitTranslation;
        m_rows.SetRepeatQuery([this] { return Ctl().GetRepeat(); });
        Ctl().SetCommandBus(&m_app);
        Ctl().SetNavigator(&m_rows);
        Ctl().SetTimerWindow(&m_mainWnd);
        ASSERT_TRUE(m_wnd.Create(&m_mainWnd));
        m_mainWnd.m_relay.SetWindows(&m_mainWnd, nullptr, &m_wnd);
        m_wnd.MoveWindow({100, 100, 412, 357});
        m_wnd.RefreshCachedRect();
        m_wnd.ShowWindow(SW_SHOWNA);
        m_clock.Pump();
    }
    void TearDown() override { platform::SetModifierState(false, false, false); }

    CUIControl& Ctl() { return m_app.m_control; }
    CEngineManager& Engine() { return *m_wnd.GetEngineManager(); }

    // One clip per path in the list and a row each, the cursor on row 0, then the start-up.
    void AddClips(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            auto clip = std::make_unique<CAttribClip>();
            clip->SetPath(path);
            m_rows.AppendRow(Ctl().GetClipList().Add(std::move(clip)));
        }
        m_rows.SetCursorRow(0);
        Ctl().Start();
    }

    bool PumpUntil(const std::function<bool()>& pred) {
        return testsupport::PumpUntil(m_clock, pred);
    }

    // The commands the main window observed, of one code.
    std::vector<TraceEntry> Seen(int code) const {
        std::vector<TraceEntry> out;
        for (const TraceEntry& e : m_trace)
            if (e.code == code)
                out.push_back(e);
        return out;
    }
    LPARAM LastParam(int code) const {
        const auto seen = Seen(code);
        return seen.empty() ? -1 : seen.back().param1;
    }
    CSize VideoSize() const {
        const CRect a = m_wnd.GetVideoArea();
        return {a.Width(), a.Height()};
    }

    platform::CVirtualClock m_clock;
    testsupport::ScratchFolder m_temp;
    testsupport::CRecordingPlayerApp m_app;
    testsupport::CPlayerWindowWorldGuard m_world{&m_app, m_temp.Path() + "/corvella"};
    std::vector<TraceEntry> m_trace;
    CTestMainWndWithNotes m_mainWnd{m_trace, m_app.m_control};
    CPlaylistRows m_rows;
    CPlayWndUnderTest m_wnd;
};

} // namespace playtest
