// Time from the engine manager's Run to its opened report for a local MP3, through the real
// GStreamer media engine (sinks replaced by fakesink so no sound card is needed).
#include "bench/ReportWnd.h"
#include "platform/MessageQueue.h"
#include "platform/QtMessagePump.h"
#include "platform/RegisteredMessages.h"
#include "playback/EngineManager.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using benchsupport::CReportWnd;
using benchsupport::PumpUntil;

std::string g_mp3;

void BM_RunToOpened(benchmark::State& state) {
    platform::CQtMessagePump pump;
    CReportWnd parent;
    CEngineManager manager;
    benchsupport::CreateEngineManager(manager, parent, "*.mp3");
    manager.SetPath(g_mp3);
    for (auto _ : state) {
        parent.m_bOpened = parent.m_bFinished = false;
        manager.Play(true);
        PumpUntil(parent.m_bOpened);
        state.PauseTiming();
        manager.Stop();
        PumpUntil(parent.m_bFinished);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RunToOpened)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("CORVELLA_AUDIO_SINK", "fakesink", 0);
    ::setenv("CORVELLA_VIDEO_SINK", "fakesink", 0);
    QApplication app(argc, argv);
    const std::string folder = std::filesystem::temp_directory_path() / "corvella-bench-open";
    std::filesystem::create_directories(folder);
    g_mp3 = folder + "/tone.mp3";
    const std::string make = "gst-launch-1.0 -q audiotestsrc num-buffers=200 ! audioconvert ! "
                             "lamemp3enc ! filesink location='" +
                             g_mp3 + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0)
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return 0;
}
