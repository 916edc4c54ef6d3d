#include "tests/support/CueBinImage.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace testsupport {

namespace {

constexpr int kSectorBytes = 2352;
constexpr int kSamplesPerSector = kSectorBytes / 4; // stereo, 16 bits
constexpr int kSectorsPerSecond = 75;
constexpr double kRate = 44100.0;

void WriteTrack(std::ofstream& out, const CueTrack& track) {
    std::string sector(kSectorBytes, '\0');
    const double step = 2.0 * 3.14159265358979 * 220.0 * track.tone / kRate;
    long sample = 0;
    for (int s = 0; s < track.sectors; ++s) {
        for (int i = 0; i < kSamplesPerSector && track.tone != 0; ++i, ++sample) {
            const auto v = std::uint16_t(
                std::int16_t(std::lround(3000.0 * track.tone * std::sin(step * double(sample)))));
            for (int channel = 0; channel < 2; ++channel) {
                sector[std::size_t(i * 4 + channel * 2)] = char(v & 0xFF);
                sector[std::size_t(i * 4 + channel * 2 + 1)] = char(v >> 8);
            }
        }
        out.write(sector.data(), kSectorBytes);
    }
}

} // namespace

std::string WriteCueBinAudioDisc(const std::string& folder, const std::string& name,
                                 const std::vector<CueTrack>& tracks) {
    const std::string bin = name + ".bin";
    std::ofstream out(folder + "/" + bin, std::ios::binary);
    std::string cue = "FILE \"" + bin + "\" BINARY\n";
    int start = 0;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        char line[128];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n",
                      int(t + 1), start / kSectorsPerSecond / 60, start / kSectorsPerSecond % 60,
                      start % kSectorsPerSecond);
        cue += line;
        WriteTrack(out, tracks[t]);
        start += tracks[t].sectors;
    }
    const std::string cuePath = folder + "/" + name + ".cue";
    std::ofstream(cuePath, std::ios::binary) << cue;
    return cuePath;
}

std::string WriteCueBinAudioDisc(const std::string& folder, const std::string& name, int trackCount,
                                 int sectorsPerTrack) {
    return WriteCueBinAudioDisc(
        folder, name, std::vector<CueTrack>(std::size_t(trackCount), {sectorsPerTrack, 0}));
}

} // namespace testsupport
