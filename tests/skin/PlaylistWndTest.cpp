// The playlist window's wiring; the row rules themselves (navigation, sort order, removal) are
// the core's.
#include "skin/PlaylistWnd.h"

#include "core/AttribClip.h"
#include "core/CorePrefs.h"
#include "core/PlaylistFile.h"
#include "platform/Clock.h"
#include "platform/Keyboard.h"
#include "platform/MessageBox.h"
#include "skin/JumpToFileBox.h"
#include "tests/playback/MediaFixtures.h"
#include "tests/playback/PlaybackHarness.h"
#include "tests/support/ClockWait.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/ScratchFolder.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

// The window with the user's answers scripted.
class CTestPlaylistWnd : public CPlaylistWnd {
public:
    std::vector<std::vector<MenuItem>> m_menus;
    UINT m_nMenuChoice = 0;
    std::string m_strSavePath, m_strSaveFolder;
    std::string m_strOpened{"/m/x.mp3"}, m_strInfo1, m_strInfo2;
    int m_nLength = 0, m_nJumpRow = -1;
    Strings m_jumpTexts;

    bool GetOpenedClipInfo(std::string& path, std::string& info1, std::string& info2,
                           int& length) override {
        path = m_strOpened, info1 = m_strInfo1, info2 = m_strInfo2, length = m_nLength;
        return true;
    }

protected:
    UINT TrackMenu(const std::vector<MenuItem>& items) override {
        m_menus.push_back(items);
        return m_nMenuChoice;
    }
    std::string AskSavePath(const std::string& folder, const std::string&,
                            const std::string&) override {
        m_strSaveFolder = folder;
        return m_strSavePath;
    }
    int AskJumpRow(const Strings& search, Strings) override {
        m_jumpTexts = search;
        return m_nJumpRow;
    }
};

class PlaylistWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_timer.CreateMessageWindow());
        m_app.m_control.SetTimerWindow(&m_timer);
        m_app.m_control.AttachEngineManager(&m_engine);
        ASSERT_TRUE(m_wnd.Create(nullptr));
        m_app.m_pTarget = &m_wnd;
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            m_boxes.push_back(r.text);
            return m_nAnswer;
        });
    }
    void TearDown() override {
        platform::SetModifierState(false, false, false);
        SetMessageBoxHook({});
        m_app.m_pTarget = nullptr;
    }

    // Clips "t0", "t1", … with the given durations (or of the given paths), as rows.
    void AddRows(std::vector<int> durations, int code = CmdAppendRows, const Strings& paths = {}) {
        for (std::size_t i = 0; i < std::max(durations.size(), paths.size()); ++i) {
            auto clip = std::make_unique<CAttribClip>();
            const int n = int(m_app.m_control.GetClipList().GetCount());
            clip->SetPath(paths.empty() ? "/m/t" + std::to_string(n) + ".mp3" : paths[i]);
            clip->SetDuration(paths.empty() ? durations[i] : 0);
            m_app.m_control.GetClipList().Add(std::move(clip));
        }
        Submit(code);
    }
    void AddPaths(const Strings& paths) { AddRows({}, CmdAppendRows, paths); }
    CAttribClip* Clip(int i) { return m_app.m_control.GetClipList().GetAt(std::size_t(i)); }
    std::size_t Clips() { return m_app.m_control.GetClipList().GetCount(); }
    CAttribClip* Current() { return m_app.m_control.GetCurrentClip(); }
    void Submit(int code, LPARAM param1 = 0) { m_app.SubmitCommand(nullptr, code, param1, 0, {}); }
    CMemList& List() { return m_wnd.GetList(); }
    Strings Column(int column) {
        Strings out;
        for (int r = 0; r < List().GetRowCount(); ++r)
            out.push_back(List().GetText(r, column));
        return out;
    }
    int Count(int code) const { return int(std::ranges::count(m_app.Codes(), code)); }
    void Key(WPARAM vk, bool ctrl = false) {
        platform::SetModifierState(ctrl, false, false);
        m_wnd.SendMessage(WM_KEYDOWN, vk, 0);
        platform::SetModifierState(false, false, false);
    }
    void Click(UINT id) {
        for (CMemCtrl* c : m_wnd.GetControls())
            if (c->GetID() == id && c->IsVisible())
                return void(m_wnd.SendMessage(WM_REG_MEMCTRL, MEMCTRL_CLICK, LPARAM(c)));
        ADD_FAILURE() << "no control " << id;
    }
    // A mouse press (WM_LBUTTONDBLCLK or WM_RBUTTONDOWN) and its release at a window point.
    void Press(UINT message, CPoint pt) {
        m_wnd.SendMessage(message, 0, MAKELPARAM(pt.x, pt.y));
        m_wnd.SendMessage(message == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP, 0,
                          MAKELPARAM(pt.x, pt.y));
        m_clock.Pump();
    }
    CPoint Row(int row) {
        return {List().GetRowRect(row).left + 20, List().GetRowRect(row).top + 5};
    }

    testsupport::ScratchFolder m_temp;
    platform::CVirtualClock m_clock;
    CScriptedEngineManager m_engine;
    testsupport::CRecordingPlayerApp m_app{true};
    testsupport::CPlayerWindowWorldGuard m_world{&m_app, m_temp.Path() + "/corvella"};
    CWnd m_timer;
    CTestPlaylistWnd m_wnd;
    Strings m_boxes; // the message boxes' texts
    int m_nAnswer = IDNO;
};

