// Adding 100,000 files to the playlist window: the time until the rows are there and the
// interface is free again. BM_AddRows/0 adds them without reading titles and lengths in the
// background, BM_AddRows/1 with it; the ratio of the two should be close to 1, since the
// background reading only takes the paths when the files are added.
#include "core/AttribClip.h"
#include "core/CorePrefs.h"
#include "platform/MessageQueue.h"
#include "platform/RegisteredMessages.h"
#include "platform/Registry.h"
#include "playback/ControlCommand.h"
#include "playback/UIControl.h"
#include "skin/PlayerApp.h"
#include "skin/PlaylistWnd.h"
#include "skin/SnapWnd.h"
#include "tests/support/ForwardingPlayerApp.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int kFiles = 100000;

void AddClips(CUIControl& control) {
    for (int i = 0; i < kFiles; ++i) {
        auto clip = std::make_unique<CAttribClip>();
        clip->SetPath("/nonexistent/music/album " + std::to_string(i / 12) + "/track " +
                      std::to_string(i) + ".mp3");
        control.GetClipList().Add(std::move(clip));
    }
}

void BM_AddRows(benchmark::State& state) {
    const std::string registry = std::filesystem::temp_directory_path().string() +
                                 "/corvella-bench-" + std::to_string(::getpid());
    platform::CMessageQueue::Instance().Reset();
    CRegistry::Instance().Reset(registry);
    CCorePrefs::ResetToDefaults();
    testsupport::CForwardingPlayerApp app;
    SetPlayerApp(&app);
    {
        CPlaylistWnd wnd;
        wnd.Create(nullptr);
        wnd.SetBackgroundReading(state.range(0) != 0);
        app.m_pTarget = &wnd;
        for (auto _ : state) {
            state.PauseTiming();
            app.SubmitCommand(nullptr, CmdClosing, 0, 0, {});
            app.m_control.ClearPlaylist();
            AddClips(app.m_control);
            state.ResumeTiming();
            app.SubmitCommand(nullptr, CmdAppendRows, 0, 0, {});
        }
        app.SubmitCommand(nullptr, CmdClosing, 0, 0, {});
        app.m_control.ClearPlaylist();
        wnd.DestroyWindow();
    }
    SetPlayerApp(nullptr);
    CSnapWnd::UnregisterAll();
    CRegistry::Instance().Reset();
    platform::CMessageQueue::Instance().Reset();
    std::error_code ec;
    std::filesystem::remove_all(registry, ec);
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_AddRows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
