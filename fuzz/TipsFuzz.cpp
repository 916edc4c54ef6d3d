// The tips file, read round more than once as the tip dialog does.
#include "fuzz/FuzzSupport.h"
#include "shell/TipsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path =
        fuzzsupport::WriteScratchFile("Tips.txt", fuzzsupport::AsText(data, size));
    CTipsFile tips;
    if (!tips.Open(path))
        return 0;
    for (int i = 0; i < 64; ++i) {
        const auto tip = tips.NextTip();
        if (!tip || tip->empty())
            break;
        if (tip->size() > CTipsFile::kMaxLine + 1)
            __builtin_trap(); // longer lines are cut
    }
    // The dialog stores the position and seeks back to it at the next start.
    const std::int64_t position = tips.Position();
    if (tips.Seek(position))
        (void)tips.NextTip();
    return 0;
}
