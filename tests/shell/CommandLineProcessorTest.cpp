// Command-line processing against the real controller, command bus and file collector, on
// real files in a scratch folder; the engine and the playlist window's rows are the
// playback tests' stand-ins.
#include "shell/CommandLineProcessor.h"

#include "core/CorePrefs.h"
#include "core/MediaTypes.h"
#include "shell/CommandLineText.h"
#include "tests/playback/PlaybackHarness.h"
#include "tests/support/ScratchFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

using Paths = std::vector<std::string>;

// The playlist window's share of the rows: 13 drops them all, 15 appends and 16 inserts after
// the cursor row one row for each clip that has none, and the cursor goes to row 0 when there
// was none.
class CRowsWnd : public CObserverWnd {
public:
    CRowsWnd(std::vector<TraceEntry>& trace, CUIControl& ctl, CPlaylistRows& rows)
        : CObserverWnd("playlist", trace), m_ctl(ctl), m_rows(rows) {}

protected:
    LRESULT OnCmdClosing(ControlCommand&) override {
        m_rows.DeleteAllRows();
        return 0;
    }
    LRESULT OnCmdAppendRows(ControlCommand&) override {
        AddRows(m_rows.GetRowCount());
        return 0;
    }
    LRESULT OnCmdInsertRows(ControlCommand&) override {
        AddRows(m_rows.GetCursorRow() < 0 ? 0 : m_rows.GetCursorRow() + 1);
        return 0;
    }

private:
    void AddRows(int at) {
        const CObjListClip& list = m_ctl.GetClipList();
        for (std::size_t i = 0; i < list.GetCount(); ++i)
            if (m_rows.FindRow(list.GetAt(i)) < 0)
                m_rows.InsertRow(at++, list.GetAt(i));
        if (m_rows.GetRowCount() > 0 && m_rows.GetCursorRow() < 0)
            m_rows.SetCursorRow(0);
    }

    CUIControl& m_ctl;
    CPlaylistRows& m_rows;
};

class CommandLineProcessorTest : public PlaybackTest {
protected:
    CommandLineProcessorTest()
        : m_rowsWnd(m_trace, m_ctl, m_rows),
          m_processor(m_ctl, m_bus, kProgramPath, core::BuildOpenFilter()) {}

    void SetUp() override {
        PlaybackTest::SetUp();
        ASSERT_TRUE(m_rowsWnd.CreateMessageWindow());
        m_mainWnd.m_relay.SetWindows(&m_mainWnd, &m_rowsWnd, &m_playWnd);
        m_processor.SetSeedSource([] { return 1u; });
        m_processor.SetFullScreenHook([this] { ++m_nFullScreen; });
        CCorePrefs::ResetToDefaults(); // auto-play on
    }
    void TearDown() override {
        CCorePrefs::ResetToDefaults();
        PlaybackTest::TearDown();
    }

    // What a later start hands over: the quoted program path, then the arguments.
    void Forward(const Paths& args) {
        m_processor.ProcessCommandLine(shell::JoinCommandLine(kProgramPath, args));
        m_clock.Pump();
    }
    std::string Media(const std::string& name) const { return m_dir.MakeFile(name); }

    Paths ClipPaths() const {
        Paths paths;
        m_ctl.CollectPaths(paths);
        return paths;
    }
    Paths RowPaths() const {
        Paths paths;
        for (int i = 0; i < m_rows.GetRowCount(); ++i)
            paths.push_back(m_rows.GetClip(i)->GetPath());
        return paths;
    }
    std::size_t PlayStarts() const { return Seen("play", CmdPlay).size(); }

    testsupport::ScratchFolder m_dir;
    // The program path only has to lead the forwarded line; a media name in the scratch folder
    // shows that it is dropped rather than collected.
    const std::string kProgramPath = m_dir / "Player.mp3";
    CRowsWnd m_rowsWnd;
    shell::CCommandLineProcessor m_processor;
    int m_nFullScreen = 0;
};

