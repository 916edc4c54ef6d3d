// Playlist speed and memory: save and load of a 100,000-clip native playlist, import of a
// 100,000-entry extended M3U whose files exist (plain relative paths, and the same list as
// other programs write it: option lines and percent-encoded file URIs; compare the two), and
// AddFiles of 10,000 media files.
#include "core/AttribClip.h"
#include "core/ObjListClip.h"
#include "core/PlaylistFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kClips = 100000;
constexpr int kPerFolder = 1000;

std::string ClipPath(const std::string& root, int i) {
    return root + "/Artist " + std::to_string(i / kPerFolder) + "/Track " + std::to_string(i) +
           " - Some Song Title.mp3";
}

// "file://" + path with blanks percent-encoded.
std::string FileUri(const std::string& path) {
    std::string uri = "file://";
    for (char c : path)
        uri += c == ' ' ? std::string("%20") : std::string(1, c);
    return uri;
}

// A folder of 100,000 small media files in 100 subfolders, an extended M3U naming them all with
// relative paths, the same list as other programs write it, and a native playlist of the same
// clips; made once, removed at exit.
struct Corpus {
    std::string root;
    std::string m3u;
    std::string foreignM3u;
    std::string mpl;
    std::vector<std::string> paths;

    Corpus() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "corvella-bench-XXXXXX").string();
        root = ::mkdtemp(tmpl.data());
        std::string text = "#EXTM3U\n";
        std::string foreign = "#EXTM3U\n#PLAYLIST:All\n";
        for (int i = 0; i < kClips; ++i) {
            if (i % kPerFolder == 0)
                std::filesystem::create_directory(root + "/Artist " +
                                                  std::to_string(i / kPerFolder));
            paths.push_back(ClipPath(root, i));
            const int fd = ::open(paths.back().c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd >= 0) {
                (void)!::write(fd, "ID3", 3);
                ::close(fd);
            }
            text += "#EXTINF:" + std::to_string(180 + i % 120) + ",Some Song Title " +
                    std::to_string(i) + "\n" + paths.back().substr(root.size() + 1) + "\n";
            foreign += "#EXTINF:" + std::to_string(180 + i % 120) + ",Some Song Title " +
                       std::to_string(i) + "\n#EXTVLCOPT:network-caching=1000\n" +
                       FileUri(paths.back()) + "\n";
        }
        foreignM3u = root + "/foreign.m3u8";
        std::ofstream(foreignM3u, std::ios::binary) << foreign;
        m3u = root + "/all.m3u";
        std::ofstream(m3u, std::ios::binary) << text;
        mpl = root + "/all.mpl";
        CObjListClip list;
        core::ImportPlaylist(list, m3u, nullptr);
        core::SavePlaylist(list, mpl, nullptr);
    }
    ~Corpus() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

Corpus& TheCorpus() {
    static Corpus corpus;
    return corpus;
}

void BM_SavePlaylist100k(benchmark::State& state) {
    Corpus& c = TheCorpus();
    CObjListClip list;
    core::LoadPlaylist(list, c.mpl, nullptr);
    const std::string out = c.root + "/saved.mpl";
    for (auto _ : state)
        benchmark::DoNotOptimize(core::SavePlaylist(list, out, nullptr));
    state.counters["clips"] = double(list.GetCount());
    state.counters["MiB"] = double(std::filesystem::file_size(out)) / (1 << 20);
}

void BM_LoadPlaylist100k(benchmark::State& state) {
    Corpus& c = TheCorpus();
    std::size_t count = 0;
    for (auto _ : state) {
        CObjListClip list;
        core::LoadPlaylist(list, c.mpl, nullptr);
        count = list.GetCount();
    }
    state.counters["clips"] = double(count);
}

void ImportM3u100k(benchmark::State& state, const std::string& file) {
    std::size_t count = 0, loaded = 0, heap = 0;
    for (auto _ : state) {
        const std::size_t before = ::mallinfo2().uordblks;
        auto list = std::make_unique<CObjListClip>();
        core::ImportPlaylist(*list, file, nullptr);
        state.PauseTiming();
        heap = ::mallinfo2().uordblks - before;
        count = list->GetCount();
        loaded = 0;
        for (std::size_t i = 0; i < count; ++i)
            loaded += std::size_t(list->GetAt(i)->GetInfoLoaded());
        list.reset();
        state.ResumeTiming();
    }
    state.counters["clips"] = double(count);
    state.counters["withInfo"] = double(loaded);
    state.counters["heapMiB"] = double(heap) / (1 << 20);
    state.counters["bytesPerClip"] = count ? double(heap) / double(count) : 0.0;
}

void BM_ImportM3u100k(benchmark::State& state) {
    ImportM3u100k(state, TheCorpus().m3u);
}

void BM_ImportForeignM3u100k(benchmark::State& state) {
    ImportM3u100k(state, TheCorpus().foreignM3u);
}

void BM_AddFiles10k(benchmark::State& state) {
    Corpus& c = TheCorpus();
    const std::vector<std::string> paths(c.paths.begin(), c.paths.begin() + 10000);
    std::size_t count = 0;
    for (auto _ : state) {
        CObjListClip list;
        count = core::AddFiles(list, paths, false, nullptr, nullptr).added.size();
    }
    state.counters["clips"] = double(count);
}

} // namespace

BENCHMARK(BM_SavePlaylist100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlaylist100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportM3u100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportForeignM3u100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddFiles10k)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
