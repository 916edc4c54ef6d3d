#include "skin/PlaylistWnd.h"

#include "core/AttribClip.h"
#include "core/CorePrefs.h"
#include "core/PlaylistFile.h"
#include "core/PlaylistRows.h"
#include "platform/Clock.h"
#include "platform/Keyboard.h"
#include "platform/MessageBox.h"
#include "platform/MessageQueue.h"
#include "platform/RegisteredMessages.h"
#include "platform/Registry.h"
#include "playback/EngineManagerControl.h"
#include "playback/UIControl.h"
#include "skin/JumpToFileBox.h"
#include "skin/AppLink.h"
#include "skin/SkinFile.h"
#include "tests/playback/MediaFixtures.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/ScratchFolder.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

class CFakeEngineManager : public IEngineManagerControl {
public:
    bool m_bLoading = false;
    void SetVolume(int) override {}
    void SetMute(bool) override {}
    void SetDisplayMode(int) override {}
    void SetIdleLogo(bool) override {}
    void SetOverlayText(const std::string&) override {}
    bool IsLoading() const override { return m_bLoading; }
    bool CanSeek() const override { return false; }
};

// The application as the playlist window sees it: a real controller, and a bus that records
// each submitted command and delivers it to the playlist window.
class CTestApp : public testsupport::CRecordingPlayerApp {
public:
    struct Submitted {
        int code;
        LPARAM param1;
    };
    std::vector<Submitted> m_submitted;
    std::vector<std::vector<std::string>> m_added;

    void SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1, LPARAM param2,
                       const std::string& text) override {
        ControlCommand cmd{code, pSender, param1, param2, text};
        Deliver(cmd);
        m_submitted.push_back({code, cmd.param1});
    }
    void AddFiles(const std::vector<std::string>& paths) override { m_added.push_back(paths); }
    std::string Translate(const std::string& text) override { return m_strPrefix + text; }
    std::string m_strPrefix;

    // param1 of the last command of that code as the observers left it.
    LPARAM LastParam(int code) const {
        for (auto it = m_submitted.rbegin(); it != m_submitted.rend(); ++it)
            if (it->code == code)
                return it->param1;
        return -1;
    }
    int Count(int code) const {
        int n = 0;
        for (const Submitted& s : m_submitted)
            n += s.code == code;
        return n;
    }
};

// The window with the user's answers scripted and a fixed desktop.
class CTestPlaylistWnd : public CPlaylistWnd {
public:
    std::vector<std::vector<MenuItem>> m_menus;
    UINT m_nMenuChoice = 0;
    std::string m_strSavePath;
    std::string m_strSaveFolder;
    std::string m_strSaveFilter;
    std::string m_strOpened{"/m/x.mp3"};
    std::string m_strInfo1;
    std::string m_strInfo2;
    int m_nLength = 0;

    std::vector<CRect> GetScreenAreas() const override { return {{0, 0, 1024, 768}}; }
    CRect GetDesktopRect() const override { return {0, 0, 1024, 768}; }
    bool UsesSystemMove() const override { return false; }
    void LoadSkinFolder(const std::string& folder) { ASSERT_TRUE(LoadSkin(folder)); }

protected:
    UINT TrackMenu(const std::vector<MenuItem>& items) override {
        m_menus.push_back(items);
        return m_nMenuChoice;
    }
    std::string AskSavePath(const std::string& folder, const std::string& filter,
                            const std::string&) override {
        m_strSaveFolder = folder;
        m_strSaveFilter = filter;
        return m_strSavePath;
    }
    std::vector<std::string> AskOpenPaths(const std::string&, const std::string&) override {
        return {};
    }
    int AskJumpRow(const std::vector<std::string>& search, std::vector<std::string>) override {
        m_jumpTexts = search;
        return m_nJumpRow;
    }

public:
    std::vector<std::string> m_jumpTexts;
    int m_nJumpRow = -1;
    bool GetOpenedClipInfo(std::string& path, std::string& info1, std::string& info2,
                           int& length) override {
        path = m_strOpened;
        info1 = m_strInfo1;
        info2 = m_strInfo2;
        length = m_nLength;
        return true;
    }
};

class PlaylistWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnterPlayerWindowWorld(&m_app, m_temp.Path() + "/corvella");
        ASSERT_TRUE(m_timer.CreateMessageWindow());
        m_app.m_control.SetCommandBus(&m_app);
        m_app.m_control.SetTimerWindow(&m_timer);
        m_app.m_control.AttachEngineManager(&m_engine);
        ASSERT_TRUE(m_wnd.Create(nullptr));
        m_app.m_pTarget = &m_wnd;
    }
    void TearDown() override {
        platform::SetModifierState(false, false, false);
        SetMessageBoxHook({});
        m_app.m_pTarget = nullptr;
        testsupport::LeavePlayerWindowWorld();
    }

    // Clips "t0", "t1", … with the given durations, added to the playlist (no rows yet).
    void AddClips(std::vector<int> durations, const std::string& ext = ".mp3") {
        for (int d : durations) {
            auto clip = std::make_unique<CAttribClip>();
            const int n = int(m_app.m_control.GetClipList().GetCount());
            clip->SetPath("/m/t" + std::to_string(n) + ext);
            clip->SetDuration(d);
            clip->SetFileSize(1000 - n);
            m_app.m_control.GetClipList().Add(std::move(clip));
        }
    }
    CAttribClip* Clip(int i) { return m_app.m_control.GetClipList().GetAt(std::size_t(i)); }
    void Submit(int code, LPARAM param1 = 0) { m_app.SubmitCommand(nullptr, code, param1, 0, {}); }
    CMemList& List() { return m_wnd.GetList(); }
    std::vector<std::string> GetRowPaths() {
        std::vector<std::string> out;
        for (int r = 0; r < List().GetRowCount(); ++r)
            out.push_back(m_wnd.GetRowClip(r)->GetPath());
        return out;
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> out;
        for (int r = 0; r < List().GetRowCount(); ++r)
            out.push_back(List().GetText(r, 0));
        return out;
    }
    void Key(WPARAM vk, bool ctrl = false) {
        platform::SetModifierState(ctrl, false, false);
        m_wnd.SendMessage(WM_KEYDOWN, vk, 0);
        platform::SetModifierState(false, false, false);
    }
    void Click(UINT id) {
        for (CMemCtrl* c : m_wnd.GetControls())
            if (c->GetID() == id && c->IsVisible()) {
                m_wnd.SendMessage(WM_REG_MEMCTRL, MEMCTRL_CLICK, reinterpret_cast<LPARAM>(c));
                return;
            }
        ADD_FAILURE() << "no control " << id;
    }
    // The centre of a row of the list, in window coordinates.
    CPoint RowPoint(int row) {
        const CRect r = List().GetRowRect(row);
        return {r.left + 20, r.top + r.Height() / 2};
    }

    testsupport::ScratchFolder m_temp;
    platform::CVirtualClock m_clock;
    CWnd m_timer;
    CFakeEngineManager m_engine;
    CTestApp m_app;
    CTestPlaylistWnd m_wnd;
};

// Rows ------------------------------------------------------------------------------------------

TEST_F(PlaylistWndTest, AppendedRowsFillTitleAndDurationOnly) {
    AddClips({65, 0, 3725});
    Submit(CmdAppendRows);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t0", "t1", "t2"}));
    EXPECT_EQ(List().GetText(0, 1), "1:05");
    EXPECT_EQ(List().GetText(1, 1), ""); // 0 seconds: no duration
    EXPECT_EQ(List().GetText(2, 1), "1:02:05");
    EXPECT_EQ(List().GetText(0, 2), "");
    EXPECT_EQ(List().GetText(0, 4), "");
    EXPECT_EQ(List().GetCursorRow(), 0);
    EXPECT_EQ(List().GetItem(2), Clip(2));

    // A second append adds only the clips without a row.
    AddClips({5});
    Submit(CmdAppendRows);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t0", "t1", "t2", "t3"}));
    EXPECT_EQ(List().GetText(3, 1), "05");
}

TEST_F(PlaylistWndTest, InsertedRowsGoBehindTheCursorRow) {
    AddClips({1, 2, 3});
    Submit(CmdAppendRows);
    Submit(CmdLoadClip, ControlCommand::FromClip(Clip(1)));
    ASSERT_EQ(List().GetCursorRow(), 1);
    AddClips({4, 5});
    Submit(CmdInsertRows);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t0", "t1", "t3", "t4", "t2"}));
    EXPECT_EQ(List().GetCursorRow(), 1);
}

TEST_F(PlaylistWndTest, RefillKeepsTheCursorUnlessResetIsOn) {
    AddClips({1, 2, 3});
    Submit(CmdRefillRows);
    EXPECT_EQ(List().GetText(1, 2), "t1");
    EXPECT_EQ(List().GetText(1, 4), ".mp3");
    EXPECT_EQ(List().GetCursorRow(), 0);
    EXPECT_EQ(m_wnd.GetInfoLabel().GetText(), "1. t0");

    List().SetCursorRow(2);
    Submit(CmdRefillRows);
    EXPECT_EQ(List().GetRowCount(), 3); // rebuilt, not doubled
    EXPECT_EQ(List().GetCursorRow(), 2);
    EXPECT_EQ(m_wnd.GetInfoLabel().GetText(), "3. t2");

    CCorePrefs::Set(CCorePrefs::ResetPlayNumber, 1);
    Submit(CmdRefillRows);
    EXPECT_EQ(List().GetCursorRow(), 0);
}

TEST_F(PlaylistWndTest, ClosingDeletesTheRowsAndNotifies) {
    AddClips({1, 2});
    Submit(CmdAppendRows);
    const int before = m_app.Count(CmdUpdateControls);
    Submit(CmdClosing);
    EXPECT_EQ(List().GetRowCount(), 0);
    EXPECT_EQ(List().GetCursorRow(), -1);
    EXPECT_EQ(m_app.Count(CmdUpdateControls), before + 1);
    EXPECT_EQ(m_wnd.GetInfoLabel().GetText(), "");
    EXPECT_EQ(m_wnd.CurrentClip(), nullptr);
}