// Appending keeps the list and does not restart; the default mode replaces the list and, with
// auto-play on, plays the new one.
TEST_F(CommandLineProcessorTest, AppendKeepsTheListAndDefaultOptionsReplaceItAndPlay) {
    const std::string a = Media("a.mp3"), b = Media("b.mp3"), c = Media("sub/c.mp3");
    Forward({a});
    ASSERT_EQ(ClipPaths(), Paths{a});
    EXPECT_EQ(m_engine.m_opened, Paths{a}); // stopped with auto-play on: it plays
    ASSERT_EQ(m_ctl.GetEnginePlayState(), EnginePlaying);
    const std::size_t starts = PlayStarts();
    const std::size_t closings = Seen("playlist", CmdClosing).size();

    Forward({"/A", b}); // either option sign, either case
    EXPECT_EQ(ClipPaths(), (Paths{a, b}));
    EXPECT_EQ(RowPaths(), (Paths{a, b}));
    EXPECT_EQ(Seen("playlist", CmdClosing).size(), closings);
    EXPECT_EQ(PlayStarts(), starts);
    EXPECT_EQ(m_engine.m_opened, Paths{a});

    Forward({b, c});
    EXPECT_EQ(ClipPaths(), (Paths{b, c}));
    // The rows went with the old clips, so none points at a destroyed clip.
    EXPECT_EQ(RowPaths(), (Paths{b, c}));
    EXPECT_EQ(m_ctl.GetLastOpenFolder(), m_dir.Path() + "/");
    // Playing and mode x: playback starts again, on the new list.
    EXPECT_EQ(m_engine.m_opened.back(), b);
    EXPECT_EQ(Seen("playlist", CmdAppendRows).size(), 3u);
    EXPECT_TRUE(Seen("playlist", CmdInsertRows).empty());
}

TEST_F(CommandLineProcessorTest, ModeNextInsertsBehindTheCurrentClip) {
    const std::string a = Media("a.mp3"), b = Media("b.mp3"), c = Media("c.mp3");
    const std::string d = Media("d.mp3");
    CCorePrefs::Set(CCorePrefs::AutoPlay, 0);
    Forward({a, b, c});
    ASSERT_EQ(m_ctl.GetCurrentClip()->GetPath(), a);

    Forward({"-n", d});
    EXPECT_EQ(ClipPaths(), (Paths{a, d, b, c}));
    EXPECT_EQ(RowPaths(), (Paths{a, d, b, c}));
    EXPECT_EQ(Seen("playlist", CmdInsertRows).size(), 1u);
}

// Mix shuffles old and new entries together; random shuffles only the new ones, behind the
// untouched old ones. Either way each entry is there once, and the rows follow the clips.
TEST_F(CommandLineProcessorTest, MixAndRandomPutEntriesInAPermutation) {
    auto sorted = [](Paths paths) { return std::sort(paths.begin(), paths.end()), paths; };
    Paths names;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3", "f.mp3", "g.mp3"})
        names.push_back(Media(name));
    Forward({names[0], names[1]});
    Forward({"-m", names[2], names[3], names[4]});
    const Paths mixed = ClipPaths();
    EXPECT_EQ(sorted(mixed), Paths(names.begin(), names.begin() + 5));
    EXPECT_EQ(RowPaths(), mixed);
    EXPECT_NE(mixed, Paths(names.begin(), names.begin() + 5)) << "seed 1 moves entries";

    Forward({names[0], names[1]});
    Forward({"-a", "-r", names[2], names[3], names[4], names[5], names[6]});
    const Paths random = ClipPaths();
    ASSERT_EQ(random.size(), names.size());
    EXPECT_EQ(Paths(random.begin(), random.begin() + 2), Paths(names.begin(), names.begin() + 2));
    EXPECT_EQ(sorted(random), names);
    EXPECT_NE(random, names) << "seed 1 moves entries";
}

