// The whole program on a private X server (Xvfb), driven by pointer clicks and drags through
// xdotool: the start-up dialog above the windows, shading the main window with the playlist
// docked below, and the playlist snapping to the main window. The verbose log tells
// what the player did; the window geometry comes from the X server.
#include "res/BuiltInSkinLayout.h"
#include "res/StringTable.h"
#include "shell/InstanceObjects.h"
#include "shell/PlayerApp.h"
#include "skin/SnapGeometry.h"
#include "tests/playback/MediaFixtures.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WavWriter.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using shelltest::kProgram;
using shelltest::ReadFile;
using shelltest::WaitForText;

namespace {

// The full path of a program found on PATH; empty when it is not installed.
std::string FindTool(const char* name) {
    return QStandardPaths::findExecutable(name).toStdString();
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    CRect Rect() const { return {x, y, x + width, y + height}; }
};

// The private X server's screen; with no window manager all of it is available.
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// The centre of a main window control of the built-in layout, in window coordinates.
std::pair<int, int> MainControlCentre(const char* name) {
    for (const builtin::ControlLine& line : builtin::kMainControls)
        if (std::string(line.pszName) == name)
            return {line.n[0] + line.n[2] / 2, line.n[1] + line.n[3] / 2};
    ADD_FAILURE() << "no control " << name;
    return {0, 0};
}

class PlayerDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string xvfb = FindTool("Xvfb");
        if (xvfb.empty() || FindTool("xdotool").empty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        // Xvfb picks a free display number and writes it to the pipe once it accepts clients.
        const bool started = m_xvfb.Start(
            xvfb,
            {"-displayfd", std::to_string(fds[1]), "-screen", "0",
             std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24",
             "-nolisten", "tcp"},
            {}, m_home.Path() + "/xvfb.log");
        ::close(fds[1]);
        std::string number;
        char c = 0;
        while (started && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << ReadFile(m_home.Path() + "/xvfb.log");
        m_display = ":" + number;
    }
    void TearDown() override {
        if (m_display.empty())
            return;
        m_player.Signal(SIGTERM);
        m_player.WaitExit(30s);
        m_xvfb.Signal(SIGTERM);
        m_xvfb.WaitExit(10s);
        shell::RemoveInstanceObjects(shell::MakeInstanceNames(res::LoadString(147), m_home.Path()));
    }

    std::string Log() const { return m_home.Path() + "/player.log"; }
    std::string Media(const std::string& name, int seconds) const {
        const std::string path = m_home.Path() + "/" + name;
        testsupport::WriteWav(path, seconds);
        return path;
    }
    // The output of an xdotool command run on the test's display.
    std::string XDo(const std::string& args) const {
        const std::string command = "DISPLAY=" + m_display + " xdotool " + args + " 2>&1";
        std::string out;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[256];
            while (std::fgets(buffer, sizeof buffer, pipe))
                out += buffer;
            ::pclose(pipe);
        }
        return out;
    }
    std::vector<std::string> Env(bool startupDialogs = false) const {
        std::vector<std::string> env = shelltest::PlayerEnvironment(m_home.Path(), "xcb");
        env.push_back("DISPLAY=" + m_display);
        if (startupDialogs)
            std::erase_if(env, [](const std::string& e) {
                return e.starts_with(shell::kNoStartupDialogsVariable);
            });
        return env;
    }
    void Start(const std::vector<std::string>& files, bool startupDialogs = false) {
        std::vector<std::string> args{"--verbose"};
        args.insert(args.end(), files.begin(), files.end());
        // A restart writes the same log: without the old one, its lines cannot be taken for
        // the new player's before the child has truncated the file.
        std::filesystem::remove(Log());
        ASSERT_TRUE(m_player.Start(kProgram, args, Env(startupDialogs), Log()));
        ASSERT_TRUE(WaitForText(Log(), "main window shown", 30s)) << ReadFile(Log());
        ASSERT_TRUE(FindWindows()) << XDo("search --class .") << ReadFile(Log());
    }
    // Finds the main window (the one of the main panel's width that is neither the play window
    // nor the playlist), the playlist window and the play window among the player's visible
    // windows.
    bool FindWindows() {
        // Bounded by time, not tries: a loaded machine (the simultaneous-starts test beside)
        // can take many seconds to map a restarted player's windows.
        for (const auto end = std::chrono::steady_clock::now() + 45s;
             std::chrono::steady_clock::now() < end;) {
            std::stringstream ids(XDo("search --onlyvisible --class ."));
            m_main.clear();
            m_playlist.clear();
            for (std::string id; ids >> id;) {
                const std::string name = XDo("getwindowname " + id);
                if (name.find("Playlist") != std::string::npos)
                    m_playlist = id;
                else if (name.find("PlayWnd") != std::string::npos)
                    m_play = id;
                else if (Geom(id).width == 312)
                    m_main = id;
            }
            if (!m_main.empty() && !m_playlist.empty())
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    Geometry Geom(const std::string& window) const {
        Geometry g;
        std::stringstream out(XDo("getwindowgeometry --shell " + window));
        for (std::string line; std::getline(out, line);) {
            const std::size_t eq = line.find('=');
            if (eq == std::string::npos)
                continue;
            const int value = std::atoi(line.c_str() + eq + 1);
            const std::string key = line.substr(0, eq);
            if (key == "X")
                g.x = value;
            else if (key == "Y")
                g.y = value;
            else if (key == "WIDTH")
                g.width = value;
            else if (key == "HEIGHT")
                g.height = value;
        }
        return g;
    }
    void ClickMain(const char* control) {
        const auto [x, y] = MainControlCentre(control);
        XDo("mousemove --window " + m_main + " " + std::to_string(x) + " " + std::to_string(y) +
            " sleep 0.2 mousedown 1 sleep 0.1 mouseup 1");
    }
    // Drags the playlist by its title bar so that its top-left lands at (x, y).
    void DragPlaylist(int x, int y) {
        const Geometry from = Geom(m_playlist);
        const int grabX = from.x + 60, grabY = from.y + 6;
        const int toX = x + 60, toY = y + 6;
        XDo("mousemove " + std::to_string(grabX) + " " + std::to_string(grabY) +
            " mousedown 1 sleep 0.1 mousemove " + std::to_string((grabX + toX) / 2) + " " +
            std::to_string((grabY + toY) / 2) + " sleep 0.1 mousemove " + std::to_string(toX) +
            " " + std::to_string(toY) + " sleep 0.1 mouseup 1");
    }
    // The screen's pixels as the X server has them, through xwd and netpbm's converters, eight
    // bits a colour.
    struct Shot {
        int width = 0, height = 0;
        std::string rgb;
        std::uint32_t At(int x, int y) const {
            const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) +
                            (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
            return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
        }
    };
    Shot Screenshot() const {
        const std::string file = m_home.Path() + "/shot.ppm";
        const std::string command = "xwd -root -silent -display " + m_display +
                                    " | xwdtopnm 2>/dev/null | pnmdepth 255 > " + file;
        Shot shot;
        if (std::system(command.c_str()) != 0)
            return shot;
        std::ifstream in(file, std::ios::binary);
        std::string magic;
        int maxValue = 0;
        in >> magic >> shot.width >> shot.height >> maxValue;
        in.get();
        shot.rgb.resize(std::size_t(shot.width) * std::size_t(shot.height) * 3);
        in.read(shot.rgb.data(), std::streamsize(shot.rgb.size()));
        if (magic != "P6" || maxValue != 255 || !in)
            shot = {};
        return shot;
    }
    // Waits until a screenshot passes check.
    template <typename Check> bool WaitForScreen(Check check) const {
        for (int attempt = 0; attempt < 50; ++attempt) {
            const Shot shot = Screenshot();
            if (shot.width >= kScreenWidth && shot.height >= kScreenHeight && check(shot))
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }
    // The top-level windows from the bottom of the stack to its top.
    std::vector<std::string> StackingOrder() const {
        std::vector<std::string> ids;
        const std::string command = "xwininfo -root -children -display " + m_display;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char line[512];
            while (std::fgets(line, sizeof line, pipe)) {
                unsigned long id = 0;
                if (std::sscanf(line, " 0x%lx", &id) == 1)
                    ids.push_back(std::to_string(id));
            }
            ::pclose(pipe);
        }
        // xwininfo lists the top of the stack first.
        std::reverse(ids.begin(), ids.end());
        return ids;
    }
    // Waits until the window's geometry passes check.
    template <typename Check> bool WaitForGeometry(const std::string& window, Check check) {
        for (int attempt = 0; attempt < 250; ++attempt) {
            if (check(Geom(window)))
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    testsupport::ScratchFolder m_home;
    std::string m_display;
    testsupport::CChildProcess m_xvfb;
    testsupport::CChildProcess m_player;
    std::string m_main;
    std::string m_playlist;
    std::string m_play;
};

} // namespace

TEST_F(PlayerDesktopTest, AVideoOpenedAtTheFirstStartGrowsThePlayWindowWhereItWasPlaced) {
    ASSERT_TRUE(mediatest::CMediaFolder::Instance().Ok());
    Start({mediatest::CMediaFolder::Instance() / "clip.avi"});
    ASSERT_FALSE(m_play.empty());
    // The 320-pixel picture at its own size makes the window wider than its first size.
    ASSERT_TRUE(WaitForGeometry(m_play, [](const Geometry& g) { return g.width > 320; }))
        << ReadFile(Log());
    const CRect main = Geom(m_main).Rect();
    const CRect play = Geom(m_play).Rect();
    EXPECT_EQ(play.left, main.right);
    EXPECT_EQ(play.top, main.top);
    EXPECT_TRUE(CRect::Intersect(main, play).IsRectEmpty());
    EXPECT_TRUE(CRect::Intersect(Geom(m_playlist).Rect(), play).IsRectEmpty());
}

// At the first start the three windows sit docked in the middle of the screen, and shading the
// main window pulls the docked playlist up and back. A second start with -x leaves one row on
// screen and no trace of the old ones, and the play window says what plays. A playlist dragged
// near the main window snaps flush below it; dragged away, it comes back at its own place after
// a restart.
TEST_F(PlayerDesktopTest, ASecondStartThatReplacesAndThePlaylistPlaceAfterARestart) {
    const std::string first = Media("first.wav", 30);
    const std::string second = Media("second.wav", 30);
    const std::string third = Media("third.wav", 30);
    Start({first, second});
    ASSERT_FALSE(m_play.empty());
    const Geometry main = Geom(m_main);
    const Geometry docked = Geom(m_playlist);
    const CRect mainRect = main.Rect(), listRect = docked.Rect(), playRect = Geom(m_play).Rect();
    EXPECT_TRUE(CRect::Intersect(mainRect, listRect).IsRectEmpty());
    EXPECT_TRUE(CRect::Intersect(mainRect, playRect).IsRectEmpty());
    EXPECT_TRUE(CRect::Intersect(listRect, playRect).IsRectEmpty());
    // Docked: the playlist below the main window, the play window against one of them.
    ASSERT_EQ(docked.y, main.y + main.height) << "the playlist starts docked below";
    EXPECT_TRUE(snap::Touches(mainRect, playRect) || snap::Touches(listRect, playRect));
    const int left = std::min({mainRect.left, listRect.left, playRect.left});
    const int right = std::max({mainRect.right, listRect.right, playRect.right});
    const int top = std::min({mainRect.top, listRect.top, playRect.top});
    const int bottom = std::max({mainRect.bottom, listRect.bottom, playRect.bottom});
    EXPECT_NEAR((left + right) / 2, kScreenWidth / 2, 2);
    EXPECT_NEAR((top + bottom) / 2, kScreenHeight / 2, 2);

    ClickMain("button Shade Mode");
    ASSERT_TRUE(WaitForGeometry(
        m_main, [](const Geometry& g) { return g.height == builtin::kShadeHeight; }));
    const int difference = main.height - builtin::kShadeHeight;
    EXPECT_TRUE(WaitForGeometry(m_playlist, [&](const Geometry& g) {
        return g.y == docked.y - difference && g.x == docked.x;
    })) << Geom(m_playlist).y;
    ClickMain("button Expand Mode");
    ASSERT_TRUE(
        WaitForGeometry(m_main, [&](const Geometry& g) { return g.height == main.height; }));
    EXPECT_TRUE(WaitForGeometry(m_playlist, [&](const Geometry& g) {
        return g.y == docked.y && g.x == docked.x;
    })) << Geom(m_playlist).y;

    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + first, 30s)) << ReadFile(Log());
    // The play window says "Audio Only" in white while the clip plays: it is not left black.
    const Geometry play = Geom(m_play);
    EXPECT_TRUE(WaitForScreen([&](const Shot& shot) {
        for (int y = play.y + 20; y < play.y + play.height - 30; ++y)
            for (int x = play.x + 8; x < play.x + play.width - 8; ++x)
                if (shot.At(x, y) == 0xFFFFFF)
                    return true;
        return false;
    })) << "the play window is black";

    testsupport::CChildProcess again;
    ASSERT_TRUE(again.Start(kProgram, {"-x", third}, Env(), m_home.Path() + "/again.log"));
    EXPECT_EQ(again.WaitExit(30s), std::optional<int>(0));
    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + third, 30s)) << ReadFile(Log());
    // Below the one row the list shows its bare background: the rows of before are gone.
    const Geometry list = Geom(m_playlist);
    EXPECT_TRUE(WaitForScreen([&](const Shot& shot) {
        const std::uint32_t background = shot.At(list.x + 11, list.y + list.height - 29);
        for (int y = list.y + 19 + 17; y < list.y + list.height - 29; ++y)
            for (int x = list.x + 11; x < list.x + list.width - 26; ++x)
                if (shot.At(x, y) != background)
                    return false;
        return true;
    })) << "old rows are still drawn below the first";

    const int awayX = main.x + 200, awayY = main.y + main.height + 150;
    DragPlaylist(awayX, awayY);
    ASSERT_TRUE(WaitForGeometry(m_playlist,
                                [&](const Geometry& g) { return g.x == awayX && g.y == awayY; }))
        << "the playlist did not follow the drag: " << Geom(m_playlist).x << ","
        << Geom(m_playlist).y;
    // Back to 6 pixels right of and 7 below the docked place: it snaps flush below.
    DragPlaylist(main.x + 6, main.y + main.height + 7);
    EXPECT_TRUE(WaitForGeometry(
        m_playlist,
        [&](const Geometry& g) { return g.y == main.y + main.height && g.x == main.x; }))
        << Geom(m_playlist).x << "," << Geom(m_playlist).y;
    DragPlaylist(awayX, awayY);
    ASSERT_TRUE(WaitForGeometry(m_playlist,
                                [&](const Geometry& g) { return g.x == awayX && g.y == awayY; }));
    m_player.Signal(SIGTERM);
    ASSERT_EQ(m_player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log());
    Start({});
    EXPECT_TRUE(WaitForGeometry(m_playlist,
                                [&](const Geometry& g) { return g.x == awayX && g.y == awayY; }))
        << Geom(m_playlist).x << "," << Geom(m_playlist).y;
}

