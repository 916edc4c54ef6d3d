#include "core/Archive.h"
#include "tests/playback/PlaybackHarness.h"
#include "tests/support/ScratchFolder.h"

namespace {

using UIControlTest = PlaybackTest;

std::string Bytes(std::initializer_list<int> values) {
    return {values.begin(), values.end()};
}

} // namespace

TEST_F(UIControlTest, QueriesFollowThePlayStateAndLoadingOrBusyRefusesThemAll) {
    EXPECT_EQ(Queries(), "resume") << "an empty list";
    AddClips(3);
    EXPECT_EQ(Queries(), "play previous resume next select") << "nothing open";
    StartPlayback();
    EXPECT_EQ(Queries(), "play previous pause stop next select seek");
    m_engine.m_bCanSeek = false;
    m_ctl.Pause();
    EXPECT_EQ(Queries(), "play previous resume stop next select");

    m_ctl.Stop();
    m_clock.Pump();
    m_engine.m_bHoldOpen = true;
    StartPlayback();
    ASSERT_TRUE(m_engine.IsLoading() && !m_ctl.IsBusy());
    EXPECT_EQ(Queries(), "");
    EXPECT_EQ(Seen("main", CmdClipLoading).back().param1, 1) << "the windows heard of it";
    m_engine.CompleteOpen();
    m_clock.Pump();
    EXPECT_EQ(Queries(), "play previous pause stop next select");

    // Busy from the end of the select delay until the open sequence has ended: even with the
    // engine stopped and the list full, nothing is offered.
    m_engine.m_bHoldStopReport = true;
    m_ctl.Next();
    EXPECT_TRUE(m_ctl.CanNext()); // not busy before the delay ran out
    m_clock.Advance(500);
    ASSERT_TRUE(m_ctl.IsBusy() && !m_engine.IsLoading());
    EXPECT_EQ(Queries(), "");
    m_engine.ReleaseStopReport();
    m_clock.Pump();
    EXPECT_TRUE(m_ctl.IsBusy()); // the new clip is still opening
    m_engine.CompleteOpen();
    EXPECT_TRUE(m_ctl.IsBusy()); // until the open sequence has ended
    m_clock.Pump();
    EXPECT_TRUE(!m_ctl.IsBusy() && m_ctl.CanPause());
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(1));

    // A stop right after Next does not leave the controller busy, and Play starts the clip
    // that was selected.
    m_engine.m_bHoldOpen = m_engine.m_bHoldStopReport = false;
    m_ctl.Next();
    m_clock.Advance(100);
    m_ctl.Stop();
    m_clock.Advance(1000);
    EXPECT_TRUE(!m_ctl.IsBusy() && m_ctl.CanPlay());
    EXPECT_EQ(m_engine.m_opened.size(), 3u);
    StartPlayback();
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(2));
}

TEST_F(UIControlTest, RemoveAndClearLeaveNoDanglingCurrentAndAFileThatCannotLoadIsReported) {
    AddClips(3);
    m_ctl.PlayClip(Clip(1), false);
    CAttribClip stranger;
    EXPECT_FALSE(m_ctl.RemoveClip(&stranger) || m_ctl.RemoveClip(nullptr));
    CAttribClip* first = Clip(0);
    m_rows.DeleteRow(0);
    EXPECT_TRUE(m_ctl.RemoveClip(first));
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(0)) << "unchanged";
    std::vector<std::string> paths{"/already/there.mp3"};
    m_ctl.CollectPaths(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"/already/there.mp3", PathOf(1), PathOf(2)}));
    m_rows.DeleteRow(0);
    EXPECT_TRUE(m_ctl.RemoveClip(Clip(0)));
    EXPECT_EQ(m_ctl.GetCurrentClip(), nullptr);
    m_rows.DeleteAllRows();
    m_ctl.ClearPlaylist();
    EXPECT_TRUE(m_ctl.GetClipList().IsEmpty());

    // Where added files go is the core's rule; here a file that cannot load is reported.
    testsupport::ScratchFolder dir;
    const std::string bad = dir.MakeFile("broken.mpl", "junk");
    std::vector<std::string> reports;
    m_ctl.SetErrorReporter([&](const std::string& caption, const std::string& text) {
        reports.push_back(caption + "|" + text);
    });
    EXPECT_TRUE(m_ctl.AddFiles({bad}, true).added.empty());
    EXPECT_EQ(reports, std::vector<std::string>{"File Exception.|Cann't load file.\n\n " + bad});
}