TEST_F(PlaylistWndTest, LoadClipMovesTheCursorAndFillsAnEmptyRequest) {
    AddClips({1, 2, 3, 4, 5});
    Submit(CmdAppendRows);
    Submit(CmdLoadClip, ControlCommand::FromClip(Clip(4)));
    EXPECT_EQ(List().GetCursorRow(), 4);
    EXPECT_EQ(m_wnd.GetInfoLabel().GetText(), "5. t4");
    // An empty request with a cursor row names row 0's clip.
    Submit(CmdLoadClip, 0);
    EXPECT_EQ(List().GetCursorRow(), 0);
    EXPECT_EQ(m_app.LastParam(CmdLoadClip), ControlCommand::FromClip(Clip(0)));
}

TEST_F(PlaylistWndTest, OpenedClipWritesTitleAndLengthIntoTheCursorRow) {
    AddClips({0, 0});
    Submit(CmdAppendRows);
    Submit(CmdLoadClip, ControlCommand::FromClip(Clip(1)));
    m_wnd.m_strOpened = "C:\\m\\x.mp3";
    m_wnd.m_strInfo1 = "A";
    m_wnd.m_strInfo2 = "B";
    m_wnd.m_nLength = 3725;
    Submit(CmdClipOpened);
    EXPECT_EQ(List().GetText(1, 0), "A - B");
    EXPECT_EQ(List().GetText(1, 1), "1:02:05");
    EXPECT_EQ(Clip(1)->GetTitle(), "A - B");
    EXPECT_EQ(Clip(1)->GetDuration(), 3725);
    EXPECT_EQ(m_wnd.GetInfoLabel().GetText(), "2. A - B");
    EXPECT_EQ(List().GetText(0, 0), "t0");
    // Reopened, a stream that finds its length only while playing reports 0: the known stays.
    m_wnd.m_nLength = 0;
    Submit(CmdClipOpened);
    EXPECT_EQ(Clip(1)->GetDuration(), 3725);
    EXPECT_EQ(List().GetText(1, 1), "1:02:05");

    // Without tags the file name stands with its extension; tag texts stand as they are, dots
    // and slashes included; an artist without a title names nothing.
    EXPECT_EQ(CPlaylistWnd::OpenedClipTitle("/m/song.ogg", "", ""), "song.ogg");
    EXPECT_EQ(CPlaylistWnd::OpenedClipTitle("/m/song.ogg", "", "Mr. Blue"), "Mr. Blue");
    EXPECT_EQ(CPlaylistWnd::OpenedClipTitle("/m/song.ogg", "AC/DC", "T.N.T."), "AC/DC - T.N.T.");
    EXPECT_EQ(CPlaylistWnd::OpenedClipTitle("/m/song.ogg", "A", ""), "song.ogg");

    // A stream without a length is live; a file without one shows nothing (in a row that never
    // knew a length).
    Clip(1)->SetDuration(0);
    m_wnd.m_strOpened = "http://127.0.0.1:1/radio";
    m_wnd.m_nLength = 0;
    Submit(CmdClipOpened);
    EXPECT_EQ(List().GetText(1, 1), m_app.m_strPrefix + "live");
    m_wnd.m_strOpened = "/m/x.mp3";
    Submit(CmdClipOpened);
    EXPECT_EQ(List().GetText(1, 1), "");
}

