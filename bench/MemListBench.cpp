// Drawing the playlist's list control: the cost follows the rows on screen, not the rows in
// the list. Compare BM_DrawList/10 (one page) with BM_DrawList/100000; the ratio should be
// close to 1.
//
// A hostile playlist costs what a normal one does: BM_ImportAndDrawM3u/1 imports an M3U whose
// one entry has a 10 MB title line and draws the row; BM_ImportAndDrawM3u/0, the baseline, does
// the same with a one-line title. title_bytes (what the list keeps of the title) should be the
// same; the time differs only by one pass over the file's bytes, the drawing costs the same.
#include "core/AttribClip.h"
#include "core/PlaylistFile.h"
#include "platform/DC.h"
#include "skin/MemList.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
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

// The two playlists, written once beside each other and removed at exit.
struct HostileLists {
    std::string folder;
    std::string lists[2];
    HostileLists() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "corvella-bench-XXXXXX").string();
        folder = ::mkdtemp(tmpl.data());
        const std::string titles[2] = {"Artist - Title", std::string(10u << 20, 't')};
        for (int i = 0; i < 2; ++i) {
            lists[i] = folder + "/list" + std::to_string(i) + ".m3u";
            std::ofstream(lists[i]) << "#EXTM3U\n#EXTINF:225," << titles[i] << "\nclip.mp3\n";
        }
    }
    ~HostileLists() { std::filesystem::remove_all(folder); }
};

void BM_ImportAndDrawM3u(benchmark::State& state) {
    static const HostileLists files;
    const std::string& path = files.lists[state.range(0)];
    CMemList list;
    list.Create(nullptr, 1, 0, 0, 300, 160, nullptr, RGB(0, 0, 0), RGB(0, 0, 128), RGB(0, 255, 0),
                RGB(255, 255, 255));
    list.AddColumn(0, CMemList::ALIGN_LEFT, 300);
    CDC dc;
    dc.CreateBlank(300, 160);
    int item = 0;
    std::size_t held = 0;
    for (auto _ : state) {
        CObjListClip clips;
        core::ImportPlaylist(clips, path, nullptr);
        held = clips.GetAt(0)->GetTitle().capacity();
        list.DeleteAllRows();
        list.SetText(list.AppendRow(&item), 0, clips.GetAt(0)->GetTitle());
        list.Draw(dc);
    }
    state.counters["title_bytes"] = double(held);
}
BENCHMARK(BM_ImportAndDrawM3u)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
