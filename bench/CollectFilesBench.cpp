// Command-line file collection over a tree of 50,000 files (20 folders of 10 subfolders with
// 250 files each, half of them media files), measured against a bare recursive listing of
// the same tree.
#include "core/CommandLineCollector.h"
#include "core/MediaTypes.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string& Tree() {
    static const std::string root = [] {
        std::string tmpl = (fs::temp_directory_path() / "corvella-bench-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            std::abort();
        for (int top = 0; top < 20; ++top) {
            for (int sub = 0; sub < 10; ++sub) {
                const std::string folder =
                    tmpl + "/t" + std::to_string(top) + "/s" + std::to_string(sub);
                fs::create_directories(folder);
                for (int f = 0; f < 250; ++f) {
                    const std::string name =
                        folder + "/f" + std::to_string(f) + (f % 2 ? ".mp3" : ".jpeg");
                    if (std::FILE* file = std::fopen(name.c_str(), "w"))
                        std::fclose(file);
                }
            }
        }
        std::atexit([] { fs::remove_all(Tree()); });
        return tmpl;
    }();
    return root;
}

void Collect(benchmark::State& state, const std::string& options) {
    const std::string commandLine = "-x -s 10 -l 500 " + options + " " + Tree();
    const core::CommandLineOptions parsed = core::ParseCommandLine(commandLine);
    core::CCommandLineCollector collector(core::BuildOpenFilter());
    const std::string start = fs::current_path().string();
    std::size_t collected = 0;
    for (auto _ : state) {
        collected = collector.Collect(parsed).size();
        fs::current_path(start);
    }
    state.counters["files"] = double(collected);
}

void BM_CollectDefaultLimits(benchmark::State& state) {
    Collect(state, "-s 10 -l 500");
}
void BM_CollectWholeTree(benchmark::State& state) {
    Collect(state, "-l 100000");
}

// Baseline: walking the same tree and looking at every entry's type, nothing more.
void BM_BaselineRecursiveListing(benchmark::State& state) {
    std::size_t files = 0;
    for (auto _ : state) {
        files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(Tree()))
            files += entry.is_regular_file() ? 1 : 0;
    }
    state.counters["files"] = double(files);
}

} // namespace

BENCHMARK(BM_CollectDefaultLimits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollectWholeTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineRecursiveListing)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
