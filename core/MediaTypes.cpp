#include "core/MediaTypes.h"

#include "core/PlaylistPaths.h"
#include "res/StringTable.h"

namespace core {

namespace {

std::string Group(const std::string& label, const std::string& patterns, bool last) {
    return label + " (" + patterns + ")|" + patterns + (last ? "||" : "|");
}

// Joins two pattern lists with one ';' (string 132 already ends in one).
std::string Join(std::string list, const char* more) {
    if (!list.empty() && !list.ends_with(';'))
        list += ';';
    return list + more;
}

} // namespace

std::string AudioPatterns() {
    return Join(res::LoadString(IDS_PATTERNS_AUDIO), kAddedAudioPatterns);
}

std::string VideoPatterns() {
    return Join(res::LoadString(IDS_PATTERNS_VIDEO), kAddedVideoPatterns);
}

std::string AllSupportedPatterns() {
    std::string list;
    for (std::uint32_t id :
         {IDS_PATTERNS_WINDOWSMEDIA, IDS_PATTERNS_REALMEDIA, IDS_PATTERNS_QUICKTIME,
          IDS_PATTERNS_CDAUDIO, IDS_PATTERNS_VIDEO, IDS_PATTERNS_AUDIO, IDS_PATTERNS_IMAGE}) {
        if (!list.empty())
            list += ';';
        list += res::LoadString(id);
    }
    return Join(Join(list, kAddedAudioPatterns), kAddedVideoPatterns);
}

std::string BuildOpenFilter(const TranslateFn& translate) {
    auto label = [&](const char* english) {
        return translate ? translate(english) : std::string(english);
    };
    const std::string windowsMedia =
        res::LoadString(IDS_PATTERNS_WINDOWSMEDIA) + ";" + res::LoadString(IDS_PATTERNS_CDAUDIO);
    // Real Media and QuickTime get no group of their own: All Supported Files holds them.
    return Group(label(kLabelAllSupported), AllSupportedPatterns(), false) +
           Group(label(kLabelPlaylist), PlaylistPatterns(), false) +
           Group(label(kLabelWindowsMedia), windowsMedia, false) +
           Group(label(kLabelVideo), VideoPatterns(), false) +
           Group(label(kLabelAudio), AudioPatterns(), false) +
           Group(label(kLabelImage), res::LoadString(IDS_PATTERNS_IMAGE), false) +
           Group(label(kLabelAll), "*.*", true);
}

} // namespace core