// The image: the list, the two folders, then repeat, mute, volume and display mode, every
// field a value of its own. Loading restores each and replaces the list; a damaged image keeps
// what was read before the damage, and a volume out of range is brought into it.
TEST(UIControlSerializeTest, WritesEveryFieldAndLoadingRestoresWhatWasReadBeforeAnyDamage) {
    CUIControl source;
    source.SetLastOpenFolder("/a");
    source.SetLastPlaylistFolder("/b");
    source.SetRepeat(false);
    source.SetMute(true);
    source.SetVolume(40);
    source.SetDisplayMode(3);
    CArchive empty;
    source.Serialize(empty);
    EXPECT_EQ(empty.GetBuffer(),
              Bytes({1, 0, 0, 0, 0, 0, 0}) + // empty list: version 1, count 0, empty name
                  Bytes({2, '/', 'a', 2, '/', 'b'}) +
                  Bytes({0, 0, 0, 0, 1, 0, 0, 0, 40, 0, 0, 0, 3, 0, 0, 0}));

    for (const char* path : {"/m/one.mp3", "/m/two.avi"}) {
        auto clip = std::make_unique<CAttribClip>();
        clip->SetPath(path);
        source.GetClipList().Add(std::move(clip));
    }
    CArchive out;
    source.Serialize(out);
    const std::string& full = out.GetBuffer();
    CUIControl target;
    target.GetClipList().Add(std::make_unique<CAttribClip>());
    target.PlayClip(target.GetClipList().GetAt(0), false);
    CArchive whole(full);
    target.Serialize(whole);
    EXPECT_TRUE(!whole.Failed() && whole.AtEnd());
    EXPECT_EQ(target.GetCurrentClip(), nullptr);
    // The same image again (checked byte for byte above) means every field was read back.
    CArchive again;
    target.Serialize(again);
    EXPECT_EQ(again.GetBuffer(), full);

    // Cut inside the volume: list, folders, repeat and mute arrive; volume and mode keep theirs.
    CUIControl cut;
    CArchive inCut(std::string_view(full).substr(0, full.size() - 6));
    cut.Serialize(inCut);
    EXPECT_TRUE(inCut.Failed());
    EXPECT_EQ(std::tuple(cut.GetClipList().GetCount(), cut.GetLastPlaylistFolder(), cut.GetRepeat(),
                         cut.GetMute(), cut.GetVolume(), cut.GetDisplayMode()),
              std::tuple(2u, "/b", false, true, 80, 2));
    // Cut inside the list: the playlist the controller had stays, nothing else changes.
    CUIControl kept;
    kept.GetClipList().Add(std::make_unique<CAttribClip>());
    CArchive inList(std::string_view(full).substr(0, 5));
    kept.Serialize(inList);
    EXPECT_EQ(std::tuple(kept.GetClipList().GetCount(), kept.GetLastOpenFolder(), kept.GetRepeat()),
              std::tuple(1u, "", true));

    const std::string big = Bytes({1, 0, 0, 0, 0, 0, 0, 0, 0}) + // volume 1000
                            Bytes({1, 0, 0, 0, 0, 0, 0, 0, 0xE8, 0x03, 0, 0, 2, 0, 0, 0});
    CArchive in(big);
    kept.Serialize(in);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(kept.GetVolume(), 100);
}

// A fresh controller's defaults are checked where a damaged stored state leaves them.
TEST_F(UIControlTest, StartAnnouncesTheCursorClipPlayWaitsForTheZeroTimerStopAnnounces) {
    EXPECT_EQ(m_engine.m_nDisplayMode, 2) << "attaching hands the display mode to the manager";
    AddClips(3);
    // Without a cursor row there is no current clip and nothing to load.
    m_rows.SetCursorRow(CPlaylistRows::kNoRow);
    m_trace.clear();
    m_ctl.Start();
    EXPECT_EQ(m_ctl.GetCurrentClip(), nullptr);
    EXPECT_EQ(Codes("play"), std::vector<int>{CmdUpdateControls});
    // Start marks every clip playable and loads the cursor clip.
    Clip(1)->SetPlayable(0);
    m_rows.SetCursorRow(2);
    m_trace.clear();
    m_ctl.Start();
    EXPECT_EQ(Clip(1)->GetPlayable(), 1);
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(2));
    EXPECT_EQ(Codes("play"), (std::vector<int>{CmdUpdateControls, CmdLoadClip}));
    EXPECT_EQ(m_engine.m_strPath, PathOf(2));

    m_trace.clear();
    EXPECT_TRUE(m_ctl.Play() && m_trace.empty()) << "the start waits for the zero timer";
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened, std::vector<std::string>{PathOf(2)});
    EXPECT_EQ(
        std::tuple(m_engine.m_bIdleLogo, m_ctl.GetPendingAction(), m_ctl.GetEnginePlayState()),
        std::tuple(false, PendingAction::Playing, int(EnginePlaying)));
    // Code 1 with start, then the playback-requested notice after the open it caused; the open
    // sequence ended, the clip is marked playable and the rows hear of it.
    EXPECT_EQ(std::pair(Codes("play").at(0), Seen("play", CmdPlay).at(0).param1),
              std::pair(int(CmdPlay), LPARAM(1)));
    EXPECT_EQ(Seen("play", CmdPlaybackRequested).size(), 1u);
    EXPECT_FALSE(m_ctl.IsBusy());
    EXPECT_EQ(Seen("playlist", CmdPlayableChanged).back().param1,
              ControlCommand::FromClip(Clip(2)));

    // Stop announces stop, stopped, then a seek to 0; the stop's finish report starts nothing.
    m_engine.m_strOverlay = "stale";
    const std::size_t mark = m_trace.size();
    EXPECT_TRUE(m_ctl.Stop());
    EXPECT_EQ(std::tuple(m_ctl.GetPendingAction(), m_engine.m_bIdleLogo, m_engine.m_strOverlay),
              std::tuple(PendingAction::Stopped, true, ""));
    auto codes = Codes("play", mark);
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

