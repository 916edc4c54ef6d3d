#include "core/Archive.h"
#include "tests/playback/PlaybackHarness.h"
#include "tests/support/ScratchFolder.h"

namespace {

using UIControlQueryTest = PlaybackTest;
using UIControlPlaylistTest = PlaybackTest;

std::string Bytes(std::initializer_list<int> values) {
    return {values.begin(), values.end()};
}

} // namespace

// ---- enabling queries

TEST_F(UIControlQueryTest, QueriesFollowThePlayStateAndLoadingOrBusyRefusesThemAll) {
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
    ASSERT_TRUE(m_engine.IsLoading());
    ASSERT_FALSE(m_ctl.IsBusy());
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
    ASSERT_TRUE(m_ctl.IsBusy());
    ASSERT_FALSE(m_engine.IsLoading());
    EXPECT_EQ(Queries(), "");
    m_engine.ReleaseStopReport();
    m_clock.Pump();
    EXPECT_TRUE(m_ctl.IsBusy()); // the new clip is still opening
    m_engine.CompleteOpen();
    EXPECT_TRUE(m_ctl.IsBusy()); // until the open sequence has ended
    m_clock.Pump();
    EXPECT_FALSE(m_ctl.IsBusy());
    EXPECT_TRUE(m_ctl.CanPause());
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(1));

    // A stop right after Next does not leave the controller busy, and Play starts the clip
    // that was selected.
    m_engine.m_bHoldOpen = m_engine.m_bHoldStopReport = false;
    m_ctl.Next();
    m_clock.Advance(100);
    m_ctl.Stop();
    m_clock.Advance(1000);
    EXPECT_FALSE(m_ctl.IsBusy());
    EXPECT_TRUE(m_ctl.CanPlay());
    EXPECT_EQ(m_engine.m_opened.size(), 3u);
    StartPlayback();
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(2));
}

// ---- playlist operations

TEST_F(UIControlPlaylistTest,
       RemoveAndClearLeaveNoDanglingCurrentAndAFileThatCannotLoadIsReported) {
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

// ---- persistent state

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
    EXPECT_EQ(target.GetClipList().GetCount(), 2u);
    EXPECT_EQ(target.GetCurrentClip(), nullptr);
    // The writer's image is checked byte for byte above: the same image again means every
    // field was read into its place.
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
