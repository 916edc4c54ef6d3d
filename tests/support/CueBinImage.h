// Writes small audio-disc images (a CUE sheet and its BIN file of audio sectors) that libcdio
// opens like a disc in a drive.
#pragma once

#include "tests/support/BmpWriter.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// A track: its length in sectors (75 per second) and its tone n, a sine of 220 × n Hz whose
// peak is 3000 × n, so that a sector tells its track (0 is silence).
struct CueTrack {
    int sectors = 300;
    int tone = 0;
};

// Writes folder/<name>.bin (2352-byte sectors of 16-bit stereo at 44.1 kHz) and the CUE sheet
// folder/<name>.cue, whose path it returns.
inline std::string WriteCueBinAudioDisc(const std::string& folder, const std::string& name,
                                        const std::vector<CueTrack>& tracks) {
    std::ofstream bin(folder + "/" + name + ".bin", std::ios::binary);
    std::string cue = "FILE \"" + name + ".bin\" BINARY\n";
    int start = 0;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        char line[128];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n",
                      int(t + 1), start / 75 / 60, start / 75 % 60, start % 75);
        cue += line;
        const double step = 2.0 * 3.14159265358979 * 220.0 * tracks[t].tone / 44100.0;
        for (long s = 0, sample = 0; s < tracks[t].sectors; ++s) {
            std::string sector;
            for (int i = 0; i < 2352 / 4 && tracks[t].tone != 0; ++i, ++sample) {
                const auto v = std::uint16_t(std::int16_t(
                    std::lround(3000.0 * tracks[t].tone * std::sin(step * double(sample)))));
                PutLE(sector, v | std::uint32_t(v) << 16, 4); // both channels
            }
            sector.resize(2352, '\0');
            bin << sector;
        }
        start += tracks[t].sectors;
    }
    std::ofstream(folder + "/" + name + ".cue", std::ios::binary) << cue;
    return folder + "/" + name + ".cue";
}

} // namespace testsupport
