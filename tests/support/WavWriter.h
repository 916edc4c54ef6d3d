// Writes short WAV files for the tests that play real media.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace testsupport {

// A mono 8-bit PCM WAV file of the given length: a RIFF header and a quiet square wave.
inline void WriteWav(const std::string& path, int seconds) {
    constexpr std::uint32_t kRate = 8000;
    const std::uint32_t dataSize = kRate * std::uint32_t(seconds);
    std::string bytes = "RIFF";
    auto put32 = [&bytes](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes += char((v >> (8 * i)) & 0xFF);
    };
    auto put16 = [&bytes](std::uint16_t v) {
        bytes += char(v & 0xFF);
        bytes += char(v >> 8);
    };
    put32(36 + dataSize);
    bytes += "WAVEfmt ";
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kRate);
    put32(kRate); // bytes per second
    put16(1);     // block align
    put16(8);     // bits per sample
    bytes += "data";
    put32(dataSize);
    for (std::uint32_t i = 0; i < dataSize; ++i)
        bytes += char((i / 20) % 2 ? 0x84 : 0x7C);
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace testsupport
