// Writes a small audio-disc image (a CUE sheet and its BIN file of silent audio sectors)
// that libcdio opens like a disc in a drive.
#pragma once

#include <string>

namespace testsupport {

// Writes folder/<name>.bin and folder/<name>.cue with the given number of audio tracks, each
// sectorsPerTrack sectors of 2352 bytes long. Returns the path of the CUE sheet.
std::string WriteCueBinAudioDisc(const std::string& folder, const std::string& name, int trackCount,
                                 int sectorsPerTrack = 300);

} // namespace testsupport
