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
    // From the decoder check, when one ran: the formats of the media engine's list that the
    // installed GStreamer plugins decode, those they do not, and the Debian packages that
    // would add the missing ones.
    std::vector<std::string> playableFormats{};
    std::vector<std::string> missingFormats{};
    std::vector<std::string> packages{};
};

struct DecoderCheck {
    std::vector<std::string> playable;
    std::vector<std::string> missing;
    std::vector<std::string> packages; // each once, in the order of the formats
};

// Looks up every format of the media engine's list in the GStreamer registry.
DecoderCheck CheckMediaDecoders();

// The media formats of the media engine's list for which the GStreamer registry has no
// element (by description, e.g. "MPEG-1 layer 3 audio (MP3)"); empty when all are there or
// GStreamer cannot start (then one entry says so).
std::vector<std::string> MissingMediaDecoders();

// Each engine counts when it was created and is not disabled; the media engine only when no
// decoder is missing.
EngineAvailability GetEngineAvailability(const CEngineManager& manager,
                                         const std::vector<std::string>& missingDecoders);
// The same, carrying the check's lists for the dialog that shows them.
EngineAvailability GetEngineAvailability(const CEngineManager& manager, const DecoderCheck& check);
