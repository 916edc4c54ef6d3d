// Command lines against the real controller, bus and collector on real files (the engine and
// the rows are the playback tests' stand-ins), and the open dialog's filter.
#include "shell/CommandLineProcessor.h"

#include "core/CorePrefs.h"
#include "core/MediaTypes.h"
#include "shell/CommandLineText.h"
#include "shell/PlayerApp.h"
#include "tests/playback/PlaybackHarness.h"
#include "tests/support/ScratchFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <ranges>
#include <string>
#include <vector>

namespace {

using Paths = std::vector<std::string>;

// The playlist window's share of the rows: closing drops them all, appending or inserting adds.
class CRowsWnd : public CObserverWnd {
public:
    CRowsWnd(std::vector<TraceEntry>& trace, CUIControl& ctl, CPlaylistRows& rows)
        : CObserverWnd("playlist", trace), m_ctl(ctl), m_rows(rows) {}

protected:
    LRESULT OnCmdClosing(ControlCommand&) override { return m_rows.DeleteAllRows(), 0; }
    LRESULT OnCmdAppendRows(ControlCommand&) override { return AddRows(m_rows.GetRowCount()); }
    LRESULT OnCmdInsertRows(ControlCommand&) override {
        return AddRows(std::max(m_rows.GetCursorRow() + 1, 0));
    }

private:
    LRESULT AddRows(int at) {
        const CObjListClip& list = m_ctl.GetClipList();
        for (std::size_t i = 0; i < list.GetCount(); ++i)
            if (m_rows.FindRow(list.GetAt(i)) < 0)
                m_rows.InsertRow(at++, list.GetAt(i));
        if (m_rows.GetRowCount() > 0 && m_rows.GetCursorRow() < 0)
            m_rows.SetCursorRow(0);
        return 0;
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
    Paths Media(std::initializer_list<const char*> names) const {
        Paths paths;
        for (const char* name : names)
            paths.push_back(m_dir.MakeFile(name));
        return paths;
    }
    // The clips, after checking that the rows follow them (none points at a destroyed clip).
    Paths ClipPaths() const {
        Paths paths, rows;
        m_ctl.CollectPaths(paths);
        for (int i = 0; i < m_rows.GetRowCount(); ++i)
            rows.push_back(m_rows.GetClip(i)->GetPath());
        EXPECT_EQ(rows, paths);
        return paths;
    }
    std::size_t PlayStarts() const { return Seen("play", CmdPlay).size(); }

    testsupport::ScratchFolder m_dir;
    // A media name: collected if the program path were taken for an argument.
    const std::string kProgramPath = m_dir / "Player.mp3";
    CRowsWnd m_rowsWnd;
    shell::CCommandLineProcessor m_processor;
    int m_nFullScreen = 0;
};

// Replacing plays the new list with auto-play on and the player not paused.
TEST_F(CommandLineProcessorTest, AppendKeepsTheListAndDefaultOptionsReplaceItAndPlay) {
    const Paths m = Media({"a.mp3", "b.mp3", "sub/c.mp3", "d.mp3"});
    Forward({m[0]});
    ASSERT_EQ(ClipPaths(), Paths{m[0]});
    EXPECT_EQ(m_engine.m_opened, Paths{m[0]}); // stopped with auto-play on: it plays
    ASSERT_EQ(m_ctl.GetEnginePlayState(), EnginePlaying);
    const std::size_t starts = PlayStarts();
    const std::size_t closings = Seen("playlist", CmdClosing).size();

    Forward({"/A", m[1]}); // either option sign, either case
    EXPECT_EQ(ClipPaths(), (Paths{m[0], m[1]}));
    EXPECT_EQ(Seen("playlist", CmdClosing).size(), closings);
    EXPECT_EQ(PlayStarts(), starts);
    EXPECT_EQ(m_engine.m_opened, Paths{m[0]});
    EXPECT_EQ(m_nFullScreen, 0);

    Forward({"-f", m[1], m[2]});
    EXPECT_EQ(ClipPaths(), (Paths{m[1], m[2]}));
    EXPECT_EQ(m_ctl.GetLastOpenFolder(), m_dir.Path() + "/");
    // Playing and mode x: playback starts again, on the new list.
    EXPECT_EQ(m_engine.m_opened.back(), m[1]);
    EXPECT_EQ(Seen("playlist", CmdAppendRows).size(), 3u);
    EXPECT_TRUE(Seen("playlist", CmdInsertRows).empty());
    EXPECT_EQ(m_nFullScreen, 1);
    Forward({"-f", m_dir / "missing.mp3"}); // nothing collected: the play window is left alone
    EXPECT_EQ(m_nFullScreen, 1);
    m_processor.SetFullScreenHook({});
    Forward({"-n", "-f", m[3]});
    EXPECT_EQ(ClipPaths(), (Paths{m[1], m[3], m[2]}));
    EXPECT_EQ(Seen("playlist", CmdInsertRows).size(), 1u);

    m_ctl.Pause();
    m_clock.Pump();
    ASSERT_EQ(m_ctl.GetEnginePlayState(), EnginePaused);
    const std::size_t paused = PlayStarts();
    Forward({m[0]});
    EXPECT_EQ(ClipPaths(), Paths{m[0]});
    EXPECT_EQ(PlayStarts(), paused);
    CCorePrefs::Set(CCorePrefs::AutoPlay, 0);
    m_ctl.Stop();
    m_clock.Pump();
    const std::size_t stopped = PlayStarts();
    Forward({m[1], m[2]});
    EXPECT_EQ(PlayStarts(), stopped);
    EXPECT_EQ(m_engine.m_strPath, m[1]); // loaded, ready to be played
}

// Mix shuffles old and new entries together, random only the new ones behind the old.
TEST_F(CommandLineProcessorTest, MixAndRandomPutEntriesInAPermutation) {
    auto sorted = [](Paths paths) { return std::sort(paths.begin(), paths.end()), paths; };
    const Paths names = Media({"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3", "f.mp3", "g.mp3"});
    const Paths five(names.begin(), names.begin() + 5);
    Forward({names[0], names[1]});
    Forward({"-m", names[2], names[3], names[4]});
    const Paths mixed = ClipPaths();
    EXPECT_EQ(sorted(mixed), five);
    EXPECT_NE(mixed, five) << "seed 1 moves entries";

    Forward({names[0], names[1]});
    Forward({"-a", "-r", names[2], names[3], names[4], names[5], names[6]});
    const Paths random = ClipPaths();
    ASSERT_EQ(sorted(random), names);
    EXPECT_EQ(Paths(random.begin(), random.begin() + 2), Paths(names.begin(), names.begin() + 2));
    EXPECT_NE(random, names) << "seed 1 moves entries";

    // Longer than the generator's range: every entry still appears exactly once.
    std::vector<std::size_t> order = shell::RandomOrderIndices(40000, 12345);
    std::sort(order.begin(), order.end());
    EXPECT_TRUE(std::ranges::equal(order, std::views::iota(std::size_t(0), std::size_t(40000))));
}

TEST_F(CommandLineProcessorTest, ProgramPathAloneChangesNothingAndTheStartUpLineHasNone) {
    const Paths m = Media({"a.mp3", "Player.mp3", "player.mp3"});
    Forward({m[0]});
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
    EXPECT_EQ(ClipPaths(), Paths{m[0]});
    EXPECT_EQ(m_trace.size(), traced);

    // The line the program starts with holds no program path; paths keep their case.
    const Paths b = Media({"Album Two/Track ONE.MP3"});
    m_processor.ProcessCommandLine("--verbose \"" + b[0] + "\"");
    m_clock.Pump();
    EXPECT_EQ(ClipPaths(), b);
    EXPECT_EQ(m_ctl.GetLastOpenFolder(), m_dir / "Album Two/");
}

TEST(OpenDialogFilter, EachGroupBecomesANamedPatternListInTheDialogNotation) {
    EXPECT_EQ(
        shell::ToDialogFilter("Playlist Files (*.mpl;*.m3u)|*.mpl;*.m3u|All Files (*.*)|*.*||"),
        "Playlist Files (*.mpl *.m3u);;All Files (*.*)");
    EXPECT_EQ(shell::ToDialogFilter("Songs|*.mp3;*.wav"), "Songs (*.mp3 *.wav)");
    EXPECT_EQ(shell::ToDialogFilter(""), "");
    EXPECT_EQ(shell::ToDialogFilter("||"), "");
}

} // namespace
