#include "tests/playback/PlaybackHarness.h"

namespace {

// Marks which handler ran; the answer tells the code back.
#define RECORD_HANDLER(name, n)                                                                    \
    LRESULT name(ControlCommand&) override {                                                       \
        m_hits.push_back(n);                                                                       \
        return 100 + (n);                                                                          \
    }

class CEveryCodeObserver : public CCommandObserver {
public:
    std::vector<int> m_hits;

protected:
    RECORD_HANDLER(OnCmdUnused0, 0)
    RECORD_HANDLER(OnCmdPlay, 1)
    RECORD_HANDLER(OnCmdPause, 2)
    RECORD_HANDLER(OnCmdStop, 3)
    RECORD_HANDLER(OnCmdUnused4, 4)
    RECORD_HANDLER(OnCmdLoadClip, 5)
    RECORD_HANDLER(OnCmdUnused6, 6)
    RECORD_HANDLER(OnCmdUnused7, 7)
    RECORD_HANDLER(OnCmdSeek, 8)
    RECORD_HANDLER(OnCmdVolume, 9)
    RECORD_HANDLER(OnCmdPosition, 10)
    RECORD_HANDLER(OnCmdPlayState, 11)
    RECORD_HANDLER(OnCmdSeekDragEnded, 12)
    RECORD_HANDLER(OnCmdClosing, 13)
    RECORD_HANDLER(OnCmdRefillRows, 14)
    RECORD_HANDLER(OnCmdAppendRows, 15)
    RECORD_HANDLER(OnCmdInsertRows, 16)
    RECORD_HANDLER(OnCmdUpdateControls, 17)
    RECORD_HANDLER(OnCmdPlayableChanged, 18)
    RECORD_HANDLER(OnCmdRepeatChanged, 19)
    RECORD_HANDLER(OnCmdClipLoading, 20)
    RECORD_HANDLER(OnCmdPlaybackRequested, 21)
    RECORD_HANDLER(OnCmdStopped, 22)
    RECORD_HANDLER(OnCmdUserCommand, 23)
    RECORD_HANDLER(OnCmdClipOpened, 24)
    RECORD_HANDLER(OnCmdPlaybackCompleted, 25)
    RECORD_HANDLER(OnCmdUnused26, 26)
    RECORD_HANDLER(OnCmdTranslate, 27)
    RECORD_HANDLER(OnCmdEngineResetting, 28)
    RECORD_HANDLER(OnCmdResetPositions, 29)
    RECORD_HANDLER(OnCmdBringToTop, 30)
};

#undef RECORD_HANDLER

using CommandBusTest = PlaybackTest;

// Every window saw the same record.
void ExpectEveryEntry(const std::vector<TraceEntry>& trace, const TraceEntry& want) {
    for (const auto& e : trace) {
        EXPECT_EQ(e.code, want.code) << e.window;
        EXPECT_EQ(e.param1, want.param1) << e.window;
        EXPECT_EQ(e.pSender, want.pSender) << e.window;
        EXPECT_EQ(e.param2, want.param2) << e.window;
        EXPECT_EQ(e.text, want.text) << e.window;
    }
}

ControlCommand MakeCommand(int code, LPARAM param1 = 0) {
    return ControlCommand{code, nullptr, param1, 0, {}};
}

} // namespace

TEST(CommandDispatchTest, EachCodeReachesItsOwnHandlerAndOtherCodesNone) {
    CEveryCodeObserver observer;
    for (int code = 0; code < kCommandCodeCount; ++code) {
        observer.m_hits.clear();
        ControlCommand cmd = MakeCommand(code);
        EXPECT_EQ(observer.DispatchCommand(cmd), 100 + code);
        EXPECT_EQ(observer.m_hits, std::vector<int>{code}) << "code " << code;
    }
    observer.m_hits.clear();
    for (int code : {-1, 31, 1000}) {
        ControlCommand cmd = MakeCommand(code);
        EXPECT_EQ(observer.DispatchCommand(cmd), 0);
    }
    EXPECT_TRUE(observer.m_hits.empty());
}

