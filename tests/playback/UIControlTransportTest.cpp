#include "tests/playback/PlaybackHarness.h"

namespace {

using UIControlTransportTest = PlaybackTest;

} // namespace

// (The defaults a fresh controller keeps are checked where a damaged stored state leaves them.)
TEST_F(UIControlTransportTest, StartAnnouncesTheCursorClipPlayWaitsForTheZeroTimerStopAnnounces) {
    EXPECT_EQ(m_engine.m_nDisplayMode, 2) << "attaching hands the display mode to the manager";
    AddClips(3);
    // Without a cursor row there is no current clip and nothing to load.
    m_rows.SetCursorRow(CPlaylistRows::kNoRow);
    m_trace.clear();
    m_ctl.Start();
    EXPECT_EQ(m_ctl.GetCurrentClip(), nullptr);
    EXPECT_EQ(PlayCodesSince(0), std::vector<int>{CmdUpdateControls});
    // Start marks every clip playable and loads the cursor clip.
    Clip(1)->SetPlayable(0);
    m_rows.SetCursorRow(2);
    m_trace.clear();
    m_ctl.Start();
    EXPECT_EQ(Clip(1)->GetPlayable(), 1);
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(2));
    EXPECT_EQ(PlayCodesSince(0), (std::vector<int>{CmdUpdateControls, CmdLoadClip}));
    EXPECT_EQ(Seen("play", CmdLoadClip)[0].param1, ControlCommand::FromClip(Clip(2)));
    EXPECT_EQ(m_engine.m_strPath, PathOf(2));

    m_trace.clear();
    EXPECT_TRUE(m_ctl.Play());
    EXPECT_TRUE(m_trace.empty());
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened, std::vector<std::string>{PathOf(2)});
    EXPECT_FALSE(m_engine.m_bIdleLogo);
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Playing);
    EXPECT_EQ(m_ctl.GetEnginePlayState(), EnginePlaying);
    // Code 1 with start, then the playback-requested notice after the open it caused; the open
    // sequence ended, the clip is marked playable and the rows hear of it.
    EXPECT_EQ(PlayCodesSince(0).at(0), CmdPlay);
    EXPECT_EQ(Seen("play", CmdPlay)[0].param1, 1);
    EXPECT_EQ(Seen("play", CmdPlaybackRequested).size(), 1u);
    EXPECT_FALSE(m_ctl.IsBusy());
    EXPECT_EQ(Seen("playlist", CmdPlayableChanged).back().param1,
              ControlCommand::FromClip(Clip(2)));

    // Stop announces stop, stopped, then a seek to 0; the stop's finish report starts nothing.
    m_engine.m_strOverlay = "stale";
    const std::size_t mark = m_trace.size();
    EXPECT_TRUE(m_ctl.Stop());
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Stopped);
    EXPECT_TRUE(m_engine.m_bIdleLogo);
    EXPECT_EQ(m_engine.m_strOverlay, "");
    auto codes = PlayCodesSince(mark);
    std::erase(codes, CmdPlayState);
    EXPECT_EQ(codes, (std::vector<int>{CmdStop, CmdStopped, CmdSeek}));
    EXPECT_EQ(Seen("play", CmdSeek).back().param1, 0);
    m_ctl.RunPendingPlay(); // no play waits
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened.size(), 1u);
    EXPECT_EQ(m_engine.m_nPlayState, EngineStopped);
    // A waiting play runs at once, and its timer is gone.
    m_ctl.Play();
    m_ctl.RunPendingPlay();
    EXPECT_EQ(m_engine.m_opened.size(), 2u);
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened.size(), 2u);
}

TEST_F(UIControlTransportTest, PreviousAndNextWrapAndThreeQuickNextsOpenOnlyTheThird) {
    AddClips(5);
    StartPlayback();
    m_ctl.Previous(); // from the first row to the last, with repeat
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Previous);
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(4));
    m_clock.Advance(500);
    m_ctl.Next(); // and round to the first
    m_clock.Advance(500);
    EXPECT_EQ(m_engine.m_opened, (std::vector<std::string>{PathOf(0), PathOf(4), PathOf(0)}));
    EXPECT_EQ(m_rows.GetCursorRow(), 0);

    m_trace.clear();
    m_ctl.Next();
    m_clock.Advance(200);
    m_ctl.Next();
    m_clock.Advance(499); // each press restarts the 500 ms delay
    m_ctl.Next();
    EXPECT_EQ(m_rows.GetCursorRow(), 3);
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(3));
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Next);
    EXPECT_TRUE(m_engine.m_bOpen); // the first clip still plays
    EXPECT_GE(Seen("main", CmdUpdateControls).size(), 3u) << "every press refreshed the controls";
    m_clock.Advance(499);
    EXPECT_TRUE(Seen("play", CmdStop).empty());
    m_clock.Advance(1);
    EXPECT_EQ(Seen("play", CmdStop).size(), 1u);
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(3));
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Playing);
    EXPECT_FALSE(m_ctl.IsBusy());
    m_clock.Advance(2000); // nothing is left over: no second stop or open later on
    EXPECT_EQ(m_engine.m_opened.size(), 4u);
}

