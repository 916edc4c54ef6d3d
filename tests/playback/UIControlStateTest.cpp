#include "core/Archive.h"
#include "tests/playback/PlaybackHarness.h"
#include "tests/support/ScratchFolder.h"

namespace {

using UIControlQueryTest = PlaybackTest;
using UIControlPlaylistTest = PlaybackTest;

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(char(v));
    return s;
}

} // namespace

// ---- enabling queries

TEST_F(UIControlQueryTest, QueriesFollowThePlayStateAndLoadingRefusesThemAll) {
    // An empty list refuses everything but resume.
    EXPECT_TRUE(m_ctl.CanResume());
    EXPECT_FALSE(m_ctl.CanPlay() || m_ctl.CanStop() || m_ctl.CanSelect() || m_ctl.CanSeek() ||
                 m_ctl.CanPrevious() || m_ctl.CanNext() || m_ctl.CanPause());
    AddClips(3);
    EXPECT_TRUE(m_ctl.CanPlay() && m_ctl.CanSelect() && m_ctl.CanResume());
    EXPECT_FALSE(m_ctl.CanPause() || m_ctl.CanStop() || m_ctl.CanSeek()); // nothing open

    StartPlayback();
    EXPECT_TRUE(m_ctl.CanPause() && m_ctl.CanStop() && m_ctl.CanSeek());
    EXPECT_FALSE(m_ctl.CanResume());
    m_engine.m_bCanSeek = false;
    EXPECT_FALSE(m_ctl.CanSeek());

    m_ctl.Pause();
    EXPECT_TRUE(m_ctl.CanStop() && m_ctl.CanResume());
    EXPECT_FALSE(m_ctl.CanPause());

    // Loading refuses every query.
    m_ctl.Stop();
    m_clock.Pump();
    m_engine.m_bHoldOpen = true;
    StartPlayback();
    ASSERT_TRUE(m_engine.IsLoading());
    ASSERT_FALSE(m_ctl.IsBusy());
    EXPECT_FALSE(AnyQueryEnabled());
    // The windows heard that loading began.
    EXPECT_EQ(Seen("main", CmdClipLoading).back().param1, 1);

    m_engine.CompleteOpen();
    m_clock.Pump();
    EXPECT_TRUE(m_ctl.CanPause() && m_ctl.CanStop() && m_ctl.CanNext());
}

TEST_F(UIControlQueryTest, BusyFromTheSelectTimerUntilTheOpenEndsRefusesEveryQuery) {
    AddClips(3);
    StartPlayback();
    m_engine.m_bHoldStopReport = true;
    m_ctl.Next();
    EXPECT_TRUE(m_ctl.CanNext()); // not busy before the delay ran out
    m_clock.Advance(500);
    ASSERT_TRUE(m_ctl.IsBusy());
    ASSERT_FALSE(m_engine.IsLoading());
    // Even with the engine stopped and the list full, nothing is offered.
    EXPECT_FALSE(AnyQueryEnabled());

    m_engine.m_bHoldOpen = true;
    m_engine.ReleaseStopReport();
    m_clock.Pump();
    EXPECT_TRUE(m_ctl.IsBusy()); // the new clip is still opening
    m_engine.CompleteOpen();
    EXPECT_TRUE(m_ctl.IsBusy()); // until the open sequence has ended
    m_clock.Pump();
    EXPECT_FALSE(m_ctl.IsBusy());
    EXPECT_TRUE(m_ctl.CanPause());
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(1));

    // A stop right after Next does not leave the controller busy.
    m_engine.m_bHoldOpen = m_engine.m_bHoldStopReport = false;
    m_ctl.Next();
    m_clock.Advance(100);
    m_ctl.Stop();
    m_clock.Advance(1000);
    EXPECT_FALSE(m_ctl.IsBusy());
    EXPECT_TRUE(m_ctl.CanPlay());
    EXPECT_EQ(m_engine.m_opened.size(), 2u);
    // Play starts the clip that was selected.
    StartPlayback();
    EXPECT_EQ(m_engine.m_opened.back(), PathOf(2));
}

// ---- playlist operations

