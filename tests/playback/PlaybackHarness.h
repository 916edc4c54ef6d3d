// A small player for controller tests, on the virtual clock: the three windows as message windows
// recording every command they observe, the main window's relay and timers, a play window that
// carries out engine commands on a scripted engine manager, and the playlist rows as navigator.
#pragma once

#include "core/AttribClip.h"
#include "core/PlaylistRows.h"
#include "platform/Clock.h"
#include "platform/MessageQueue.h"
#include "platform/RegisteredMessages.h"
#include "playback/CommandBus.h"
#include "playback/CommandObserver.h"
#include "playback/CommandRelay.h"
#include "playback/EngineManagerControl.h"
#include "playback/UIControl.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// One command as one window observed it.
struct TraceEntry : ControlCommand {
    std::string window;
};

// Records every observed command (handled or not) before dispatching it.
class CObserverWnd : public CCommandWnd {
public:
    CObserverWnd(std::string name, std::vector<TraceEntry>& trace)
        : m_strName(std::move(name)), m_trace(trace) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_REG_OBSERVECOMMAND && wParam)
            m_trace.push_back({*reinterpret_cast<const ControlCommand*>(wParam), m_strName});
        return CCommandWnd::WindowProc(message, wParam, lParam);
    }

private:
    std::string m_strName;
    std::vector<TraceEntry>& m_trace;
};

// The engine manager as the controller and the play window see it. Opening is immediate unless
// held, paths in m_failing fail to open, a stop reports the open clip finished unless held.
class CScriptedEngineManager : public IEngineManagerControl {
public:
    CWnd* m_pParent = nullptr;
    std::set<std::string> m_failing;
    bool m_bHoldOpen = false, m_bHoldStopReport = false, m_bCanSeek = true;

    std::string m_strPath, m_strOverlay = "initial";
    std::vector<std::string> m_opened;
    int m_nPlayState = EngineStopped, m_nDisplayMode = -1;
    bool m_bOpen = false, m_bLoading = false, m_bIdleLogo = true, m_bStopReportHeld = false;
    int m_nEngineVolume = -1, m_nEngineMute = -1; // what reached an open engine; -1 never

    void SetVolume(int volume) override { m_nEngineVolume = m_bOpen ? volume : m_nEngineVolume; }
    void SetMute(bool mute) override { m_nEngineMute = m_bOpen ? mute : m_nEngineMute; }
    void SetDisplayMode(int mode) override { m_nDisplayMode = mode; }
    void SetIdleLogo(bool show) override { m_bIdleLogo = show; }
    void SetOverlayText(const std::string& text) override { m_strOverlay = text; }
    bool IsLoading() const override { return m_bLoading; }
    bool CanSeek() const override { return m_bOpen && m_bCanSeek; }

    // An engine command the play window recorded: a start resumes a paused clip or opens.
    void Carry(const ControlCommand& cmd) {
        const bool start = cmd.code == CmdPlay && cmd.param1;
        if (cmd.code == CmdLoadClip && cmd.GetClip()) {
            m_strPath = cmd.GetClip()->GetPath();
        } else if (start && m_bOpen && m_nPlayState == EnginePaused) {
            SetState(EnginePlaying);
        } else if (start && !m_strPath.empty()) {
            SetLoading(true);
            if (!m_bHoldOpen)
                CompleteOpen();
        } else if (cmd.code == CmdPause && m_bOpen) {
            SetState(EnginePaused);
        } else if (cmd.code == CmdStop && m_bOpen) {
            m_bOpen = false;
            SetState(EngineStopped);
            if (!(m_bStopReportHeld = m_bHoldStopReport))
                Finish(0);
        }
    }

    // Test controls.
    void CompleteOpen() {
        if (m_failing.count(m_strPath)) {
            SetState(EngineStopped);
            SetLoading(false);
            return Finish(1);
        }
        m_bOpen = true;
        m_opened.push_back(m_strPath);
        m_strOverlay.clear();
        m_pParent->SendMessage(WM_REG_OPENSUCCESSED, 1, 0);
        SetLoading(false);
        m_pParent->PostMessage(WM_REG_OPENSUCCESSED, 0, 0);
        SetState(EnginePlaying);
    }
    void ReleaseStopReport() {
        if (std::exchange(m_bStopReportHeld, false))
            Finish(0);
    }
    void Finish(WPARAM failed) { m_pParent->PostMessage(WM_REG_PLAYCOMPLETED, failed, 0); }
    void SetLoading(bool loading) {
        m_bLoading = loading;
        m_pParent->SendMessage(WM_REG_CLIPLOADING, loading ? 1 : 0, 0);
    }
    void SetState(int state) {
        m_nPlayState = state;
        m_pParent->SendMessage(WM_REG_PLAYSTATE, WPARAM(state), 0);
    }
};