TEST_F(PlaylistWndTest, AddedFilesGetTagTitlesAndLengthsInTheBackgroundUnlessTheyHaveThem) {
    ASSERT_TRUE(mediatest::CMediaFolder::Instance().Ok());
    // A Matroska file whose only title is its track's name ("Audio").
    const std::string named = m_temp.Path() + "/named.mka";
    ASSERT_EQ(std::system(("gst-launch-1.0 -q audiotestsrc num-buffers=60 ! audioconvert ! "
                           "vorbisenc ! taginject 'tags=\"title=Audio\"' ! matroskamux ! "
                           "filesink location='" +
                           named + "' >/dev/null 2>&1")
                              .c_str()),
              0);
    const std::string taggedMp3 = mediatest::Media("tagged.mp3");
    const CAttribClip stamp = [&] {
        CAttribClip clip;
        clip.LoadFileInfo(taggedMp3);
        return clip;
    }();
    struct Entry {
        std::string path;
        std::string title;     // from a playlist
        int seconds;           // from a playlist
        std::int32_t size = 0; // a size other than the file's marks it changed since
    };
    for (const Entry& e :
         {Entry{mediatest::Media("tagged.ogg"), "", 0}, Entry{taggedMp3, "Kept", 0},
          Entry{mediatest::Media("clip.flac"), "", 7}, Entry{m_temp.Path() + "/absent.ogg", "", 0},
          Entry{named, "", 0}, Entry{taggedMp3, "Unchanged", 5, stamp.GetFileSize()},
          Entry{taggedMp3, "Changed", 5, stamp.GetFileSize() + 1}}) {
        auto clip = std::make_unique<CAttribClip>();
        clip->LoadFileInfo(e.path);
        clip->SetPath(e.path);
        clip->SetTitle(e.title);
        clip->SetDuration(e.seconds);
        if (e.size)
            clip->SetFileSize(e.size);
        m_app.m_control.GetClipList().Add(std::move(clip));
    }
    Submit(CmdAppendRows);
    const std::string tagged =
        std::string(mediatest::CMediaFolder::kArtist) + " - " + mediatest::CMediaFolder::kTitle;
    // The rows are there at once and fill in later.
    EXPECT_EQ(Titles(), (std::vector<std::string>{"tagged", "Kept", "clip", "absent", "named",
                                                  "Unchanged", "Changed"}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((List().GetText(1, 1).empty() || Clip(4)->GetTitle().empty() ||
            Clip(6)->GetDuration() != 1) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        m_clock.Pump();
    }
    // Read files without a title tag are named as the playing engine names them; a track's
    // name does not title a clip; a clip whose file changed is read again.
    EXPECT_EQ(Titles(), (std::vector<std::string>{tagged, "Kept", "clip.flac", "absent",
                                                  "named.mka", "Unchanged", tagged}));
    EXPECT_EQ(Clip(0)->GetTitle(), tagged);
    EXPECT_EQ(Clip(0)->GetDuration(), 1);
    EXPECT_EQ(List().GetText(0, 1), "01");
    EXPECT_EQ(List().GetText(1, 1), "01");
    EXPECT_EQ(Clip(2)->GetDuration(), 7) << "a length from a playlist stays";
    EXPECT_EQ(List().GetText(3, 1), "");
    EXPECT_EQ(Clip(4)->GetDuration(), 1);
    EXPECT_EQ(Clip(5)->GetDuration(), 5) << "an unchanged file is not read again";
    EXPECT_EQ(Clip(6)->GetFileSize(), stamp.GetFileSize());

    // Files added after the readers went idle are read as well.
    auto later = std::make_unique<CAttribClip>();
    later->SetPath(mediatest::Media("clip.ogg"));
    m_app.m_control.GetClipList().Add(std::move(later));
    Submit(CmdAppendRows);
    while (List().GetText(7, 1).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        m_clock.Pump();
    }
    EXPECT_EQ(List().GetText(7, 1), "01");
}

// Playing ---------------------------------------------------------------------------------------

TEST_F(PlaylistWndTest, DoubleClickPlaysTheRowUnlessLoading) {
    AddClips({1, 2, 3});
    Submit(CmdAppendRows);
    m_wnd.ShowWindow(SW_SHOWNA);
    m_app.m_submitted.clear();
    const CPoint pt = RowPoint(2);
    m_wnd.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(pt.x, pt.y));
    m_wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    m_clock.Pump();
    ASSERT_FALSE(m_app.m_submitted.empty());
    EXPECT_EQ(m_app.m_submitted.front().code, CmdLoadClip);
    EXPECT_EQ(m_app.m_submitted.front().param1, ControlCommand::FromClip(Clip(2)));
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), Clip(2));
    EXPECT_EQ(List().GetCursorRow(), 2);

    m_engine.m_bLoading = true;
    m_app.m_submitted.clear();
    const CPoint p0 = RowPoint(0);
    m_wnd.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(p0.x, p0.y));
    m_wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(p0.x, p0.y));
    m_clock.Pump();
    EXPECT_EQ(m_app.Count(CmdLoadClip), 0);
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), Clip(2));
}

TEST_F(PlaylistWndTest, EnterPlaysOnlyTheOneSelectedRow) {
    AddClips({1, 2, 3});
    Submit(CmdAppendRows);
    List().SetSelected(0, true);
    List().SetSelected(2, true);
    m_app.m_submitted.clear();
    Key(VK_RETURN);
    EXPECT_EQ(m_app.Count(CmdLoadClip), 0);
    List().SetSelected(0, false);
    Key(VK_RETURN);
    ASSERT_EQ(m_app.Count(CmdLoadClip), 1);
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), Clip(2));
}

// The window's navigation over its rows gives what the row model gives.
TEST_F(PlaylistWndTest, NavigationAgreesWithTheRowModel) {
    AddClips({1, 2, 3});
    Submit(CmdAppendRows);
    const std::vector<NavigateMode> presses{
        NavigateNext,  NavigateNext,     NavigateNext,     NavigateNext, NavigatePrevious,
        NavigateFirst, NavigatePrevious, NavigatePrevious, NavigateLast, NavigateNext};
    for (bool repeat : {true, false}) {
        m_app.m_control.SetRepeat(repeat);
        CPlaylistRows rows;
        rows.SetRepeatQuery([repeat] { return repeat; });
        for (int i = 0; i < 3; ++i)
            rows.AppendRow(Clip(i));
        List().SetCursorRow(-1);
        // Previous without a cursor row, then the sequence.
        EXPECT_EQ(m_wnd.Navigate(NavigatePrevious), rows.Navigate(NavigatePrevious));
        for (NavigateMode mode : presses) {
            for (NavigateMode ask : {NavigatePrevious, NavigateNext})
                EXPECT_EQ(m_wnd.CanNavigate(ask), rows.CanNavigate(ask)) << repeat;
            EXPECT_EQ(m_wnd.Navigate(mode), rows.Navigate(mode)) << repeat << " " << mode;
            EXPECT_EQ(List().GetCursorRow(), rows.GetCursorRow());
            EXPECT_EQ(m_wnd.CurrentClip(), rows.CurrentClip());
        }
    }
    Submit(CmdClosing);
    EXPECT_EQ(m_wnd.Navigate(NavigateNext), nullptr);
    EXPECT_FALSE(m_wnd.CanNavigate(NavigateFirst));
}