TEST_F(UIControlPlaylistTest, RemoveAndClearLeaveNoDanglingCurrentAndAddFilesGoesBehindIt) {
    AddClips(3);
    m_ctl.PlayClip(Clip(1), false);
    CAttribClip stranger;
    EXPECT_FALSE(m_ctl.RemoveClip(&stranger));
    EXPECT_FALSE(m_ctl.RemoveClip(nullptr));
    CAttribClip* first = Clip(0);
    m_rows.DeleteRow(0);
    EXPECT_TRUE(m_ctl.RemoveClip(first));
    EXPECT_EQ(m_ctl.GetClipList().GetCount(), 2u);
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

    // The order of insertion is the core's (AddFiles); here the controller's current clip and
    // reporter reach it.
    testsupport::ScratchFolder dir;
    const std::string a = dir.MakeFile("a.mp3"), bad = dir.MakeFile("broken.mpl", "junk");
    std::vector<std::string> reports;
    m_ctl.SetErrorReporter([&](const std::string& caption, const std::string& text) {
        reports.push_back(caption + "|" + text);
    });
    AddClips(2);
    m_ctl.PlayClip(Clip(0), false);
    EXPECT_EQ(m_ctl.AddFiles({a, bad}, true).added.size(), 1u);
    paths.clear();
    m_ctl.CollectPaths(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{PathOf(0), a, PathOf(1)}));
    EXPECT_EQ(reports, std::vector<std::string>{"File Exception.|Cann't load file.\n\n " + bad});
}

// ---- persistent state

// The image: the list, the two folders, then repeat, mute, volume and display mode, every
// field a value of its own; loading restores each and replaces the list.
TEST(UIControlSerializeTest, WritesListFoldersRepeatMuteVolumeModeAndLoadingRestoresThem) {
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
    CUIControl target;
    target.GetClipList().Add(std::make_unique<CAttribClip>());
    target.PlayClip(target.GetClipList().GetAt(0), false);
    CArchive in(out.GetBuffer());
    target.Serialize(in);
    EXPECT_FALSE(in.Failed());
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(target.GetClipList().GetCount(), 2u);
    EXPECT_EQ(target.GetCurrentClip(), nullptr);
    // The writer's image is checked byte for byte above: the same image again means every
    // field was read into its place.
    CArchive again;
    target.Serialize(again);
    EXPECT_EQ(again.GetBuffer(), out.GetBuffer());
}

TEST(UIControlSerializeTest, ADamagedStateKeepsWhatWasReadBeforeTheDamageAndVolumeInRange) {
    CUIControl source;
    source.SetLastOpenFolder("/x");
    source.SetRepeat(false);
    source.SetVolume(10);
    CArchive out;
    source.Serialize(out);
    const std::string& full = out.GetBuffer();

    // Cut inside the volume: list, folders, repeat and mute arrive; volume and mode keep theirs.
    CUIControl cut;
    CArchive inCut(std::string_view(full).substr(0, full.size() - 6));
    cut.Serialize(inCut);
    EXPECT_TRUE(inCut.Failed());
    EXPECT_EQ(cut.GetLastOpenFolder(), "/x");
    EXPECT_FALSE(cut.GetRepeat());
    EXPECT_EQ(cut.GetVolume(), 80);
    EXPECT_EQ(cut.GetDisplayMode(), 2);

    // Cut inside the list: the playlist the controller had stays, nothing else changes.
    CUIControl kept;
    kept.GetClipList().Add(std::make_unique<CAttribClip>());
    CArchive inList(std::string_view(full).substr(0, 5));
    kept.Serialize(inList);
    EXPECT_EQ(kept.GetClipList().GetCount(), 1u);
    EXPECT_EQ(kept.GetLastOpenFolder(), "");
    EXPECT_TRUE(kept.GetRepeat());

    // A stored volume of 1000 is brought into range.
    const std::string big = Bytes({1, 0, 0, 0, 0, 0, 0, 0, 0}) +
                            Bytes({1, 0, 0, 0, 0, 0, 0, 0, 0xE8, 0x03, 0, 0, 2, 0, 0, 0});
    CArchive in(big);
    kept.Serialize(in);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(kept.GetVolume(), 100);
}