TEST_F(PlaylistWndTest, RowCommandsAndTheOpenedClipFillTheRows) {
    AddRows({65, 0, 3725});
    EXPECT_EQ(Column(0), (Strings{"t0", "t1", "t2"}));
    EXPECT_EQ(Column(1), (Strings{"1:05", "", "1:02:05"}));
    // A refill keeps the cursor row, unless told to reset it.
    List().SetCursorRow(2);
    Submit(CmdRefillRows);
    EXPECT_EQ(m_wnd.GetInfoLabel().GetText(), "3. t2");
    CCorePrefs::Set(CCorePrefs::ResetPlayNumber, 1);
    Submit(CmdRefillRows);
    EXPECT_EQ(List().GetCursorRow(), 0);
    Submit(CmdLoadClip, ControlCommand::FromClip(Clip(2)));
    EXPECT_EQ(List().GetCursorRow(), 2);
    Submit(CmdLoadClip, 0); // an empty request names row 0's clip, as param1 for the others
    EXPECT_EQ(List().GetCursorRow(), 0);
    EXPECT_EQ(m_app.m_commands.back().param1, ControlCommand::FromClip(Clip(0)));

    Submit(CmdLoadClip, ControlCommand::FromClip(Clip(1)));
    m_wnd.m_strInfo1 = "AC/DC", m_wnd.m_strInfo2 = "T.N.T.", m_wnd.m_nLength = 3725;
    Submit(CmdClipOpened);
    EXPECT_EQ(Column(0), (Strings{"t0", "AC/DC - T.N.T.", "t2"})) << "tag texts stand as they are";
    EXPECT_EQ(Clip(1)->GetTitle(), "AC/DC - T.N.T.");
    EXPECT_EQ(Clip(1)->GetDuration(), 3725);
    // Reopened, a stream that finds its length only while playing reports 0: the known stays.
    m_wnd.m_nLength = 0;
    Submit(CmdClipOpened);
    EXPECT_EQ(List().GetText(1, 1), "1:02:05");
    // A stream without a length is live; a file without one or its tags shows its file name.
    Clip(1)->SetDuration(0);
    m_wnd.m_strOpened = "http://127.0.0.1:1/radio";
    m_app.m_translate = [](const std::string& s) { return "~" + s; };
    Submit(CmdClipOpened);
    EXPECT_EQ(List().GetText(1, 1), "~live");
    m_wnd.m_strOpened = "/m/song.ogg", m_wnd.m_strInfo2 = "";
    Submit(CmdClipOpened);
    EXPECT_EQ(List().GetText(1, 1), "");
    EXPECT_EQ(List().GetText(1, 0), "song.ogg");

    // Inserted rows go behind the cursor row; a second append adds only the clips without one.
    AddRows({4, 5}, CmdInsertRows);
    AddRows({5});
    EXPECT_EQ(Column(0), (Strings{"t0", "song.ogg", "t3", "t4", "t2", "t5"}));
    const int updates = Count(CmdUpdateControls);
    Submit(CmdClosing);
    EXPECT_EQ(List().GetRowCount(), 0);
    EXPECT_EQ(Count(CmdUpdateControls), updates + 1);
    EXPECT_EQ(m_wnd.GetInfoLabel().GetText(), "");
}