// The controller's transport moves the window's cursor row.
TEST_F(PlaylistWndTest, ControllerStepsThroughTheRowOrder) {
    AddClips({30, 10, 20});
    Submit(CmdAppendRows);
    m_wnd.Sort(core::SortByDuration); // rows: t1, t2, t0
    m_app.m_control.SetRepeat(false);
    List().SetCursorRow(0);
    m_app.m_control.Next();
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), Clip(2));
    m_app.m_control.Next();
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), Clip(0));
    m_app.m_control.Next();
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), nullptr);
    // The announcement without a clip sends the cursor back to the first row for the next run.
    EXPECT_EQ(List().GetCursorRow(), 0);
    EXPECT_EQ(m_app.LastParam(CmdLoadClip), ControlCommand::FromClip(Clip(1)));
}

// Rows on screen ---------------------------------------------------------------------------------

int CountNear(const CDC& dc, const CRect& r, COLORREF c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF p = dc.GetPixel(x, y);
            n += std::abs(GetRValue(p) - GetRValue(c)) < 40 && GetGValue(p) < 60 &&
                 GetBValue(p) < 60;
        }
    return n;
}

TEST_F(PlaylistWndTest, FailedClipShowsAMarkInItsRow) {
    AddClips({65, 65, 65});
    Submit(CmdAppendRows);
    Clip(1)->SetPlayable(0);
    Submit(CmdPlayableChanged, ControlCommand::FromClip(Clip(1)));
    EXPECT_FALSE(List().IsPlayable(1));
    EXPECT_TRUE(List().IsPlayable(0));
    m_wnd.UpdateControls();
    const CDC& dc = *m_wnd.GetBuffer();
    EXPECT_GT(CountNear(dc, List().GetCellRect(1, 1), CMemList::kUnplayableColor), 3);
    EXPECT_EQ(CountNear(dc, List().GetCellRect(0, 1), CMemList::kUnplayableColor), 0);
    EXPECT_EQ(CountNear(dc, List().GetCellRect(2, 1), CMemList::kUnplayableColor), 0);

    // A change without a clip (every clip stopped) refreshes every row.
    for (int i = 0; i < 3; ++i)
        Clip(i)->SetPlayable(1);
    Submit(CmdPlayableChanged, 0);
    EXPECT_TRUE(List().IsPlayable(1));
}

// Sorting ---------------------------------------------------------------------------------------

TEST_F(PlaylistWndTest, SortingTogglesDirectionAndKeepsTheCursorClip) {
    AddClips({30, 10, 20});
    Submit(CmdAppendRows);
    List().SetCursorRow(0); // t0
    m_wnd.Sort(core::SortByDuration);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t1", "t2", "t0"}));
    EXPECT_EQ(m_wnd.CurrentClip(), Clip(0));
    m_wnd.Sort(core::SortByDuration);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t0", "t2", "t1"}));
    m_wnd.Sort(core::SortByInfo);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t0", "t1", "t2"}));
    // The sort button repeats the last key, flipping it.
    Click(CPlaylistWnd::IDC_SORT);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t2", "t1", "t0"}));
    m_wnd.Sort(core::SortBySize); // sizes fall with the index
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t2", "t1", "t0"}));
    // The playlist record keeps its order.
    EXPECT_EQ(Clip(0)->GetPath(), "/m/t0.mp3");
}

