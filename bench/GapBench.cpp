// The gap between two consecutive audio clips: two WAV files of 0.5 s played one after the
// other the way the playback controller hands over (the first's finish report, then the second
// opened and played), without and with the second joined to the first, against one WAV file
// of 1 s holding both, in the same iteration. Both
// go into a fakesink that keeps time, so each run lasts as long as its sound plus whatever the
// hand-over adds; the reported time is that difference, the gap a listener hears.
#include "bench/ReportWnd.h"
#include "platform/QtMessagePump.h"
#include "playback/EngineManager.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using benchsupport::CReportWnd;
using benchsupport::PumpUntil;
using Clock = std::chrono::steady_clock;

std::string g_folder;

// Plays the files in turn, each started once the one before reported its finish; with `join`
// each names the one after it beforehand, as the controller does. Seconds.
double PlayInTurn(CEngineManager& manager, CReportWnd& parent,
                  const std::vector<std::string>& files, bool join) {
    const auto start = Clock::now();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        parent.m_bFinished = false;
        manager.SetNextPath(join && i + 1 < files.size() ? files[i + 1] : std::string());
        manager.SetPath(file);
        manager.Play(true);
        PumpUntil(parent.m_bFinished);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_HandOverGap(benchmark::State& state) {
    platform::CQtMessagePump pump;
    CReportWnd parent;
    CEngineManager manager;
    benchsupport::CreateEngineManager(manager, parent, "*.wav");
    double whole = 0, halves = 0;
    for (auto _ : state) {
        whole = PlayInTurn(manager, parent, {g_folder + "/whole.wav"}, false);
        halves = PlayInTurn(manager, parent, {g_folder + "/a.wav", g_folder + "/b.wav"},
                            state.range(0) != 0);
        state.SetIterationTime(halves - whole);
    }
    state.counters["whole_s"] = whole;
    state.counters["halves_s"] = halves;
}
// /0: each clip in a pipeline of its own; /1: the second joined to the first.
BENCHMARK(BM_HandOverGap)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

bool Make(const std::string& name, int buffers) {
    const std::string command =
        "gst-launch-1.0 -q audiotestsrc num-buffers=" + std::to_string(buffers) +
        " samplesperbuffer=2205 ! audio/x-raw,rate=44100,channels=2 ! "
        "wavenc ! filesink location='" +
        g_folder + "/" + name + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("CORVELLA_AUDIO_SINK", "fakesink sync=true", 0);
    ::setenv("CORVELLA_VIDEO_SINK", "fakesink", 0);
    QApplication app(argc, argv);
    g_folder = std::filesystem::temp_directory_path() / "corvella-bench-gap";
    std::filesystem::create_directories(g_folder);
    // 2205 samples are 50 ms: ten buffers make 0.5 s exactly.
    if (!Make("a.wav", 10) || !Make("b.wav", 10) || !Make("whole.wav", 20))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(g_folder);
    return 0;
}