TEST_F(PlaylistWndTest, AddedFilesGetTagTitlesAndLengthsInTheBackgroundUnlessTheyHaveThem) {
    using mediatest::Media;
    CAttribClip stamp;
    stamp.LoadFileInfo(Media("tagged.mp3"));
    const std::int32_t size = stamp.GetFileSize();
    // The path, and the title, length and file size from a playlist: a size other than the
    // file's marks it changed since. named.mka's only title is its track's name.
    for (const auto& [path, title, seconds, bytes] :
         std::vector<std::tuple<std::string, std::string, int, std::int32_t>>{
             {Media("tagged.ogg"), "", 0, 0},
             {Media("tagged.mp3"), "Kept", 0, 0},
             {Media("clip.flac"), "", 7, 0},
             {m_temp / "no.ogg", "", 0, 0},
             {Media("named.mka"), "", 0, 0},
             {Media("tagged.mp3"), "Unchanged", 5, size},
             {Media("tagged.mp3"), "Changed", 5, size + 1}}) {
        auto clip = std::make_unique<CAttribClip>();
        clip->LoadFileInfo(path);
        clip->SetPath(path);
        clip->SetTitle(title);
        clip->SetDuration(seconds);
        if (bytes)
            clip->SetFileSize(bytes);
        m_app.m_control.GetClipList().Add(std::move(clip));
    }
    Submit(CmdAppendRows);
    const std::string tagged =
        std::string(mediatest::CMediaFolder::kArtist) + " - " + mediatest::CMediaFolder::kTitle;
    // The rows are there at once and fill in later.
    EXPECT_EQ(Column(0),
              (Strings{"tagged", "Kept", "clip", "no", "named", "Unchanged", "Changed"}));
    testsupport::PumpUntil(m_clock, [&] {
        return !List().GetText(1, 1).empty() && !Clip(4)->GetTitle().empty() &&
               Clip(6)->GetDuration() == 1;
    });
    // Read files without a title tag are named as the playing engine names them; a track's
    // name does not title a clip; a clip whose file changed is read again.
    EXPECT_EQ(Column(0),
              (Strings{tagged, "Kept", "clip.flac", "no", "named.mka", "Unchanged", tagged}));
    EXPECT_EQ(Column(1), (Strings{"01", "01", "07", "", "01", "05", "01"}));
    EXPECT_EQ(Clip(0)->GetTitle(), tagged);
    EXPECT_EQ(Clip(6)->GetFileSize(), stamp.GetFileSize());
}

