// A player around the play window for the tests: an application object with a real controller
// and command bus, a main window (a message window) that relays commands and hands the
// controller its timers, the playlist rows as the navigator, the registry in a scratch folder,
// and the virtual clock. The play window under test answers a fixed desktop and records the
// context menus it was asked to show.
#pragma once

#include "core/AttribClip.h"
#include "core/PlaylistRows.h"
#include "core/RegObjectStore.h"
#include "platform/Clock.h"
#include "platform/Keyboard.h"
#include "platform/MessageQueue.h"
#include "platform/Registry.h"
#include "playback/CommandBus.h"
#include "playback/EngineManager.h"
#include "skin/PlayWnd.h"
#include "skin/AppLink.h"
#include "tests/playback/PlaybackHarness.h"
#include "tests/support/ScratchFolder.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace playtest {

class CTestApp : public IPlayerApp {
public:
    CUIControl m_control;
    CCommandBus m_bus;
    CWnd* m_pMainWnd = nullptr;
    int m_nOpenDialogs = 0;
    std::vector<CPoint> m_systemMenus;

    void SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1, LPARAM param2,
                       const std::string& text) override {
        m_bus.SubmitCommand(pSender, code, param1, param2, text);
    }
    void PostCommand(WPARAM code, LPARAM param1) override { m_bus.PostCommand(code, param1); }
    CUIControl& GetController() override { return m_control; }
    CWnd* GetMainWindow() override { return m_pMainWnd; }
    void AddFiles(const std::vector<std::string>&) override {}
    void OpenMediaFiles(CWnd*) override { ++m_nOpenDialogs; }
    void OpenCd(CWnd*) override {}
    void OpenVcd(CWnd*) override {}
    void ShowSystemMenu(CWnd*, CPoint pt) override { m_systemMenus.push_back(pt); }
    std::string Translate(const std::string& text) override {
        if (text == "Fit to window" || text == "&Fit to window")
            return text[0] == '&' ? "&Ajuster" : "Ajuster";
        return text;
    }
};

class CPlayWndUnderTest : public CPlayWnd {
public:
    static constexpr CRect kDesktop{0, 0, 1024, 768};

    std::vector<CRect> GetScreenAreas() const override { return {kDesktop}; }
    CRect GetDesktopRect() const override { return kDesktop; }
    bool UsesSystemMove() const override { return false; }

    std::vector<std::vector<playwnd::MenuEntry>> m_menus;
    UINT m_nMenuChoice = 0;
    std::vector<bool> m_orders; // true: the play window was put on top
    CSize m_picture;            // the picture size the engine reports, when set
    bool m_bFakePicture = false;

    void Mouse(UINT message, int x, int y) { SendMessage(message, 0, MAKELPARAM(x, y)); }
    void Click(UINT nID) {
        const CRect r = GetButton(nID)->GetCtrlRect();
        Mouse(WM_LBUTTONDOWN, r.left + 2, r.top + 2);
        Mouse(WM_LBUTTONUP, r.left + 2, r.top + 2);
    }

protected:
    CSize QueryPictureSize() override {
        return m_bFakePicture ? m_picture : CPlayWnd::QueryPictureSize();
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
        platform::CMessageQueue::Instance().Reset();
        CRegistry::Instance().Reset(m_temp.Path() + "/corvella");
        SetPlayerApp(&m_app);
        ASSERT_TRUE(m_mainWnd.CreateMessageWindow());
        m_app.m_pMainWnd = &m_mainWnd;
        m_app.m_bus.SetMainWnd(&m_mainWnd);
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
    void TearDown() override {
        platform::SetModifierState(false, false, false);
        m_wnd.DestroyWindow();
        SetPlayerApp(nullptr);
        CRegistry::Instance().Reset();
        platform::CMessageQueue::Instance().Reset();
    }

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

    // Lets the engine's threads report until the condition holds (the virtual clock stands
    // still meanwhile); false when it never does.
    bool PumpUntil(const std::function<bool()>& pred) {
        for (int i = 0; i < 3000 && !pred(); ++i) {
            m_clock.Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return pred();
    }

    // The commands the main window observed, of one code.
    std::vector<TraceEntry> Seen(int code) const {
        std::vector<TraceEntry> out;
        for (const TraceEntry& e : m_trace)
            if (e.code == code)
                out.push_back(e);
        return out;
    }
    CSize VideoSize() const {
        const CRect a = m_wnd.GetVideoArea();
        return {a.Width(), a.Height()};
    }

    platform::CVirtualClock m_clock;
    testsupport::ScratchFolder m_temp;
    CTestApp m_app;
    std::vector<TraceEntry> m_trace;
    CTestMainWndWithNotes m_mainWnd{m_trace, m_app.m_control};
    CPlaylistRows m_rows;
    CPlayWndUnderTest m_wnd;
};

// A WAV file of silence: RIFF header, format chunk (PCM), data chunk.
inline void WriteWav(const std::string& path, int nMilliseconds, int nRate = 8000) {
    const std::uint32_t dataSize = std::uint32_t(nRate / 1000 * nMilliseconds * 2);
    std::string out;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(char((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back(char(v & 0xFF));
        out.push_back(char(v >> 8));
    };
    out += "RIFF";
    u32(36 + dataSize);
    out += "WAVEfmt ";
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(std::uint32_t(nRate));
    u32(std::uint32_t(nRate * 2));
    u16(2);  // block align
    u16(16); // bits per sample
    out += "data";
    u32(dataSize);
    out.append(dataSize, '\0');
    std::ofstream(path, std::ios::binary) << out;
}

} // namespace playtest
