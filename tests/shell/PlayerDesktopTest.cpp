// The whole program on a private X server (Xvfb), driven through xdotool.
#include "res/BuiltInSkinLayout.h"
#include "res/StringTable.h"
#include "shell/InstanceObjects.h"
#include "shell/PlayerApp.h"
#include "skin/SnapGeometry.h"
#include "tests/playback/MediaFixtures.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/WavWriter.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

using namespace std::chrono_literals;
using shelltest::Poll;
using shelltest::ReadFile;
using shelltest::WaitForText;

namespace {

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    CRect Rect() const { return {x, y, x + width, y + height}; }
};

// The private X server's screen; with no window manager all of it is available.
constexpr int kScreenWidth = 800, kScreenHeight = 600;

// What a shell command prints.
std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

class PlayerDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string xvfb = QStandardPaths::findExecutable("Xvfb").toStdString();
        if (xvfb.empty() || QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        // Xvfb picks a free display number and writes it to the pipe once it accepts clients.
        const bool started = m_xvfb.Start(xvfb,
                                          {"-displayfd", std::to_string(fds[1]), "-screen", "0",
                                           "800x600x24", "-nolisten", "tcp"},
                                          {}, m_home / "xvfb.log");
        ::close(fds[1]);
        std::string number;
        for (char c = 0; started && ::read(fds[0], &c, 1) == 1 && c != '\n';)
            number += c;
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << ReadFile(m_home / "xvfb.log");
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

    std::string Log() const { return m_home / "player.log"; }
    std::string XDo(const std::string& args) const {
        return Output("DISPLAY=" + m_display + " xdotool " + args + " 2>&1");
    }
    std::vector<std::string> Env(bool startupDialogs = false) const {
        std::vector<std::string> env = shelltest::PlayerEnvironment(m_home.Path(), "xcb");
        env.push_back("DISPLAY=" + m_display);
        std::erase_if(env, [&](const std::string& e) {
            return startupDialogs && e.starts_with(shell::kNoStartupDialogsVariable);
        });
        return env;
    }
    void Start(const std::vector<std::string>& files, bool startupDialogs = false) {
        std::vector<std::string> args{"--verbose"};
        args.insert(args.end(), files.begin(), files.end());
        // A restart writes the same log: without the old one, its lines cannot be taken for
        // the new player's before the child has truncated the file.
        std::filesystem::remove(Log());
        ASSERT_TRUE(m_player.Start(shelltest::kProgram, args, Env(startupDialogs), Log()));
        ASSERT_TRUE(WaitForText(Log(), "main window shown", 30s)) << ReadFile(Log());
        // Bounded by time: a loaded machine can take many seconds to map a restart's windows.
        ASSERT_TRUE(Poll([&] { return FindWindows(); }, 45s))
            << XDo("search --class .") << ReadFile(Log());
    }
    // The player's windows (the main one by its width); true when main and playlist are found.
    bool FindWindows() {
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
        return !m_main.empty() && !m_playlist.empty();
    }
    Geometry Geom(const std::string& window) const {
        Geometry g;
        std::sscanf(XDo("getwindowgeometry --shell " + window).c_str(),
                    "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &g.x, &g.y, &g.width, &g.height);
        return g;
    }
    template <typename Check> bool WaitForGeometry(const std::string& window, Check check) {
        return Poll([&] { return check(Geom(window)); });
    }
    bool At(const std::string& window, int x, int y) {
        return WaitForGeometry(window, [&](const Geometry& g) { return g.x == x && g.y == y; });
    }
    // Clicks the centre of a main window control of the built-in layout.
    void ClickMain(const std::string& control) {
        for (const builtin::ControlLine& line : builtin::kMainControls)
            if (line.pszName == control)
                XDo("mousemove --window " + m_main + " " +
                    std::to_string(line.n[0] + line.n[2] / 2) + " " +
                    std::to_string(line.n[1] + line.n[3] / 2) +
                    " sleep 0.2 mousedown 1 sleep 0.1 mouseup 1");
    }
    // Drags the playlist by its title bar so that its top-left lands at (x, y).
    void DragPlaylist(int x, int y) {
        const Geometry from = Geom(m_playlist);
        auto point = [](int px, int py) {
            return " mousemove " + std::to_string(px + 60) + " " + std::to_string(py + 6);
        };
        XDo(point(from.x, from.y) + " mousedown 1 sleep 0.1" +
            point((from.x + x) / 2, (from.y + y) / 2) + " sleep 0.1" + point(x, y) +
            " sleep 0.1 mouseup 1");
    }
    // Waits until a screenshot passes check, which reads pixels as 0xRRGGBB through at(x, y).
    template <typename Check> bool WaitForScreen(Check check) const {
        return Poll(
            [&] {
                const std::string ppm = Output("xwd -root -silent -display " + m_display +
                                               " | xwdtopnm 2>/dev/null | pnmdepth 255");
                int width = 0, height = 0, maxValue = 0, start = 0;
                auto at = [&](int x, int y) {
                    const auto* p = reinterpret_cast<const unsigned char*>(ppm.data()) + start +
                                    (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
                    return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
                };
                return std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &width, &height, &maxValue,
                                   &start) == 3 &&
                       maxValue == 255 && width >= kScreenWidth &&
                       ppm.size() >= std::size_t(++start + width * height * 3) && check(at);
            },
            15s);
    }

    testsupport::ScratchFolder m_home;
    testsupport::CChildProcess m_xvfb, m_player;
    std::string m_display, m_main, m_playlist, m_play;
};

} // namespace