// The sort keeps the cursor clip and the playlist's own order, which the save writes; the
// controller's transport follows the rows.
TEST_F(PlaylistWndTest, RowsPlaySortAndSaveAndTheWindowKeepsItsPlaceAndCursorRow) {
    AddRows({30, 10, 20});
    m_wnd.ShowWindow(SW_SHOWNA);
    Press(WM_LBUTTONDBLCLK, Row(2));
    EXPECT_EQ(Current(), Clip(2));
    m_engine.m_bLoading = true; // not while a clip is loading
    m_app.m_commands.clear();
    Press(WM_LBUTTONDBLCLK, Row(0));
    EXPECT_EQ(Count(CmdLoadClip), 0);
    m_engine.m_bLoading = false;
    // Enter plays only one selected row.
    List().SetSelected(0, true);
    List().SetSelected(1, true);
    Key(VK_RETURN);
    EXPECT_EQ(Count(CmdLoadClip), 0);
    List().SetSelected(0, false);
    Key(VK_RETURN);
    EXPECT_EQ(Current(), Clip(1));

    m_wnd.Sort(core::SortByDuration); // the order of keys and flips is the core's
    EXPECT_EQ(Column(0), (Strings{"t1", "t2", "t0"}));
    EXPECT_EQ(Clip(0)->GetPath(), "/m/t0.mp3") << "the playlist record keeps its order";
    m_app.m_control.SetRepeat(false);
    for (CAttribClip* next : {Clip(2), Clip(0), static_cast<CAttribClip*>(nullptr)}) {
        m_app.m_control.Next();
        EXPECT_EQ(Current(), next);
    }
    // The announcement without a clip sends the cursor back to the first row for the next run.
    EXPECT_EQ(List().GetCursorRow(), 0);
    // A failed clip's row loses its playable mark; a change without a clip refreshes them all.
    Clip(1)->SetPlayable(0);
    Submit(CmdPlayableChanged, ControlCommand::FromClip(Clip(1)));
    EXPECT_EQ((std::vector{List().IsPlayable(0), List().IsPlayable(1)}),
              (std::vector{false, true}));
    Clip(1)->SetPlayable(1);
    Submit(CmdPlayableChanged, 0);
    EXPECT_TRUE(List().IsPlayable(0));

    Click(CPlaylistWnd::IDC_SORT); // repeats the last key, flipping it
    EXPECT_EQ(Column(0), (Strings{"t0", "t2", "t1"}));
    EXPECT_TRUE(m_wnd.BuildContextMenu()[9].popup[1].bRadio) << "the sort popup marks the key";
    // A right click on a row opens the menu; its choice runs after code 23.
    m_wnd.m_nMenuChoice = CPlaylistWnd::ID_SORT_DURATION;
    m_app.m_commands.clear();
    Press(WM_RBUTTONDOWN, Row(0));
    EXPECT_EQ(Count(CmdUserCommand), 1);
    EXPECT_EQ(Column(0), (Strings{"t1", "t2", "t0"}));

    // A folder that does not exist gets the error box.
    m_app.m_commands.clear();
    m_app.m_control.SetLastPlaylistFolder(m_temp.Path() + "/");
    m_wnd.m_strSavePath = m_temp / "list.mpl";
    Click(CPlaylistWnd::IDC_SAVE);
    EXPECT_EQ(m_wnd.m_strSaveFolder, m_temp.Path() + "/");
    EXPECT_EQ(Count(CmdUserCommand), 1);
    CObjListClip loaded;
    ASSERT_TRUE(core::LoadPlaylist(loaded, m_temp / "list.mpl", {}));
    ASSERT_EQ(loaded.GetCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(loaded.GetAt(i)->GetPath(), Clip(int(i))->GetPath());
    m_wnd.m_strSavePath = m_temp / "missing/list.mpl";
    Click(CPlaylistWnd::IDC_SAVE);
    EXPECT_EQ(m_boxes, Strings{"Cann't save file.\n\n " + m_wnd.m_strSavePath});

    CWnd main;
    ASSERT_TRUE(main.CreateTopLevel({40, 30, 352, 148}, "main"));
    m_app.m_pMain = &main;
    m_wnd.ToggleShade();
    Submit(CmdResetPositions); // unrolled, below the main window
    EXPECT_FALSE(m_wnd.IsShaded());
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{40, 148, 352, 266}));
    m_app.m_pMain = nullptr;
    List().SetCursorRow(2);
    m_wnd.SaveState();
    CTestPlaylistWnd again;
    ASSERT_TRUE(again.Create(nullptr));
    m_app.m_pTarget = &again;
    Submit(CmdRefillRows);
    EXPECT_EQ(again.GetList().GetCursorRow(), 2);
    m_app.m_pTarget = &m_wnd;
}

