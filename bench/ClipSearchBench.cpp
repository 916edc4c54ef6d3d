// Jump to file on a 100,000-row playlist: each keystroke of a typed query, as the search box
// runs it (the first letter scans every row; each further letter narrows the last matches), and
// a fresh search of the whole query as the baseline of the same run.
#include "core/ClipSearch.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kRows = 100000;

std::vector<std::string> MakeRows() {
    std::vector<std::string> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        rows.push_back("Artist " + std::to_string(i % 997) + " - Some Song Title " +
                       std::to_string(i) + "\n/home/user/Music/Artist " + std::to_string(i % 997) +
                       "/Album " + std::to_string(i % 53) + "/Track " + std::to_string(i) +
                       " - Some Song Title.mp3");
    return rows;
}

const std::vector<std::string>& Rows() {
    static const std::vector<std::string> rows = MakeRows();
    return rows;
}

// One keystroke after another: "t", "tr", … "track 4242 album", then the box emptied; the
// items per second are keystrokes per second.
void BM_KeystrokeOnTheWay(benchmark::State& state) {
    const std::string query = "track 4242 album";
    core::CClipSearch search;
    search.SetRows(Rows());
    std::size_t total = 0;
    for (auto _ : state) {
        for (std::size_t n = 1; n <= query.size(); ++n)
            benchmark::DoNotOptimize(search.Find(query.substr(0, n), 200, total));
        search.Find("", 200, total); // the next round starts from an empty box
    }
    state.SetItemsProcessed(std::int64_t(state.iterations() * (query.size() + 1)));
}
BENCHMARK(BM_KeystrokeOnTheWay)->Unit(benchmark::kMillisecond);

// The worst keystroke: a query that shares nothing with the last one scans every row.
void BM_FullScan(benchmark::State& state) {
    core::CClipSearch search;
    search.SetRows(Rows());
    std::size_t total = 0;
    bool flip = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            search.Find(flip ? "album 7 song" : "artist 12 title", 200, total));
        flip = !flip;
    }
}
BENCHMARK(BM_FullScan)->Unit(benchmark::kMillisecond);

// Folding the rows when the box opens (once per opening, not per keystroke).
void BM_SetRows(benchmark::State& state) {
    for (auto _ : state) {
        core::CClipSearch search;
        search.SetRows(Rows());
        benchmark::DoNotOptimize(search.GetRowCount());
    }
}
BENCHMARK(BM_SetRows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
