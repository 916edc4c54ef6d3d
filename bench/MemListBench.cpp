// Drawing the playlist's list control: the cost follows the rows on screen, not the rows in
// the list. Compare BM_DrawList/10 (one page) with BM_DrawList/100000; the ratio should be
// close to 1.
#include "platform/DC.h"
#include "skin/MemList.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void BM_DrawList(benchmark::State& state) {
    const int rows = int(state.range(0));
    std::vector<int> items(static_cast<std::size_t>(rows));
    CMemList list;
    list.Create(nullptr, 1, 0, 0, 300, 160, nullptr, RGB(0, 0, 0), RGB(0, 0, 128), RGB(0, 255, 0),
                RGB(255, 255, 255));
    list.AddColumn(0, CMemList::ALIGN_LEFT, 240);
    list.AddColumn(1, CMemList::ALIGN_RIGHT, 60);
    list.SetShowNumbers(true);
    for (int i = 0; i < rows; ++i) {
        const int r = list.AppendRow(&items[std::size_t(i)]);
        list.SetText(r, 0, "Artist - Title of clip " + std::to_string(i));
        list.SetText(r, 1, "3:45");
    }
    list.SetTopRow(rows / 2);
    list.SetCursorRow(rows / 2 + 1);
    CDC dc;
    dc.CreateBlank(300, 160);
    for (auto _ : state)
        list.Draw(dc);
    state.counters["rows"] = rows;
}
BENCHMARK(BM_DrawList)->Arg(10)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