TEST_F(PlaylistWndTest, KeysSelectRemoveAndCropRowsAndClipsAndTheSharedKeysClicksAndDrops) {
    AddRows({1, 2, 3, 4, 5});
    Submit(CmdLoadClip, ControlCommand::FromClip(Clip(2)));
    Key('A', true);
    Key('D'); // without Ctrl the key is not the list's
    EXPECT_EQ(List().GetSelectedCount(), 5);
    Key('D', true);
    List().SetSelected(0, true);
    Key('I', true);
    EXPECT_EQ(List().GetSelectedCount(), 4);
    Key('I', true);
    Click(CPlaylistWnd::IDC_REMOVE);
    EXPECT_EQ(Column(0), (Strings{"t1", "t2", "t3", "t4"}));
    // Ctrl+Delete crops; the cursor row went, so the row in the first removed place is current.
    List().SetCursorRow(0);
    List().SetSelected(1, true);
    List().SetSelected(3, true);
    Key(VK_DELETE, true);
    EXPECT_EQ(Column(0), (Strings{"t2", "t4"}));
    ASSERT_EQ(Clips(), 2u);
    EXPECT_EQ(Clip(0)->GetPath(), "/m/t2.mp3");
    EXPECT_EQ(Current(), Clip(0));
    Key('A', true); // removing every row leaves nothing to play
    Key(VK_DELETE);
    EXPECT_EQ(Clips(), 0u);
    EXPECT_EQ(Current(), nullptr);
    // A new playlist stops and closes.
    AddRows({1});
    m_app.m_commands.clear();
    Click(CPlaylistWnd::IDC_NEW);
    EXPECT_EQ(Clips(), 0u);
    EXPECT_EQ((std::vector{Count(CmdStop), Count(CmdClosing)}), (std::vector{1, 1}));

    // The part all player windows share: a click brings them forward; Ctrl keys; drops.
    m_app.m_commands.clear();
    Press(WM_LBUTTONDOWN, {150, 60});
    ASSERT_EQ(m_app.Codes(), (std::vector<int>{CmdBringToTop}));
    EXPECT_EQ(m_app.m_commands[0].pSender, &m_wnd);
    m_app.m_commands.clear();
    const bool mute = m_app.m_control.GetMute(), repeat = m_app.m_control.GetRepeat();
    for (WPARAM key : {'M', 'R', 'X'})
        Key(key, true);
    EXPECT_EQ(m_app.m_control.GetMute(), !mute);
    EXPECT_EQ(m_app.m_control.GetRepeat(), !repeat);
    EXPECT_EQ(m_app.Codes(),
              (std::vector<int>{CmdUpdateControls, CmdRepeatChanged, CmdUpdateControls}));
    DroppedFiles files{"/m/c.mp3", "/m/a.mp3", "/m/b.avi"};
    m_wnd.SendMessage(WM_DROPFILES, WPARAM(&files), 0);
    EXPECT_EQ(m_app.m_added, std::vector<std::vector<std::string>>{files});
}

