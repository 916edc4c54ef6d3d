// A small GIF89a writer: a global colour table, full-size frames with their delays and
// disposal methods, LZW-compressed image data, and the looping extension that makes viewers
// repeat the animation.
#pragma once

#include <cstdint>
#include <vector>

namespace gif {

struct Frame {
    std::vector<std::uint8_t> pixels; // width × height colour indices, top row first
    std::uint16_t delay = 10;         // hundredths of a second
    std::uint8_t disposal = 1;        // 1: keep the frame, 2: back to the background
};

struct Animation {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette; // 0xRRGGBB, 2 to 256 colours
    std::vector<Frame> frames;
    std::uint16_t loops = 0; // 0: forever
};

// LZW data of a GIF image (without the code-size byte and the sub-block framing); every index
// must be below 1 << minCodeSize.
std::vector<std::uint8_t> LzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize);

// The whole file; empty when the animation is not valid (sizes, palette, frame sizes, indices).
std::vector<std::uint8_t> Encode(const Animation& animation);

} // namespace gif
