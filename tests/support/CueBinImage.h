// Writes small audio-disc images (a CUE sheet and its BIN file of audio sectors) that libcdio
// opens like a disc in a drive.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// One track of an image: its length in sectors (75 per second) and the tone it holds. A track
// of tone n is a sine of 220 × n Hz whose peak is 3000 × n, so a sector tells its track; tone
// 0 is silence.
struct CueTrack {
    int sectors = 300;
    int tone = 0;
};

// Writes folder/<name>.bin and folder/<name>.cue with the tracks in order. Returns the path of
// the CUE sheet.
std::string WriteCueBinAudioDisc(const std::string& folder, const std::string& name,
                                 const std::vector<CueTrack>& tracks);

// trackCount silent tracks of sectorsPerTrack sectors each.
std::string WriteCueBinAudioDisc(const std::string& folder, const std::string& name, int trackCount,
                                 int sectorsPerTrack = 300);

} // namespace testsupport