// The play window's share: engine commands go to the engine manager, engine reports go to the
// controller and out as commands.
class CTestPlayWnd : public CObserverWnd {
public:
    CTestPlayWnd(std::vector<TraceEntry>& trace, CUIControl& ctl, CScriptedEngineManager& engine,
                 CCommandBus& bus)
        : CObserverWnd("play", trace), m_ctl(ctl), m_engine(engine), m_bus(bus) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = CObserverWnd::WindowProc(message, wParam, lParam);
        if (message == WM_REG_OBSERVECOMMAND && wParam) {
            m_engine.Carry(*reinterpret_cast<const ControlCommand*>(wParam));
        } else if (message == WM_REG_PLAYSTATE) {
            m_ctl.SetEnginePlayState(int(wParam));
            m_bus.SubmitCommand(this, CmdPlayState, LPARAM(wParam));
        } else if (message == WM_REG_CLIPLOADING) {
            m_bus.SubmitCommand(this, CmdClipLoading, LPARAM(wParam));
        } else if (message == WM_REG_OPENSUCCESSED) {
            m_ctl.OnOpenResult(wParam != 0);
            if (!wParam) {
                m_bus.SubmitCommand(m_bus.GetMainWnd(), CmdClipOpened);
                m_bus.SubmitCommand(this, CmdUpdateControls);
            }
        } else if (message == WM_REG_PLAYCOMPLETED) {
            m_ctl.OnPlayCompleted(wParam != 0);
            m_bus.SubmitCommand(m_bus.GetMainWnd(), CmdPlaybackCompleted);
            m_bus.SubmitCommand(this, CmdUpdateControls);
        }
        return result;
    }

private:
    CUIControl& m_ctl;
    CScriptedEngineManager& m_engine;
    CCommandBus& m_bus;
};

// The main window's share: it owns the relay and hands timers 1 and 2 to the controller.
class CTestMainWnd : public CObserverWnd {
public:
    CTestMainWnd(std::vector<TraceEntry>& trace, CUIControl& ctl)
        : CObserverWnd("main", trace), m_ctl(ctl) {}
    CCommandRelay m_relay;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (m_relay.HandleMessage(message, wParam, lParam, result))
            return result;
        if (message == WM_TIMER &&
            (wParam == CUIControl::kSelectTimer || wParam == CUIControl::kPlayTimer))
            return m_ctl.OnTimer(wParam), 0;
        return CObserverWnd::WindowProc(message, wParam, lParam);
    }

private:
    CUIControl& m_ctl;
};

class PlaybackTest : public ::testing::Test {
protected:
    PlaybackTest()
        : m_mainWnd(m_trace, m_ctl), m_playlistWnd("playlist", m_trace),
          m_playWnd(m_trace, m_ctl, m_engine, m_bus) {}

    void SetUp() override {
        platform::CMessageQueue::Instance().Reset();
        for (CWnd* pWnd : std::initializer_list<CWnd*>{&m_mainWnd, &m_playlistWnd, &m_playWnd})
            ASSERT_TRUE(pWnd->CreateMessageWindow());
        m_mainWnd.m_relay.SetWindows(&m_mainWnd, &m_playlistWnd, &m_playWnd);
        m_bus.SetMainWnd(&m_mainWnd);
        m_engine.m_pParent = &m_playWnd;
        m_rows.SetRepeatQuery([this] { return m_ctl.GetRepeat(); });
        m_ctl.SetCommandBus(&m_bus);
        m_ctl.SetNavigator(&m_rows);
        m_ctl.AttachEngineManager(&m_engine);
        m_ctl.SetTimerWindow(&m_mainWnd);
    }
    void TearDown() override { platform::CMessageQueue::Instance().Reset(); }

    static std::string PathOf(int i) { return "/media/clip" + std::to_string(i) + ".mp3"; }

    // n clips in the list and one row each, the cursor on row 0, then the start-up step.
    void AddClips(int n) {
        for (int i = 0; i < n; ++i) {
            auto clip = std::make_unique<CAttribClip>();
            clip->SetPath(PathOf(i));
            m_rows.AppendRow(m_ctl.GetClipList().Add(std::move(clip)));
        }
        m_rows.SetCursorRow(0);
        m_ctl.Start();
    }
    CAttribClip* Clip(int i) const { return m_ctl.GetClipList().GetAt(std::size_t(i)); }

    // Plays the cursor clip from the stopped state and lets the open finish.
    void StartPlayback() {
        m_ctl.Play();
        m_clock.Pump();
    }
    // The open clip plays to its end, and the controller hears of it.
    void PlayToEnd() {
        m_engine.m_bOpen = false;
        m_engine.m_nPlayState = EngineStopped;
        m_engine.Finish(0);
        m_clock.Pump();
    }

    // Commands of one code as one window saw them.
    std::vector<TraceEntry> Seen(const std::string& window, int code) const {
        std::vector<TraceEntry> out;
        std::copy_if(m_trace.begin(), m_trace.end(), std::back_inserter(out),
                     [&](const TraceEntry& e) { return e.window == window && e.code == code; });
        return out;
    }
    // The codes one window saw, in order, from trace index `from` on.
    std::vector<int> Codes(const std::string& window, std::size_t from = 0) const {
        std::vector<int> out;
        for (std::size_t i = from; i < m_trace.size(); ++i)
            if (m_trace[i].window == window)
                out.push_back(m_trace[i].code);
        return out;
    }
    // The names of the enabled queries.
    std::string Queries() const {
        std::istringstream names("play previous resume pause stop next select seek");
        std::string out, name;
        for (bool on : {m_ctl.CanPlay(), m_ctl.CanPrevious(), m_ctl.CanResume(), m_ctl.CanPause(),
                        m_ctl.CanStop(), m_ctl.CanNext(), m_ctl.CanSelect(), m_ctl.CanSeek()})
            if (names >> name && on)
                out += (out.empty() ? "" : " ") + name;
        return out;
    }

    platform::CVirtualClock m_clock;
    std::vector<TraceEntry> m_trace;
    CUIControl m_ctl;
    CPlaylistRows m_rows;
    CScriptedEngineManager m_engine;
    CCommandBus m_bus;
    CTestMainWnd m_mainWnd;
    CObserverWnd m_playlistWnd;
    CTestPlayWnd m_playWnd;
};