TEST_F(UIControlTest, PreviousAndNextWrapAndThreeQuickNextsOpenOnlyTheThird) {
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
    EXPECT_EQ(std::tuple(m_rows.GetCursorRow(), m_ctl.GetCurrentClip(), m_ctl.GetPendingAction()),
              std::tuple(3, Clip(3), PendingAction::Next));
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

TEST_F(UIControlTest, AFailedClipIsMarkedAndTheListEndOrAllFailingStopsThePlayer) {
    AddClips(4);
    m_engine.m_failing = {PathOf(1)};
    StartPlayback();
    PlayToEnd();
    EXPECT_EQ(std::pair(Clip(1)->GetPlayable(), Clip(2)->GetPlayable()), std::pair(0, 1));
    EXPECT_EQ(m_engine.m_opened, (std::vector<std::string>{PathOf(0), PathOf(2)}));
    EXPECT_EQ(std::tuple(m_ctl.GetCurrentClip(), m_rows.GetCursorRow(), m_engine.m_nPlayState),
              std::tuple(Clip(2), 2, int(EnginePlaying)));
    // The failed clip's row was told to redraw its mark.
    EXPECT_TRUE(std::ranges::any_of(Seen("playlist", CmdPlayableChanged), [&](const auto& e) {
        return e.param1 == ControlCommand::FromClip(Clip(1));
    }));

    m_ctl.SetRepeat(false);
    PlayToEnd();
    PlayToEnd();
    EXPECT_EQ(
        std::tuple(m_engine.m_opened.back(), m_ctl.GetPendingAction(), m_ctl.GetCurrentClip()),
        std::tuple(PathOf(3), PendingAction::Stopped, nullptr));
    EXPECT_EQ(Seen("main", CmdStopped).size(), 1u);

    // With every clip failing, a start walks the whole list once (repeat on) and stops.
    m_engine.m_failing = {PathOf(0), PathOf(1), PathOf(2), PathOf(3)};
    m_ctl.SetRepeat(true);
    m_ctl.SetTranslator([](const std::string& s) { return "<" + s + ">"; });
    StartPlayback();
    EXPECT_EQ(m_engine.m_opened.size(), 3u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Clip(i)->GetPlayable(), 0) << i;
    EXPECT_EQ(std::tuple(m_ctl.GetCurrentClip(), m_ctl.GetPendingAction(), m_engine.m_bIdleLogo,
                         m_ctl.IsBusy()),
              std::tuple(nullptr, PendingAction::Stopped, true, false));
    EXPECT_EQ(m_engine.m_strOverlay, "<All files in playlist are not playable.>");
    EXPECT_EQ(Seen("playlist", CmdPlayableChanged).back().param1, 0);
    EXPECT_EQ(Seen("main", CmdStopped).size(), 2u);
    EXPECT_EQ(platform::CMessageQueue::Instance().PendingCount(), 0u);
}

TEST_F(UIControlTest, PlayClipLoadsOrStopsTheOldClipAndAPausedClipMovesOnLikeAPlayingOne) {
    AddClips(3);
    m_trace.clear();
    m_ctl.PlayClip(Clip(1), false); // without start it only becomes the current clip
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(1));
    EXPECT_TRUE(m_trace.empty());
    m_clock.Pump();
    EXPECT_TRUE(m_engine.m_opened.empty());
    m_ctl.PlayClip(Clip(2), true); // stopped: loads it, then starts through the zero timer
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(2));
    EXPECT_EQ(Codes("play"), std::vector<int>{CmdLoadClip});
    EXPECT_EQ(m_engine.m_strPath, PathOf(2));
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened, std::vector<std::string>{PathOf(2)});
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Playing);

    // Playing: the old clip stops, and the new one starts on its finish report.
    const std::size_t mark = m_trace.size();
    m_engine.m_bHoldStopReport = true;
    m_ctl.PlayClip(Clip(0), true);
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::PlayClip);
    EXPECT_EQ(Codes("play", mark).front(), CmdStop);
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened.size(), 1u);
    m_engine.ReleaseStopReport();
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened, (std::vector<std::string>{PathOf(2), PathOf(0)}));
    EXPECT_EQ(m_ctl.GetPendingAction(), PendingAction::Playing);
    EXPECT_EQ(m_ctl.GetCurrentClip(), Clip(0));

    // Paused, a resume does not reopen the clip, and its end moves on as when playing.
    m_engine.m_bHoldStopReport = false;
    EXPECT_TRUE(m_ctl.Pause());
    EXPECT_EQ(std::pair(m_ctl.GetPendingAction(), m_ctl.GetEnginePlayState()),
              std::pair(PendingAction::Paused, int(EnginePaused)));
    m_ctl.Play();
    m_clock.Pump();
    EXPECT_EQ(m_engine.m_opened.size(), 2u);
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
    EXPECT_EQ(m_engine.m_opened,
              (std::vector<std::string>{PathOf(2), PathOf(0), PathOf(1), PathOf(2)}));
    EXPECT_EQ(m_ctl.GetEnginePlayState(), EnginePlaying);
    EXPECT_FALSE(m_ctl.IsBusy());
}