// Without a window manager nothing else keeps the start-up dialog above the windows that were
// shown before it, or shown and raised while it is open (as when the clip starts). Skipping a
// damaged clip is the controller's (UIControlTransportTest) and the engine's (EngineTest).
TEST_F(PlayerDesktopTest, TheStartUpDialogStaysAboveThePlayerWindows) {
    const std::string clip = Media("clip.wav", 30);
    Start({clip}, true);
    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + clip, 30s)) << ReadFile(Log());
    std::string dialog;
    for (int attempt = 0; attempt < 500 && dialog.empty(); ++attempt) {
        std::stringstream ids(
            XDo("search --onlyvisible --name \"^" + res::LoadString(2701) + "$\""));
        ids >> dialog;
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_FALSE(dialog.empty()) << XDo("search --onlyvisible --name .");
    auto above = [&] {
        const std::vector<std::string> order = StackingOrder();
        auto at = [&](const std::string& id) {
            return std::find(order.begin(), order.end(), id) - order.begin();
        };
        return at(dialog) > at(m_main) && at(dialog) > at(m_playlist) && at(dialog) > at(m_play);
    };
    bool onTop = false;
    for (int attempt = 0; attempt < 100 && !onTop; ++attempt, std::this_thread::sleep_for(50ms))
        onTop = above();
    EXPECT_TRUE(onTop) << "the dialog is under a player window";
}