// Clean-up keeps streams and disc tracks, and asks before more than a handful go.
TEST_F(PlaylistWndTest, CleanUpRemovesDuplicatesAndDeadFilesAndJumpPlaysTheChosenRow) {
    const std::string live = m_temp.MakeFile("live.mp3");
    AddPaths({live, "/gone/a.mp3", live, "http://127.0.0.1/s", "/dev/sr0/Track01.cda", live});
    List().SetSelected(3, true);
    EXPECT_EQ(m_wnd.RemoveDuplicates(), 2);
    EXPECT_TRUE(List().IsSelected(2)); // the stream row kept its selection
    EXPECT_EQ(List().GetSelectedCount(), 1);
    m_wnd.OnMenuCommand(CPlaylistWnd::ID_REMOVE_DEAD);
    EXPECT_EQ(Column(0), (Strings{"live", "s", "Track01"}));
    EXPECT_TRUE(m_boxes.empty());

    m_wnd.m_nJumpRow = 1;
    Key('J');
    EXPECT_EQ(m_wnd.m_jumpTexts.at(1), "s\nhttp://127.0.0.1/s");
    EXPECT_EQ(Current(), List().GetItem(1));

    AddPaths({"/gone/0", "/gone/1", "/gone/2", "/gone/3", "/gone/4", "/gone/5"});
    EXPECT_EQ(m_wnd.RemoveDeadEntries(), 0) << "No keeps every row";
    EXPECT_EQ(List().GetRowCount(), 9);
    m_nAnswer = IDYES;
    EXPECT_EQ(m_wnd.RemoveDeadEntries(), 6);
    EXPECT_EQ(List().GetRowCount(), 3);
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_NE(m_boxes[1].find("6"), std::string::npos) << m_boxes[1];

    // The box: typing narrows, the arrows move, Enter chooses a match and Esc closes.
    const auto key = [](QWidget& target, int code) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &press);
    };
    CJumpToFileBox box(nullptr, {"Alpha\n/m/a.mp3", "Beta\n/m/b.mp3", "Alphabet\n/m/c.ogg"},
                       {"Alpha", "Beta", "Alphabet"}, "Jump", "Words");
    box.GetEdit()->setText("ogg beta");
    EXPECT_EQ(box.GetMatchList()->count(), 0);
    key(box, Qt::Key_Return); // nothing to choose: the box stays
    EXPECT_EQ(box.GetChosenRow(), -1);
    box.GetEdit()->setText("ALPHA");
    ASSERT_EQ(box.GetMatchList()->count(), 2);
    EXPECT_EQ(box.GetMatchList()->item(1)->text().toStdString(), "3. Alphabet");
    key(box, Qt::Key_Down);
    key(box, Qt::Key_Return);
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(box.GetChosenRow(), 2);
    key(box, Qt::Key_Escape);
    EXPECT_EQ(box.result(), QDialog::Rejected);
}

// A double click on the body rolls the window up, on the list or the shaded bar's label not.
// The sample skin folder holds the built-in skin, so both draw the window alike.
TEST_F(PlaylistWndTest, TheShadedBarTranslationAndTheSampleSkin) {
    AddRows({65, 3725, 0});
    Press(WM_LBUTTONDBLCLK, Row(0));
    EXPECT_FALSE(m_wnd.IsShaded());
    Press(WM_LBUTTONDBLCLK, {100, 8});
    EXPECT_TRUE(m_wnd.IsShaded());
    EXPECT_TRUE(m_wnd.GetInfoLabel().IsVisible());
    EXPECT_FALSE(List().IsVisible());
    EXPECT_EQ(m_wnd.GetInfoLabel().GetText(), "1. t0");
    Press(WM_LBUTTONDBLCLK, {100, 8});
    EXPECT_TRUE(m_wnd.IsShaded());
    Press(WM_LBUTTONDBLCLK, {268, 8});
    EXPECT_FALSE(m_wnd.IsShaded());

    Clip(2)->SetPlayable(0);
    Submit(CmdPlayableChanged, ControlCommand::FromClip(Clip(2)));
    List().SetSelected(1, true);
    const auto snapshot = [this] {
        m_wnd.UpdateControls();
        return m_wnd.GetBuffer()->Image();
    };
    for (bool shaded : {false, true}) {
        if (shaded != m_wnd.IsShaded())
            m_wnd.ToggleShade();
        m_wnd.LoadBuiltInSkin();
        const auto builtIn = snapshot();
        ASSERT_TRUE(m_wnd.LoadSkin(std::string(CORVELLA_BINARY_DIR) + "/Test Skin/"));
        EXPECT_TRUE(snapshot() == builtIn) << "shaded " << shaded;
        EXPECT_EQ(List().GetRowCount(), 3); // a skin change keeps the rows
    }
    m_temp.MakeFile("PlaylistWindow.txt", "h\nh\nh\nh\nh\n1,2,3\n");
    EXPECT_FALSE(m_wnd.LoadSkin(m_temp.Path() + "/"));

    m_app.m_translate = [](const std::string& s) { return "~" + s; };
    Submit(CmdTranslate);
    for (CMemCtrl* c : m_wnd.GetControls())
        EXPECT_EQ(c->GetTooltipText().substr(0, 1), "~") << c->GetID();
}

} // namespace
