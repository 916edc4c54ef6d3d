// Writes short WAV files for the tests that play real media.
#pragma once

#include "tests/support/BmpWriter.h"

#include <cstdint>
#include <fstream>
#include <string>

namespace testsupport {

// A mono 8-bit PCM WAV file of the given length: a RIFF header and a quiet square wave.
inline void WriteWav(const std::string& path, int seconds) {
    constexpr std::uint32_t kRate = 8000;
    const std::uint32_t dataSize = kRate * std::uint32_t(seconds);
    std::string bytes = "RIFF";
    PutLE(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    // Format size, PCM, mono, rate, bytes per second, block align, bits per sample.
    const std::uint32_t values[] = {16, 1, 1, kRate, kRate, 1, 8};
    const int sizes[] = {4, 2, 2, 4, 4, 2, 2};
    for (std::size_t i = 0; i < std::size(sizes); ++i)
        PutLE(bytes, values[i], sizes[i]);
    bytes += "data";
    PutLE(bytes, dataSize, 4);
    for (std::uint32_t i = 0; i < dataSize; ++i)
        bytes += char((i / 20) % 2 ? 0x84 : 0x7C);
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace testsupport
