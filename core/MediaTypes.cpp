#include "core/MediaTypes.h"

#include "res/StringTable.h"

namespace core {

namespace {

std::string Group(const std::string& label, const std::string& patterns, bool last) {
    return label + " (" + patterns + ")|" + patterns + (last ? "||" : "|");
}

} // namespace

std::string AllSupportedPatterns() {
    std::string list;
    for (std::uint32_t id :
         {IDS_PATTERNS_WINDOWSMEDIA, IDS_PATTERNS_REALMEDIA, IDS_PATTERNS_QUICKTIME,
          IDS_PATTERNS_CDAUDIO, IDS_PATTERNS_VIDEO, IDS_PATTERNS_AUDIO, IDS_PATTERNS_IMAGE}) {
        if (!list.empty())
            list += ';';
        list += res::LoadString(id);
    }
    return list;
}

std::string BuildOpenFilter(const TranslateFn& translate) {
    auto label = [&](const char* english) {
        return translate ? translate(english) : std::string(english);
    };
    const std::string windowsMedia =
        res::LoadString(IDS_PATTERNS_WINDOWSMEDIA) + ";" + res::LoadString(IDS_PATTERNS_CDAUDIO);
    // Real Media and QuickTime get no group of their own: All Supported Files holds them.
    return Group(label(kLabelAllSupported), AllSupportedPatterns(), false) +
           Group(label(kLabelPlaylist), res::LoadString(IDS_PATTERNS_PLAYLIST), false) +
           Group(label(kLabelWindowsMedia), windowsMedia, false) +
           Group(label(kLabelVideo), res::LoadString(IDS_PATTERNS_VIDEO), false) +
           Group(label(kLabelAudio), res::LoadString(IDS_PATTERNS_AUDIO), false) +
           Group(label(kLabelImage), res::LoadString(IDS_PATTERNS_IMAGE), false) +
           Group(label(kLabelAll), "*.*", true);
}

} // namespace core
