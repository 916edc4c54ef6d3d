#include "tests/support/CueBinImage.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace testsupport {

std::string WriteCueBinAudioDisc(const std::string& folder, const std::string& name, int trackCount,
                                 int sectorsPerTrack) {
    constexpr int kSectorBytes = 2352;
    constexpr int kSectorsPerSecond = 75;
    const std::string bin = name + ".bin";
    {
        std::ofstream out(folder + "/" + bin, std::ios::binary);
        const std::string sector(kSectorBytes, '\0');
        for (int i = 0; i < trackCount * sectorsPerTrack; ++i)
            out << sector;
    }
    std::string cue = "FILE \"" + bin + "\" BINARY\n";
    for (int t = 1; t <= trackCount; ++t) {
        const int start = (t - 1) * sectorsPerTrack;
        char line[128];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n", t,
                      start / kSectorsPerSecond / 60, start / kSectorsPerSecond % 60,
                      start % kSectorsPerSecond);
        cue += line;
    }
    const std::string cuePath = folder + "/" + name + ".cue";
    std::ofstream(cuePath, std::ios::binary) << cue;
    return cuePath;
}

} // namespace testsupport
