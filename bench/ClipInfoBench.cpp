// Reading the titles and lengths of added files in the background until the last one is in.
// BM_TagLibFloor/N reads N real tagged MP3 files with TagLib in a plain loop on one thread;
// BM_Settle/N adds the same files to the playlist window and runs its message loop until
// every row has its title and length. The goal is a settle time within 1.5 times the floor
// divided by the number of workers (the counter "vs_floor_per_worker"); the counter "rss_mib"
// is the resident memory once the entries have settled. On a machine busy with other work the
// wall times say little; "cpu_ms" (every thread of the process) and "cpu_vs_floor" compare the
// work done.
//
// The files are copies of one generated one-second MP3 with an artist and a title, made once
// in $TMPDIR/corvella-bench-tagged/ (about 4 KiB each) and kept there for later runs.
#include "bench/PlaylistWndWorld.h"
#include "core/AttribClip.h"
#include "platform/QtMessagePump.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Folder() {
    return (fs::temp_directory_path() / "corvella-bench-tagged").string();
}

// The first `count` file paths, made when missing.
std::vector<std::string> TaggedFiles(int count) {
    const std::string folder = Folder();
    const std::string model = folder + "/model.mp3";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::exists(model)) {
        const std::string command =
            "gst-launch-1.0 -q audiotestsrc num-buffers=22 samplesperbuffer=1000 ! "
            "audio/x-raw,rate=22050,channels=1 ! audioconvert ! lamemp3enc target=bitrate "
            "bitrate=32 ! xingmux ! taginject 'tags=\"artist=\\\"Bench Band\\\",title=\\\"Bench "
            "Song\\\"\"' "
            "! id3v2mux ! filesink location='" +
            model + ".part' && mv '" + model + ".part' '" + model + "'";
        if (std::system(command.c_str()) != 0)
            return {};
    }
    std::vector<std::string> paths;
    paths.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        std::string path =
            folder + "/" + std::to_string(i / 1000) + "/song" + std::to_string(i) + ".mp3";
        if (!fs::exists(path)) {
            fs::create_directories(fs::path(path).parent_path(), ec);
            fs::copy_file(model, path, ec);
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

// Processor time of the whole process, every thread, in seconds.
double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return 0;
}

std::map<int, double> g_floorSeconds; // by file count, for the ratios
std::map<int, double> g_floorCpuSeconds;

void BM_TagLibFloor(benchmark::State& state) {
    const std::vector<std::string> paths = TaggedFiles(int(state.range(0)));
    if (paths.empty())
        return state.SkipWithError("could not make the tagged files");
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessCpuSeconds();
        std::size_t named = 0;
        for (const std::string& path : paths) {
            TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Average);
            if (!file.isNull() && file.tag() && file.audioProperties() &&
                file.audioProperties()->lengthInMilliseconds() > 0 &&
                !file.tag()->title().isEmpty())
                ++named;
        }
        if (named != paths.size())
            return state.SkipWithError("TagLib read fewer files than there are");
        g_floorSeconds[int(state.range(0))] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        g_floorCpuSeconds[int(state.range(0))] = ProcessCpuSeconds() - cpuStart;
        state.counters["cpu_ms"] = g_floorCpuSeconds[int(state.range(0))] * 1000;
    }
}

bool Settled(CUIControl& control) {
    const CObjListClip& list = control.GetClipList();
    for (std::size_t i = list.GetCount(); i-- > 0;)
        if (list.GetAt(i)->GetDuration() <= 0 || list.GetAt(i)->GetTitle().empty())
            return false;
    return true;
}

void BM_Settle(benchmark::State& state) {
    const int count = int(state.range(0));
    std::vector<std::string> paths = TaggedFiles(count);
    if (paths.empty())
        return state.SkipWithError("could not make the tagged files");
    CPlaylistWndWorld world;
    platform::CQtMessagePump pump;
    double seconds = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        world.Clear();
        for (const std::string& path : paths) {
            auto clip = std::make_unique<CAttribClip>();
            clip->SetPath(path);
            world.Control().GetClipList().Add(std::move(clip));
        }
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessCpuSeconds();
        world.Submit(CmdAppendRows);
        // Settled looks from the last row back, so checking an unsettled list is cheap.
        while (!Settled(world.Control()))
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        cpuSeconds = ProcessCpuSeconds() - cpuStart;
    }
    // The benchmark's own list of paths is not the player's memory: it goes before the
    // measure, and so does the heap it leaves. Idle readers give back what they freed a second
    // after the last file.
    std::vector<std::string>().swap(paths);
    malloc_trim(0);
    const auto idle = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < idle)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    state.counters["rss_mib"] = ResidentMiB();
    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    state.counters["workers"] = workers;
    state.counters["cpu_ms"] = cpuSeconds * 1000;
    if (const double floor = g_floorSeconds[count]; floor > 0)
        state.counters["vs_floor_per_worker"] = seconds / (floor / workers);
    if (const double floor = g_floorCpuSeconds[count]; floor > 0)
        state.counters["cpu_vs_floor"] = cpuSeconds / floor;
}

BENCHMARK(BM_TagLibFloor)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Settle)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    return RunOffscreenBenchmarks(argc, argv);
}