// Without a window manager nothing else keeps the start-up dialog above the player's windows.
TEST_F(PlayerDesktopTest, AVideoOpenedAtTheFirstStartGrowsThePlayWindowWhereItWasPlaced) {
    ASSERT_TRUE(mediatest::CMediaFolder::Instance().Ok());
    Start({mediatest::CMediaFolder::Instance() / "clip.avi"}, true);
    ASSERT_FALSE(m_play.empty());
    // The 320-pixel picture at its own size makes the window wider than its first size.
    ASSERT_TRUE(WaitForGeometry(m_play, [](const Geometry& g) { return g.width > 320; }))
        << ReadFile(Log());
    const CRect main = Geom(m_main).Rect();
    const CRect play = Geom(m_play).Rect();
    EXPECT_EQ(play.left, main.right);
    EXPECT_EQ(play.top, main.top);
    EXPECT_TRUE(CRect::Intersect(Geom(m_playlist).Rect(), play).IsRectEmpty());

    std::string dialog;
    ASSERT_TRUE(Poll([&] {
        std::stringstream(XDo("search --onlyvisible --name \"^" + res::LoadString(2701) + "$\"")) >>
            dialog;
        return !dialog.empty();
    })) << XDo("search --onlyvisible --name .");
    EXPECT_TRUE(Poll([&] {
        std::vector<std::string> order; // xwininfo lists the top of the stack first
        std::stringstream lines(Output("xwininfo -root -children -display " + m_display));
        for (std::string line; std::getline(lines, line);)
            if (unsigned long id = 0; std::sscanf(line.c_str(), " 0x%lx", &id) == 1)
                order.push_back(std::to_string(id));
        auto at = [&](const std::string& id) { return std::find(order.begin(), order.end(), id); };
        return at(dialog) < at(m_main) && at(dialog) < at(m_playlist) && at(dialog) < at(m_play);
    })) << "the dialog is under a player window";
}