TEST_F(UIControlTest, VolumeMuteAndEachModeChangeAreAppliedAndAnnounced) {
    AddClips(2);
    m_ctl.SetVolume(40);
    m_ctl.SetMute(true);
    EXPECT_EQ(std::pair(m_engine.m_nEngineVolume, m_engine.m_nEngineMute), std::pair(-1, -1))
        << "applied after the next open";
    StartPlayback();
    EXPECT_EQ(std::pair(m_engine.m_nEngineVolume, m_engine.m_nEngineMute), std::pair(40, 1));
    m_ctl.SetVolume(55); // while open, at once
    EXPECT_EQ(m_engine.m_nEngineVolume, 55);
    // Kept within 0 to 100, and announced.
    m_trace.clear();
    m_ctl.SetVolume(150);
    EXPECT_EQ(m_ctl.GetVolume(), 100);
    m_ctl.SetVolume(-5);
    EXPECT_EQ(m_ctl.GetVolume(), 0);
    const auto announced = Seen("main", CmdVolume);
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(std::pair(announced[0].param1, announced[1].param1), std::pair(100L, 0L));

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
        EXPECT_EQ(Codes("main"), cases[i].codes) << i;
    }
    CUIControl bare; // without wiring, transport does nothing harmful
    EXPECT_TRUE(bare.Play() && bare.Next() && bare.Stop());
    EXPECT_EQ(bare.GetPendingAction(), PendingAction::Stopped);
}

TEST_F(UIControlTest, RepeatOnePlaysTheClipAgainUntilItFailsAndShuffleFollowsItsOrder) {
    AddClips(4);
    m_ctl.SetRepeatOne(true);
    StartPlayback();
    PlayToEnd();
    EXPECT_EQ(m_engine.m_opened, (std::vector<std::string>{PathOf(0), PathOf(0)}));
    // A clip that fails is not repeated: the list moves on.
    m_engine.m_failing = {PathOf(0)};
    PlayToEnd();
    EXPECT_EQ(m_engine.m_opened, (std::vector<std::string>{PathOf(0), PathOf(0), PathOf(1)}));
    m_ctl.SetRepeatOne(false);

    // Shuffled without repeat, the four clips come once each, then the pass ends; the rows
    // keep their order.
    m_engine.m_failing.clear();
    m_ctl.SetShuffle(true);
    m_ctl.SetRepeat(false);
    for (int i = 0; i < 10 && m_ctl.GetPendingAction() != PendingAction::Stopped; ++i)
        PlayToEnd();
    ASSERT_EQ(m_engine.m_opened.size(), 3u + 3u);
    EXPECT_EQ(std::set(m_engine.m_opened.begin() + 2, m_engine.m_opened.end()).size(), 4u);
    EXPECT_EQ(m_rows.GetClip(2), Clip(2));
}
