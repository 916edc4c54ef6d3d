// Reading XSPF playlists (XML) for core/, which keeps to the standard library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct XspfTrack {
    std::string location; // the first <location> of the track, a URI as written
    std::string title;
    std::uint64_t durationMs = 0;
};

// The tracks of trackList, in order; tracks without a location are left out. Nothing when the
// text is not well-formed XML or its root is not <playlist>.
std::optional<std::vector<XspfTrack>> ReadXspf(std::string_view text);

} // namespace platform
