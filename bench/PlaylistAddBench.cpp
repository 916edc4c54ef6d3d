// Adding 100,000 files to the playlist window: the time until the rows are there and the
// interface is free again. BM_AddRows/0 adds them without reading titles and lengths in the
// background, BM_AddRows/1 with it; the ratio of the two should be close to 1, since the
// background reading only takes the paths when the files are added.
#include "bench/PlaylistWndWorld.h"
#include "core/AttribClip.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

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
    CPlaylistWndWorld world;
    world.Wnd().SetBackgroundReading(state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        world.Clear();
        AddClips(world.Control());
        state.ResumeTiming();
        world.Submit(CmdAppendRows);
    }
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_AddRows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    return RunOffscreenBenchmarks(argc, argv);
}