TEST_F(UIControlTransportTest, AFailedClipIsMarkedUnplayableAndTheEndOfTheListStopsWithoutRepeat) {
    AddClips(4);
    m_engine.m_failing = {PathOf(1)};
    StartPlayback();
    PlayToEnd();
    EXPECT_EQ(Clip(1)->GetPlayable(), 0);
    EXPECT_EQ(Clip(2)->GetPlayable(), 1);
    EXPECT_EQ(m_engine.m_opened, (std::vector<std::string>{PathOf(0), PathOf(2)}));
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(2));
    EXPECT_EQ(m_rows.GetCursorRow(), 2);
    EXPECT_EQ(m_engine.m_nPlayState, EnginePlaying);
    // The failed clip's row was told to redraw its mark.
    bool failedRowRedrawn = false;
    for (const auto& e : Seen("playlist", CmdPlayableChanged))
        failedRowRedrawn |= e.param1 == ControlCommand::FromClip(Clip(1));
    EXPECT_TRUE(failedRowRedrawn);

    m_ctl.SetRepeat(false);
    PlayToEnd();
    PlayToEnd();
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(3));
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Stopped);
    EXPECT_EQ(m_ctl.GetCurrentClip(), nullptr);
    EXPECT_EQ(Seen("main", CmdStopped).size(), 1u);
}

TEST_F(UIControlTransportTest, AllClipsFailingStopsEmptiesTheCurrentClipAndShowsTheText) {
    AddClips(3);
    m_engine.m_failing = {PathOf(0), PathOf(1), PathOf(2)};
    m_ctl.SetTranslator([](const std::string& s) { return "<" + s + ">"; });
    StartPlayback(); // walks the whole list once, with repeat on
    EXPECT_TRUE(m_engine.m_opened.empty());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Clip(i)->GetPlayable(), 0) << i;
    EXPECT_EQ(m_ctl.GetCurrentClip(), nullptr);
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Stopped);
    EXPECT_EQ(m_engine.m_strOverlay, "<All files in playlist are not playable.>");
    EXPECT_TRUE(m_engine.m_bIdleLogo);
    EXPECT_EQ(Seen("playlist", CmdPlayableChanged).back().param1, 0);
    EXPECT_EQ(Seen("main", CmdStopped).size(), 1u);
    EXPECT_FALSE(m_ctl.IsBusy());
    EXPECT_EQ(platform::CMessageQueue::Instance().PendingCount(), 0u);
}

TEST_F(UIControlTransportTest, PauseThenFinishOrNextMovesOnLikePlaying) {
    AddClips(3);
    StartPlayback();
    EXPECT_TRUE(m_ctl.Pause());
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Paused);
    EXPECT_EQ(m_ctl.GetEnginePlayState(), EnginePaused);
    // Resuming does not reopen the clip.
    m_ctl.Play();
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened.size(), 1u);
    EXPECT_EQ(m_ctl.GetEnginePlayState(), EnginePlaying);
    m_ctl.Pause();
    PlayToEnd();
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(1));
    // Next while paused, as the windows do it: stop, then next. The stop's finish report
    // starts the chosen clip, and the end of the delay leaves it playing.
    m_ctl.Pause();
    m_ctl.Stop();
    m_ctl.Next();
    m_clock.Advance(2000);
    EXPECT_EQ(m_engine.m_opened, (std::vector<std::string>{PathOf(0), PathOf(1), PathOf(2)}));
    EXPECT_EQ(m_ctl.GetEnginePlayState(), EnginePlaying);
    EXPECT_FALSE(m_ctl.IsBusy());
}