TEST_F(CommandLineProcessorTest, DepthAndCountLimits) {
    const std::string top = Media("music/top.mp3");
    const std::string deep = Media("music/sub/deep.mp3");
    Media("music/sub/deeper/deepest.mp3");
    const std::string folder = m_dir / "music";

    Forward({"-s", "0", folder});
    EXPECT_EQ(ClipPaths(), Paths{top});
    EXPECT_EQ(m_ctl.GetLastOpenFolder(), folder + "/");

    Forward({"-s", "1", folder});
    const Paths one = ClipPaths();
    EXPECT_EQ(std::set<std::string>(one.begin(), one.end()), (std::set<std::string>{top, deep}));

    Forward({"-l", "1", folder});
    ASSERT_EQ(ClipPaths().size(), 1u);

    const std::string x = Media("x.mp3"), y = Media("y.mp3");
    Forward({"-l", "1", x, y});
    EXPECT_EQ(ClipPaths(), Paths{x});
}

TEST_F(CommandLineProcessorTest, ProgramPathAloneChangesNothingAndTheStartUpLineHasNone) {
    const std::string a = Media("a.mp3");
    // Both would be collected if the program path were read as an argument.
    Media("Player.mp3");
    Media("player.mp3");
    Forward({a});
    const std::size_t traced = m_trace.size();

    Forward({});
    m_processor.ProcessCommandLine("");
    // The path is matched without regard to case.
    std::string lower = kProgramPath;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    m_processor.ProcessCommandLine("\"" + lower + "\"");
    // Words that are no file and no option of the player collect nothing.
    m_processor.ProcessCommandLine("--verbose " + m_dir / "missing.mp3 " + m_dir / "notes.txt");
    m_clock.Pump();
    EXPECT_EQ(ClipPaths(), Paths{a});
    EXPECT_EQ(m_trace.size(), traced);

    // The line the program starts with holds no program path; paths keep their case.
    const std::string b = Media("Album Two/Track ONE.MP3");
    m_processor.ProcessCommandLine("--verbose \"" + b + "\"");
    m_clock.Pump();
    EXPECT_EQ(ClipPaths(), Paths{b});
    EXPECT_EQ(m_ctl.GetLastOpenFolder(), m_dir / "Album Two/");
}

// Replacing starts playback only when auto-play is on and the player is not paused.
TEST_F(CommandLineProcessorTest, AutoPlayOffOrAPausedPlayerIsNotStartedByReplace) {
    const std::string a = Media("a.mp3"), b = Media("b.mp3");
    CCorePrefs::Set(CCorePrefs::AutoPlay, 0);
    Forward({a});
    EXPECT_EQ(ClipPaths(), Paths{a});
    EXPECT_EQ(PlayStarts(), 0u);
    EXPECT_TRUE(m_engine.m_opened.empty());
    EXPECT_EQ(m_engine.m_strPath, a); // loaded, ready to be played

    CCorePrefs::Set(CCorePrefs::AutoPlay, 1);
    Forward({a});
    m_ctl.Pause();
    m_clock.Pump();
    ASSERT_EQ(m_ctl.GetEnginePlayState(), EnginePaused);
    const std::size_t starts = PlayStarts();
    Forward({b});
    EXPECT_EQ(ClipPaths(), Paths{b});
    EXPECT_EQ(PlayStarts(), starts);
}

TEST_F(CommandLineProcessorTest, OptionFCallsTheFullScreenHook) {
    const std::string a = Media("a.mp3");
    Forward({a});
    EXPECT_EQ(m_nFullScreen, 0);
    Forward({"-f", a});
    EXPECT_EQ(m_nFullScreen, 1);
    // Nothing collected: the play window is left alone.
    Forward({"-f", m_dir / "missing.mp3"});
    EXPECT_EQ(m_nFullScreen, 1);
    m_processor.SetFullScreenHook({});
    Forward({"-f", a});
    EXPECT_EQ(ClipPaths(), Paths{a});
}

// Longer than the generator's range: every entry still appears exactly once.
TEST(RandomOrderTest, ALongListStaysAPermutation) {
    const std::size_t n = 40000;
    std::vector<std::size_t> order = shell::RandomOrderIndices(n, 12345);
    std::sort(order.begin(), order.end());
    for (std::size_t i = 0; i < n; ++i)
        ASSERT_EQ(order[i], i);
}

} // namespace