TEST_F(PlaylistWndTest, ContextMenuMarksTheSortKeyAndRunsItsChoice) {
    AddClips({30, 10, 20});
    Submit(CmdAppendRows);
    const auto marked = [](const std::vector<CPlaylistWnd::MenuItem>& menu) {
        std::vector<std::string> out;
        for (const auto& item : menu)
            for (const auto& sub : item.popup)
                if (sub.bRadio)
                    out.push_back(sub.strText);
        return out;
    };
    m_wnd.Sort(core::SortByDuration);
    EXPECT_EQ(marked(m_wnd.BuildContextMenu()), std::vector<std::string>{"By &Duration"});
    m_wnd.Sort(core::SortByType);
    EXPECT_TRUE(marked(m_wnd.BuildContextMenu()).empty());

    // A right click on a row opens the menu; its choice runs after code 23.
    m_wnd.m_nMenuChoice = CPlaylistWnd::ID_SORT_DURATION;
    m_app.m_submitted.clear();
    const CPoint pt = RowPoint(0);
    m_wnd.SendMessage(WM_RBUTTONDOWN, 0, MAKELPARAM(pt.x, pt.y));
    m_wnd.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    m_clock.Pump();
    ASSERT_EQ(m_wnd.m_menus.size(), 1u);
    EXPECT_EQ(m_wnd.m_menus[0].front().strText, "&Play items");
    EXPECT_EQ(m_app.Count(CmdUserCommand), 1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t1", "t2", "t0"}));
}

TEST_F(PlaylistWndTest, AppendedRowsSortByEmptyFileNames) {
    AddClips({1, 2, 3});
    Submit(CmdAppendRows);
    m_wnd.Sort(core::SortByName);
    EXPECT_EQ(List().GetRowCount(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(List().GetText(r, 2), "");
}

// Removing and selecting -------------------------------------------------------------------------

TEST_F(PlaylistWndTest, CropKeepsTheSelectedRows) {
    AddClips({1, 2, 3, 4});
    Submit(CmdAppendRows);
    List().SetSelected(1, true);
    List().SetSelected(3, true);
    Key(VK_DELETE, true);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t1", "t3"}));
    ASSERT_EQ(m_app.m_control.GetClipList().GetCount(), 2u);
    EXPECT_EQ(Clip(0)->GetPath(), "/m/t1.mp3");
    // The cursor row went with row 0: the row that took the first removed place is current.
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), Clip(0));
}

TEST_F(PlaylistWndTest, RemoveSelectedAndSelectionKeys) {
    AddClips({1, 2, 3, 4});
    Submit(CmdAppendRows);
    Submit(CmdLoadClip, ControlCommand::FromClip(Clip(2)));
    // Nothing selected: nothing goes, but the cursor clip becomes current and observers hear.
    const int updates = m_app.Count(CmdUpdateControls);
    Key(VK_DELETE);
    EXPECT_EQ(List().GetRowCount(), 4);
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), Clip(2));
    EXPECT_EQ(m_app.Count(CmdUpdateControls), updates + 1);

    Key('A', true);
    EXPECT_EQ(List().GetSelectedCount(), 4);
    Key('D', true);
    EXPECT_EQ(List().GetSelectedCount(), 0);
    Key('D'); // without Ctrl the key is not the list's
    EXPECT_EQ(List().GetSelectedCount(), 0);
    List().SetSelected(0, true);
    Key('I', true);
    EXPECT_EQ(List().GetSelectedCount(), 3);
    EXPECT_FALSE(List().IsSelected(0));
    Key('I', true);
    Click(CPlaylistWnd::IDC_REMOVE);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"t1", "t2", "t3"}));
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 3u);
    EXPECT_EQ(List().GetCursorRow(), 1);

    // Removing every row leaves nothing to play.
    Key('A', true);
    Key(VK_DELETE);
    EXPECT_EQ(List().GetRowCount(), 0);
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 0u);
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), nullptr);
}

// Clean-up and jump to file: the rows that go, the confirmation, the selection that stays, and
// the box's choice played.
TEST_F(PlaylistWndTest, CleanUpRemovesDuplicatesAndDeadFilesAndJumpPlaysTheChosenRow) {
    const std::string live = m_temp.MakeFile("live.mp3");
    const std::vector<std::string> paths = {
        live, "/gone/a.mp3", live, "http://127.0.0.1/s", "/dev/sr0/Track01.cda", live};
    for (const std::string& path : paths) {
        auto clip = std::make_unique<CAttribClip>();
        clip->SetPath(path);
        m_app.m_control.GetClipList().Add(std::move(clip));
    }
    Submit(CmdAppendRows);
    List().SetSelected(3, true);
    int asked = 0;
    SetMessageBoxHook([&](const MessageBoxRequest&) { return ++asked, IDNO; });
    EXPECT_EQ(m_wnd.RemoveDuplicates(), 2); // a handful goes without asking
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(List().GetRowCount(), 4);
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 4u);
    EXPECT_TRUE(List().IsSelected(2)); // the stream row kept its selection
    EXPECT_EQ(List().GetSelectedCount(), 1);
    // The stream and the disc track cannot be checked: only the missing file goes.
    m_wnd.OnMenuCommand(CPlaylistWnd::ID_REMOVE_DEAD);
    ASSERT_EQ(List().GetRowCount(), 3);
    EXPECT_EQ(GetRowPaths(),
              (std::vector<std::string>{live, "http://127.0.0.1/s", "/dev/sr0/Track01.cda"}));
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 3u);

    m_wnd.m_nJumpRow = 1;
    Key('J');
    ASSERT_EQ(m_wnd.m_jumpTexts.size(), 3u);
    EXPECT_EQ(m_wnd.m_jumpTexts[1], "s\nhttp://127.0.0.1/s");
    EXPECT_EQ(m_app.m_control.GetCurrentClip(), List().GetItem(1));
    EXPECT_EQ(List().GetCursorRow(), 1);

    // More than a handful asks; No keeps every row.
    for (int i = 0; i < 6; ++i) {
        auto clip = std::make_unique<CAttribClip>();
        clip->SetPath("/gone/" + std::to_string(i));
        m_app.m_control.GetClipList().Add(std::move(clip));
    }
    Submit(CmdAppendRows);
    EXPECT_EQ(m_wnd.RemoveDeadEntries(), 0);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(List().GetRowCount(), 9);
    SetMessageBoxHook([&](const MessageBoxRequest& r) {
        EXPECT_NE(r.text.find("6"), std::string::npos) << r.text;
        return IDYES;
    });
    EXPECT_EQ(m_wnd.RemoveDeadEntries(), 6);
    EXPECT_EQ(List().GetRowCount(), 3);
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 3u);
}

