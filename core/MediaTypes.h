// The media kinds as pattern lists of the string table, the open-file filter built from them,
// and the texts shown when no disc clips are found.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace core {

// String-table ids of the pattern lists. Their texts are used as they stand, irregular
// separators included ("*.mpa*.mp2", a trailing ';').
enum PatternListId : std::uint32_t {
    IDS_PATTERNS_REALMEDIA = 107,
    IDS_PATTERNS_WINDOWSMEDIA = 108,
    IDS_PATTERNS_PLAYLIST = 109,
    IDS_PATTERNS_CDAUDIO = 118,
    IDS_PATTERNS_QUICKTIME = 121,
    IDS_PATTERNS_IMAGE = 125,
    IDS_PATTERNS_AUDIO = 131,
    IDS_PATTERNS_VIDEO = 132,
};

// Audio and video types the media engine decodes beyond those the string table lists; they
// join the audio and video groups and the all-supported list.
inline constexpr const char* kAddedAudioPatterns =
    "*.ogg;*.oga;*.opus;*.spx;*.flac;*.m4a;*.aac;*.mka;*.wv;*.ape;*.mpc;*.ac3;*.aiff";
inline constexpr const char* kAddedVideoPatterns =
    "*.mp4;*.m4v;*.mkv;*.webm;*.ogv;*.3gp;*.ts;*.m2ts;*.mts;*.flv;*.vob";

// The patterns of the audio (131) and video (132) groups with the added types.
std::string AudioPatterns();
std::string VideoPatterns();

// Group labels of the filter, in English; they are translated when the filter is built.
inline constexpr const char* kLabelAllSupported = "All Supported Files";
inline constexpr const char* kLabelPlaylist = "Playlist Files";
inline constexpr const char* kLabelWindowsMedia = "Windows Media Files";
inline constexpr const char* kLabelRealMedia = "Real Media Files";
inline constexpr const char* kLabelQuickTime = "QuickTime Media Files";
inline constexpr const char* kLabelVideo = "All Video Files";
inline constexpr const char* kLabelAudio = "All Audio Files";
inline constexpr const char* kLabelImage = "All Image Files";
inline constexpr const char* kLabelAll = "All Files";

// Status texts of Open CD and Open VCD when no drive holds matching clips (English; the
// caller translates them like every shown text).
inline constexpr const char* kCdNotFoundText = "Cann't find CD clips(*.CDA) in CD-ROM driver.";
inline constexpr const char* kVcdNotFoundText = "Cann't find VCD clips(*.DAT) in CD-ROM driver.";

// Turns an English text into the current language.
using TranslateFn = std::function<std::string(const std::string&)>;

// Every pattern the player opens, playlists excepted: 108;107;121;118;132;131;125, then the
// added audio and video types.
std::string AllSupportedPatterns();

// The open-file dialog's filter: "label (patterns)|patterns|" per group, the last group
// closed by "||". Labels pass through translate; without one they stay English.
std::string BuildOpenFilter(const TranslateFn& translate = {});

} // namespace core
