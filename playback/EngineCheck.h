// What the start-up engine check needs to know: which engines count as installed. The media
// engine counts only when GStreamer also has the demuxers and decoders for its file types.
#pragma once

#include <string>
#include <vector>

class CEngineManager;

struct EngineAvailability {
    bool allInstalled = false; // the media, QuickTime and RealMedia engines all work
    bool windowsMedia = false;
    bool quickTime = false;
    bool realMedia = false;
};

// The media formats of the media engine's list for which the GStreamer registry has no
// element (by description, e.g. "MPEG-1 layer 3 audio (MP3)"); empty when all are there or
// GStreamer cannot start (then one entry says so).
std::vector<std::string> MissingMediaDecoders();

// Each engine counts when it was created and is not disabled; the media engine only when no
// decoder is missing.
EngineAvailability GetEngineAvailability(const CEngineManager& manager,
                                         const std::vector<std::string>& missingDecoders);