// The box itself: typing narrows the matches, the arrows move through them, Enter chooses the
// highlighted one and Esc chooses nothing.
TEST(JumpToFileBox, TypingNarrowsEnterChoosesAndEscapeCloses) {
    const std::vector<std::string> search = {"Alpha\n/m/a.mp3", "Beta\n/m/b.mp3",
                                             "Alphabet\n/m/c.ogg"};
    const auto key = [](QWidget& target, int code) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &press);
    };
    CJumpToFileBox box(nullptr, search, {"Alpha", "Beta", "Alphabet"}, "Jump", "Words");
    EXPECT_EQ(box.GetMatchList()->count(), 3);
    box.GetEdit()->setText("ALPHA");
    ASSERT_EQ(box.GetMatchList()->count(), 2);
    EXPECT_EQ(box.GetMatchList()->item(1)->text().toStdString(), "3. Alphabet");
    key(box, Qt::Key_Down);
    key(box, Qt::Key_Return);
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(box.GetChosenRow(), 2);

    CJumpToFileBox none(nullptr, search, {"Alpha", "Beta", "Alphabet"}, "Jump", "Words");
    none.GetEdit()->setText("ogg beta");
    EXPECT_EQ(none.GetMatchList()->count(), 0);
    key(none, Qt::Key_Return); // nothing to choose: the box stays
    EXPECT_EQ(none.GetChosenRow(), -1);
    key(none, Qt::Key_Escape);
    EXPECT_EQ(none.result(), QDialog::Rejected);
}

TEST_F(PlaylistWndTest, NewPlaylistEmptiesPlaylistAndRows) {
    AddClips({1, 2});
    Submit(CmdAppendRows);
    m_app.m_submitted.clear();
    Click(CPlaylistWnd::IDC_NEW);
    EXPECT_EQ(List().GetRowCount(), 0);
    EXPECT_EQ(m_app.m_control.GetClipList().GetCount(), 0u);
    EXPECT_EQ(m_app.Count(CmdStop), 1);
    EXPECT_EQ(m_app.Count(CmdClosing), 1);
    EXPECT_GE(m_app.Count(CmdUpdateControls), 1);
}

// Saving ----------------------------------------------------------------------------------------

TEST_F(PlaylistWndTest, SaveWritesAPlaylistThatLoadsBackInPlaylistOrder) {
    AddClips({30, 10, 20});
    Submit(CmdAppendRows);
    m_wnd.Sort(core::SortByDuration);
    m_app.m_control.SetLastPlaylistFolder(m_temp.Path() + "/");
    m_wnd.m_strSavePath = m_temp / "list.mpl";
    Click(CPlaylistWnd::IDC_SAVE);
    EXPECT_EQ(m_wnd.m_strSaveFolder, m_temp.Path() + "/");
    EXPECT_EQ(m_wnd.m_strSaveFilter, "Corvella Playlist (*.mpl)|*.mpl||");
    EXPECT_EQ(m_app.Count(CmdUserCommand), 1);

    CObjListClip loaded;
    ASSERT_TRUE(core::LoadPlaylist(loaded, m_temp / "list.mpl", {}));
    ASSERT_EQ(loaded.GetCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(loaded.GetAt(i)->GetPath(), Clip(int(i))->GetPath());

    // A folder that does not exist: the error box, and nothing claimed.
    std::vector<MessageBoxRequest> boxes;
    SetMessageBoxHook([&](const MessageBoxRequest& r) {
        boxes.push_back(r);
        return IDOK;
    });
    m_wnd.m_strSavePath = m_temp / "missing/list.mpl";
    Click(CPlaylistWnd::IDC_SAVE);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "File Exception.");
    EXPECT_EQ(boxes[0].text, "Cann't save file.\n\n " + (m_temp / "missing/list.mpl"));

    // Cancelling saves nothing.
    m_wnd.m_strSavePath.clear();
    m_app.m_submitted.clear();
    Click(CPlaylistWnd::IDC_SAVE);
    EXPECT_EQ(m_app.Count(CmdUserCommand), 0);
}

// Place and state --------------------------------------------------------------------------------