TEST_F(UIControlTransportTest, PlayClipLoadsItWhileStoppedAndStopsTheOldClipWhilePlaying) {
    AddClips(3);
    m_trace.clear();
    m_ctl.PlayClip(Clip(1), false); // without start it only becomes the current clip
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(1));
    EXPECT_TRUE(m_trace.empty());
    m_clock.Pump();
    EXPECT_TRUE(m_engine.m_opened.empty());
    m_ctl.PlayClip(Clip(2), true); // stopped: loads it, then starts through the zero timer
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(2));
    ASSERT_EQ(Seen("play", CmdLoadClip).size(), 1u);
    EXPECT_EQ(Seen("play", CmdLoadClip)[0].param1, ControlCommand::FromClip(Clip(2)));
    EXPECT_TRUE(Seen("play", CmdPlay).empty());
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened, std::vector<std::string>{PathOf(2)});
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Playing);

    // Playing: the old clip stops, and the new one starts on its finish report.
    const std::size_t mark = m_trace.size();
    m_engine.m_bHoldStopReport = true;
    m_ctl.PlayClip(Clip(0), true);
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::PlayClip);
    EXPECT_EQ(PlayCodesSince(mark).front(), CmdStop);
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened.size(), 1u);
    m_engine.ReleaseStopReport();
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened, (std::vector<std::string>{PathOf(2), PathOf(0)}));
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Playing);
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(0));
}

TEST_F(UIControlTransportTest, VolumeMuteAndEachModeChangeAreAppliedAndAnnounced) {
    AddClips(2);
    m_ctl.SetVolume(40);
    m_ctl.SetMute(true);
    EXPECT_EQ(m_engine.m_nEngineVolume, -1) << "applied after the next open";
    EXPECT_EQ(m_engine.m_nEngineMute, -1);
    StartPlayback();
    EXPECT_EQ(m_engine.m_nEngineVolume, 40);
    EXPECT_EQ(m_engine.m_nEngineMute, 1);
    m_ctl.SetVolume(55); // while open, at once
    EXPECT_EQ(m_engine.m_nEngineVolume, 55);
    // Kept within 0 to 100, and announced.
    m_trace.clear();
    m_ctl.SetVolume(150);
    EXPECT_EQ(m_ctl.GetVolume(), 100);
    m_ctl.SetVolume(-5);
    EXPECT_EQ(m_ctl.GetVolume(), 0);
    const std::vector<TraceEntry> announced = Seen("main", CmdVolume);
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced[0].param1, 100);
    EXPECT_EQ(announced[1].param1, 0);

    const std::vector<int> modes{CmdRepeatChanged, CmdUpdateControls};
    const struct {
        std::function<void()> change;
        std::function<bool()> changed;
        std::vector<int> codes;
    } cases[] = {
        {[&] { m_ctl.ToggleRepeat(); }, [&] { return !m_ctl.GetRepeat(); }, modes},
        {[&] { m_ctl.ToggleRepeatOne(); }, [&] { return m_ctl.GetRepeatOne(); }, modes},
        {[&] { m_ctl.ToggleShuffle(); }, [&] { return m_ctl.GetShuffle(); }, modes},
        {[&] { m_ctl.ToggleMute(); }, [&] { return !m_ctl.GetMute(); }, {CmdUpdateControls}},
        {[&] { m_ctl.ChooseRepeat(true, false); },
         [&] { return m_ctl.GetRepeat() && !m_ctl.GetRepeatOne(); }, modes},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        m_trace.clear();
        cases[i].change();
        EXPECT_TRUE(cases[i].changed()) << i;
        std::vector<int> codes;
        for (const TraceEntry& e : m_trace)
            if (e.window == "main")
                codes.push_back(e.code);
        EXPECT_EQ(codes, cases[i].codes) << i;
    }
    CUIControl bare; // without wiring, transport does nothing harmful
    EXPECT_TRUE(bare.Play() && bare.Next() && bare.Stop());
    EXPECT_EQ(bare.GetPendingAction(), PendingAction::Stopped);
}

TEST_F(UIControlTransportTest, RepeatOnePlaysTheClipAgainUntilItFailsAndShuffleFollowsItsOrder) {
    AddClips(4);
    m_ctl.SetRepeatOne(true);
    StartPlayback();
    PlayToEnd();
    EXPECT_EQ(m_engine.m_opened, (std::vector<std::string>{PathOf(0), PathOf(0)}));
    // A clip that fails is not repeated: the list moves on.
    m_engine.m_failing = {PathOf(0)};
    PlayToEnd();
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(1));
    EXPECT_EQ(m_engine.m_opened.size(), 3u);
    m_ctl.SetRepeatOne(false);

    // Shuffled, the four clips come once each without reordering the rows.
    m_engine.m_failing.clear();
    m_ctl.SetShuffle(true);
    m_ctl.SetRepeat(false);
    std::set<std::string> heard{m_engine.m_opened.back()};
    for (int i = 0; i < 10 && m_ctl.GetPendingAction() != PendingAction::Stopped; ++i) {
        PlayToEnd();
        heard.insert(m_engine.m_opened.back());
    }
    EXPECT_EQ(heard.size(), 4u);
    EXPECT_EQ(m_engine.m_opened.size(), 3u + 3u) << "each clip once, then the end of the pass";
    EXPECT_EQ(m_rows.GetClip(2), Clip(2));
}
