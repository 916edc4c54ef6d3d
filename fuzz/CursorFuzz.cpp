// The cursor reader: static ".cur"/".ico" files and animated RIFF ".ani" files.
#include "skin/SkinCursor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto cursor = ParseCursorData(data, size);
    if (!cursor)
        return 0;
    // Every step shows a frame that exists, with as many pixels as its size says.
    for (std::size_t i = 0; i < cursor->GetStepCount(); ++i) {
        const CursorFrame& frame = cursor->GetStepFrame(i);
        if (frame.pixels.size() != std::size_t(frame.nWidth) * std::size_t(frame.nHeight))
            __builtin_trap();
    }
    return 0;
}
