// The foreign playlist reader over M3U, M3U8, PLS and XSPF text; the first byte picks the
// extension, which decides the format as a file's name would.
#include "core/PlaylistImporter.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kNames[] = {"/music/list.m3u", "/music/list.m3u8", "/music/list.pls",
                                         "/music/list.xspf"};
    if (size == 0)
        return 0;
    PlaylistImporter importer;
    if (importer.ReadText(kNames[data[0] % 4], fuzzsupport::AsText(data + 1, size - 1))) {
        for (std::size_t i = 0; i < importer.GetCount(); ++i)
            if (importer.GetPath(i).empty())
                __builtin_trap(); // an entry always names something
    }
    return 0;
}
