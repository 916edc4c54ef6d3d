#include "tests/playback/PlaybackHarness.h"

namespace {

// Every handler with its code. Each marks that it ran and answers with its code.
// clang-format off
#define EVERY_HANDLER(X)                                                                           \
    X(OnCmdUnused0, 0) X(OnCmdPlay, 1) X(OnCmdPause, 2) X(OnCmdStop, 3) X(OnCmdUnused4, 4)        \
    X(OnCmdLoadClip, 5) X(OnCmdUnused6, 6) X(OnCmdUnused7, 7) X(OnCmdSeek, 8) X(OnCmdVolume, 9)   \
    X(OnCmdPosition, 10) X(OnCmdPlayState, 11) X(OnCmdSeekDragEnded, 12) X(OnCmdClosing, 13)      \
    X(OnCmdRefillRows, 14) X(OnCmdAppendRows, 15) X(OnCmdInsertRows, 16)                           \
    X(OnCmdUpdateControls, 17) X(OnCmdPlayableChanged, 18) X(OnCmdRepeatChanged, 19)              \
    X(OnCmdClipLoading, 20) X(OnCmdPlaybackRequested, 21) X(OnCmdStopped, 22)                      \
    X(OnCmdUserCommand, 23) X(OnCmdClipOpened, 24) X(OnCmdPlaybackCompleted, 25)                   \
    X(OnCmdUnused26, 26) X(OnCmdTranslate, 27) X(OnCmdEngineResetting, 28)                         \
    X(OnCmdResetPositions, 29) X(OnCmdBringToTop, 30)
#define RECORD_HANDLER(name, n) LRESULT name(ControlCommand&) override { m_hits.push_back(n); return 100 + (n); }
// clang-format on

class CEveryCodeObserver : public CCommandObserver {
public:
    std::vector<int> m_hits;

protected:
    EVERY_HANDLER(RECORD_HANDLER)
};

#undef RECORD_HANDLER
#undef EVERY_HANDLER

using CommandBusTest = PlaybackTest;

// Every window saw the same record, in this order of windows.
void ExpectEveryEntry(const std::vector<TraceEntry>& trace, const std::vector<std::string>& windows,
                      const ControlCommand& w) {
    ASSERT_EQ(trace.size(), windows.size());
    for (std::size_t i = 0; i < trace.size(); ++i)
        EXPECT_TRUE(trace[i].window == windows[i] && trace[i].code == w.code &&
                    trace[i].param1 == w.param1 && trace[i].pSender == w.pSender &&
                    trace[i].param2 == w.param2 && trace[i].text == w.text)
            << i;
}

} // namespace

TEST(CommandDispatchTest, EachCodeReachesItsOwnHandlerAndTheBaseIgnoresAllButTheEngineReset) {
    CEveryCodeObserver observer;
    for (int code = -1; code <= kCommandCodeCount; ++code) {
        observer.m_hits.clear();
        ControlCommand cmd{code, nullptr, 0, 0, {}};
        const bool known = code >= 0 && code < kCommandCodeCount;
        EXPECT_EQ(observer.DispatchCommand(cmd), known ? 100 + code : 0);
        EXPECT_EQ(observer.m_hits, known ? std::vector<int>{code} : std::vector<int>{}) << code;
    }
    // The observe message: only its own, and a missing record dispatches nothing.
    ControlCommand seek{CmdSeek, nullptr, 12, 0, {}};
    LRESULT result = -1;
    observer.m_hits.clear();
    EXPECT_FALSE(observer.ObserveMessage(WM_REG_SUBMITCOMMAND, WPARAM(&seek), 0, result));
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(observer.ObserveMessage(WM_REG_OBSERVECOMMAND, WPARAM(&seek), 0, result) &&
                result == 108);
    EXPECT_TRUE(observer.ObserveMessage(WM_REG_OBSERVECOMMAND, 0, 0, result) && result == 0);
    EXPECT_EQ(observer.m_hits, std::vector<int>{8});

    CCommandObserver base; // keeps only the engine reset's value
    for (int code = 0; code < kCommandCodeCount; ++code) {
        ControlCommand cmd{code, nullptr, code + 1, 0, {}};
        EXPECT_EQ(base.DispatchCommand(cmd), 0);
    }
    EXPECT_EQ(base.GetEngineResetting(), CmdEngineResetting + 1);
}

// A submitted record reaches play, playlist and main before the submit returns, and a later
// window sees what an earlier one filled in (here the playlist a clip for code 5 with 0). A
// command posted inside a handler arrives after it, to main, playlist and play.
TEST_F(CommandBusTest, SubmittedCommandsReachTheWindowsInOrderAndPostedOnesArriveLater) {
    CAttribClip clip;
    m_bus.SubmitCommand(&m_ctl, CmdPlayableChanged, ControlCommand::FromClip(&clip), 7, "x");
    ExpectEveryEntry(m_trace, {"play", "playlist", "main"},
                     {CmdPlayableChanged, &m_ctl, ControlCommand::FromClip(&clip), 7, "x"});

    struct CHookWnd : CObserverWnd {
        using CObserverWnd::CObserverWnd;
        CAttribClip m_clip;
        std::function<void()> m_onPause;
        LRESULT OnCmdLoadClip(ControlCommand& cmd) override {
            if (!cmd.param1)
                cmd.param1 = ControlCommand::FromClip(&m_clip);
            return 0;
        }
        LRESULT OnCmdPause(ControlCommand&) override { return m_onPause(), 0; }
    } hook("hook", m_trace);
    ASSERT_TRUE(hook.CreateMessageWindow());
    m_mainWnd.m_relay.SetWindows(&m_mainWnd, &hook, &m_playWnd);
    m_trace.clear();
    m_bus.SubmitCommand(nullptr, CmdLoadClip, 0);
    ASSERT_EQ(m_trace.size(), 3u);
    EXPECT_EQ(std::tuple(m_trace[0].param1, m_trace[2].window, m_trace[2].param1),
              std::tuple(0, "main", ControlCommand::FromClip(&hook.m_clip)));

    bool postedSeenInside = true;
    hook.m_onPause = [&] {
        m_bus.PostCommand(CmdVolume, 40);
        postedSeenInside = !Seen("main", CmdVolume).empty();
    };
    m_bus.SubmitCommand(nullptr, CmdPause);
    EXPECT_FALSE(postedSeenInside);
    EXPECT_TRUE(Seen("main", CmdVolume).empty());
    m_trace.clear();
    m_clock.Pump();
    ExpectEveryEntry(m_trace, {"main", "hook", "play"}, {CmdVolume, nullptr, 40, 0, {}});

    // Missing windows are skipped, a submit without a record is dropped, and a bus without a
    // main window delivers nothing.
    m_mainWnd.m_relay.SetWindows(&m_mainWnd, nullptr, nullptr);
    m_trace.clear();
    m_bus.SubmitCommand(nullptr, CmdStopped);
    m_mainWnd.SendMessage(WM_REG_SUBMITCOMMAND, 0, 0);
    CCommandBus detached;
    detached.SubmitCommand(nullptr, CmdStopped);
    detached.PostCommand(CmdStopped, 0);
    m_clock.Pump();
    ExpectEveryEntry(m_trace, {"main"}, {CmdStopped, nullptr, 0, 0, {}});
}