TEST(CommandDispatchTest, ObserveMessageTakesOnlyItsMessageAndSurvivesAMissingRecord) {
    CEveryCodeObserver observer;
    ControlCommand cmd = MakeCommand(CmdSeek, 12);
    LRESULT result = -1;
    EXPECT_FALSE(observer.ObserveMessage(WM_REG_SUBMITCOMMAND, WPARAM(&cmd), 0, result));
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(observer.ObserveMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0, result));
    EXPECT_EQ(result, 108);
    EXPECT_TRUE(observer.ObserveMessage(WM_REG_OBSERVECOMMAND, 0, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(observer.m_hits, std::vector<int>{8});
}

TEST(CommandDispatchTest, BaseHandlersIgnoreCodesButRecordTheEngineResetValue) {
    CCommandObserver observer;
    for (int code = 0; code < kCommandCodeCount; ++code) {
        ControlCommand cmd = MakeCommand(code, 1);
        EXPECT_EQ(observer.DispatchCommand(cmd), 0);
    }
    EXPECT_EQ(observer.GetEngineResetting(), 1);
    ControlCommand after = MakeCommand(CmdEngineResetting, 0);
    observer.DispatchCommand(after);
    EXPECT_EQ(observer.GetEngineResetting(), 0);
}

TEST_F(CommandBusTest, SubmittedCommandReachesPlayPlaylistMainInOrderBeforeSubmitReturns) {
    CAttribClip clip;
    m_bus.SubmitCommand(&m_ctl, CmdPlayableChanged, ControlCommand::FromClip(&clip), 7, "x");
    EXPECT_EQ(WindowsInTrace(), (std::vector<std::string>{"play", "playlist", "main"}));
    ExpectEveryEntry(m_trace,
                     {"", CmdPlayableChanged, ControlCommand::FromClip(&clip), &m_ctl, 7, "x"});
}

TEST_F(CommandBusTest, AWindowSeesChangesToTheRecordMadeByAnEarlierWindow) {
    // The playlist window fills in a clip for code 5 with 0; the main window, later in the
    // order, sees it in the same record.
    struct CFillingWnd : CObserverWnd {
        using CObserverWnd::CObserverWnd;
        CAttribClip m_clip;
        LRESULT OnCmdLoadClip(ControlCommand& cmd) override {
            if (!cmd.param1)
                cmd.param1 = ControlCommand::FromClip(&m_clip);
            return 0;
        }
    } filler("filler", m_trace);
    ASSERT_TRUE(filler.CreateMessageWindow());
    m_mainWnd.m_relay.SetWindows(&m_mainWnd, &filler, &m_playWnd);
    m_bus.SubmitCommand(nullptr, CmdLoadClip, 0);
    ASSERT_EQ(m_trace.size(), 3u);
    EXPECT_EQ(m_trace[0].param1, 0);
    EXPECT_EQ(m_trace[2].window, "main");
    EXPECT_EQ(m_trace[2].param1, ControlCommand::FromClip(&filler.m_clip));
}

TEST_F(CommandBusTest, PostedCommandArrivesAfterTheCurrentHandlerInReverseOrder) {
    bool postedSeenInside = true;
    struct CPostingWnd : CObserverWnd {
        using CObserverWnd::CObserverWnd;
        std::function<void()> m_onPause;
        LRESULT OnCmdPause(ControlCommand&) override {
            m_onPause();
            return 0;
        }
    } poster("poster", m_trace);
    ASSERT_TRUE(poster.CreateMessageWindow());
    m_mainWnd.m_relay.SetWindows(&m_mainWnd, &m_playlistWnd, &poster);
    poster.m_onPause = [&] {
        m_bus.PostCommand(CmdVolume, 40);
        postedSeenInside = !Seen("main", CmdVolume).empty();
    };
    m_bus.SubmitCommand(nullptr, CmdPause);
    EXPECT_FALSE(postedSeenInside);
    EXPECT_TRUE(Seen("main", CmdVolume).empty());

    m_trace.clear();
    m_clock.Pump();
    EXPECT_EQ(WindowsInTrace(), (std::vector<std::string>{"main", "playlist", "poster"}));
    ExpectEveryEntry(m_trace, {"", CmdVolume, 40, nullptr, 0, ""});
}

TEST_F(CommandBusTest, RelaySkipsMissingWindowsAndDropsASubmitWithoutRecord) {
    m_mainWnd.m_relay.SetWindows(&m_mainWnd, nullptr, nullptr);
    m_bus.SubmitCommand(nullptr, CmdStopped);
    m_mainWnd.SendMessage(WM_REG_SUBMITCOMMAND, 0, 0);
    ASSERT_EQ(m_trace.size(), 1u);
    EXPECT_EQ(m_trace[0].window, "main");

    CCommandBus detached;
    detached.SubmitCommand(nullptr, CmdStopped);
    detached.PostCommand(CmdStopped, 0);
    m_clock.Pump();
    EXPECT_EQ(m_trace.size(), 1u);
}