TEST_F(PlaylistWndTest, DefaultRectangleSitsBelowTheMainWindow) {
    EXPECT_EQ(m_wnd.DefaultRect(), (CRect{0, 200, 312, 318}));
    CWnd main;
    ASSERT_TRUE(main.CreateTopLevel({40, 30, 352, 148}, "main"));
    m_app.m_pMain = &main;
    EXPECT_EQ(m_wnd.DefaultRect(), (CRect{40, 148, 352, 266}));
    // Resetting the positions puts it there.
    Submit(CmdResetPositions);
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{40, 148, 352, 266}));
    m_app.m_pMain = nullptr;
}

TEST_F(PlaylistWndTest, SavedStateKeepsTheCursorRowForTheRefill) {
    AddClips({1, 2, 3});
    Submit(CmdRefillRows);
    List().SetCursorRow(2);
    m_wnd.SaveState();
    ASSERT_TRUE(CRegistry::Instance()
                    .QueryBinary(HKEY_LOCAL_MACHINE, "Software\\Brenholt\\Corvella", "PlayListWnd")
                    .has_value());
    m_app.m_pTarget = nullptr;
    CTestPlaylistWnd again;
    ASSERT_TRUE(again.Create(nullptr));
    m_app.m_pTarget = &again;
    Submit(CmdRefillRows);
    EXPECT_EQ(again.GetList().GetCursorRow(), 2);
    m_app.m_pTarget = &m_wnd;
}

TEST_F(PlaylistWndTest, PreferencesSetFontsAndNumbers) {
    CCorePrefs::Set(CCorePrefs::ShadeFontSize, 9);
    CCorePrefs::Set(CCorePrefs::ClipNumbers, 0);
    m_wnd.LoadBuiltInSkin();
    EXPECT_EQ(m_wnd.GetInfoLabel().GetFontHeight(), 9);
    AddClips({1});
    Submit(CmdAppendRows);
    m_wnd.UpdateControls();
    const auto without = m_wnd.GetBuffer()->Image();
    CCorePrefs::Set(CCorePrefs::ClipNumbers, 1);
    m_wnd.LoadBuiltInSkin();
    m_wnd.UpdateControls();
    EXPECT_FALSE(m_wnd.GetBuffer()->Image() == without); // "1. " now precedes the title
    CCorePrefs::Set(CCorePrefs::ClipNumbers, 0);
    m_wnd.LoadBuiltInSkin();
    m_wnd.UpdateControls();
    EXPECT_TRUE(m_wnd.GetBuffer()->Image() == without);
}

TEST_F(PlaylistWndTest, DoubleClickOnTheBodyRollsTheWindowUp) {
    AddClips({1});
    Submit(CmdAppendRows);
    const CPoint row = RowPoint(0);
    m_wnd.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(row.x, row.y));
    m_wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(row.x, row.y));
    m_clock.Pump();
    EXPECT_FALSE(m_wnd.IsShaded()); // on the list: the row plays instead
    m_wnd.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 8));
    m_wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(100, 8));
    EXPECT_TRUE(m_wnd.IsShaded());
    EXPECT_TRUE(m_wnd.GetInfoLabel().IsVisible());
    EXPECT_FALSE(List().IsVisible());
    EXPECT_EQ(m_wnd.GetInfoLabel().GetText(), "1. t0");
    // On the shaded bar the label is a control; beside it is the body.
    m_wnd.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 8));
    m_wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(100, 8));
    EXPECT_TRUE(m_wnd.IsShaded());
    m_wnd.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(268, 8));
    m_wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(268, 8));
    EXPECT_FALSE(m_wnd.IsShaded());
    EXPECT_TRUE(List().IsVisible());
}

TEST_F(PlaylistWndTest, TextsPassThroughTheTranslation) {
    m_app.m_strPrefix = "~";
    EXPECT_EQ(m_wnd.BuildContextMenu().front().strText, "~&Play items");
    Submit(CmdTranslate);
    EXPECT_EQ(List().GetTooltipText(), "~Playlist");
    for (CMemCtrl* c : m_wnd.GetControls())
        EXPECT_EQ(c->GetTooltipText().substr(0, 1), "~") << c->GetID();
}

// The sample skin folder holds the built-in skin, so both draw the window alike.
TEST_F(PlaylistWndTest, SampleSkinFolderDrawsLikeTheBuiltInSkin) {
    AddClips({65, 3725, 0});
    Submit(CmdAppendRows);
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
        m_wnd.LoadSkinFolder(std::string(CORVELLA_BINARY_DIR) + "/Test Skin/");
        EXPECT_TRUE(m_wnd.IsSkinFromFiles());
        EXPECT_TRUE(snapshot() == builtIn) << "shaded " << shaded;
        EXPECT_EQ(List().GetRowCount(), 3); // a skin change keeps the rows
    }
}

TEST_F(PlaylistWndTest, DamagedSkinFileIsRefused) {
    const std::string folder = m_temp.Path() + "/";
    FILE* f = std::fopen((folder + "PlaylistWindow.txt").c_str(), "w");
    ASSERT_TRUE(f);
    std::fputs("h\nh\nh\nh\nh\n1,2,3\n", f);
    std::fclose(f);
    CTestPlaylistWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr));
    EXPECT_FALSE(wnd.LoadSkin(folder));
}

} // namespace