// The first start docks the windows mid-screen; shading pulls the docked playlist along; -x
// leaves one row drawn; the playlist snaps, and comes back where it was dragged after a restart.
TEST_F(PlayerDesktopTest, ASecondStartThatReplacesAndThePlaylistPlaceAfterARestart) {
    std::vector<std::string> clips;
    for (const char* name : {"first.wav", "second.wav", "third.wav"}) {
        clips.push_back(m_home / name);
        testsupport::WriteWav(clips.back(), 30);
    }
    Start({clips[0], clips[1]});
    ASSERT_FALSE(m_play.empty());
    const Geometry main = Geom(m_main);
    const Geometry docked = Geom(m_playlist);
    const CRect rects[] = {main.Rect(), docked.Rect(), Geom(m_play).Rect()};
    for (const auto& [a, b] : {std::pair(0, 1), std::pair(0, 2), std::pair(1, 2)})
        EXPECT_TRUE(CRect::Intersect(rects[a], rects[b]).IsRectEmpty()) << a << b;
    // Docked: the playlist below the main window, the play window against one of them.
    ASSERT_EQ(docked.y, main.y + main.height) << "the playlist starts docked below";
    EXPECT_TRUE(snap::Touches(rects[0], rects[2]) || snap::Touches(rects[1], rects[2]));
    CRect all = rects[0];
    for (const CRect& r : rects)
        all = {std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
               std::max(all.bottom, r.bottom)};
    EXPECT_NEAR((all.left + all.right) / 2, kScreenWidth / 2, 2);
    EXPECT_NEAR((all.top + all.bottom) / 2, kScreenHeight / 2, 2);

    ClickMain("button Shade Mode");
    ASSERT_TRUE(WaitForGeometry(
        m_main, [](const Geometry& g) { return g.height == builtin::kShadeHeight; }));
    EXPECT_TRUE(At(m_playlist, docked.x, docked.y - (main.height - builtin::kShadeHeight)))
        << Geom(m_playlist).y;
    ClickMain("button Expand Mode");
    ASSERT_TRUE(
        WaitForGeometry(m_main, [&](const Geometry& g) { return g.height == main.height; }));
    EXPECT_TRUE(At(m_playlist, docked.x, docked.y)) << Geom(m_playlist).y;

    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + clips[0], 30s)) << ReadFile(Log());
    // The play window says "Audio Only" in white while the clip plays: it is not left black.
    const Geometry play = Geom(m_play);
    EXPECT_TRUE(WaitForScreen([&](auto at) {
        for (int y = play.y + 20; y < play.y + play.height - 30; ++y)
            for (int x = play.x + 8; x < play.x + play.width - 8; ++x)
                if (at(x, y) == 0xFFFFFF)
                    return true;
        return false;
    })) << "the play window is black";

    testsupport::CChildProcess again;
    ASSERT_TRUE(again.Start(shelltest::kProgram, {"-x", clips[2]}, Env(), m_home / "again.log"));
    EXPECT_EQ(again.WaitExit(30s), std::optional<int>(0));
    ASSERT_TRUE(WaitForText(Log(), "play state: playing (" + clips[2], 30s)) << ReadFile(Log());
    // Below the one row the list shows its bare background: the rows of before are gone.
    const Geometry list = Geom(m_playlist);
    EXPECT_TRUE(WaitForScreen([&](auto at) {
        const std::uint32_t background = at(list.x + 11, list.y + list.height - 29);
        for (int y = list.y + 19 + 17; y < list.y + list.height - 29; ++y)
            for (int x = list.x + 11; x < list.x + list.width - 26; ++x)
                if (at(x, y) != background)
                    return false;
        return true;
    })) << "old rows are still drawn below the first";

    const int awayX = main.x + 200, awayY = main.y + main.height + 150;
    DragPlaylist(awayX, awayY);
    ASSERT_TRUE(At(m_playlist, awayX, awayY))
        << "the playlist did not follow the drag: " << Geom(m_playlist).x << ","
        << Geom(m_playlist).y;
    // Back to 6 pixels right of and 7 below the docked place: it snaps flush below.
    DragPlaylist(main.x + 6, main.y + main.height + 7);
    EXPECT_TRUE(At(m_playlist, main.x, main.y + main.height))
        << Geom(m_playlist).x << "," << Geom(m_playlist).y;
    DragPlaylist(awayX, awayY);
    ASSERT_TRUE(At(m_playlist, awayX, awayY));
    m_player.Signal(SIGTERM);
    ASSERT_EQ(m_player.WaitExit(60s), std::optional<int>(0)) << ReadFile(Log());
    Start({});
    EXPECT_TRUE(At(m_playlist, awayX, awayY)) << Geom(m_playlist).x << "," << Geom(m_playlist).y;
}
