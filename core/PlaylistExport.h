// Writing the playlist in the foreign text formats, for moving playlists to other players:
// extended M3U and PLS, in the layouts the importer reads back.
#pragma once

#include "core/ObjListClip.h"

#include <string>
#include <vector>

namespace core {

struct ExportText {
    std::string text;
    // Clips left out: a path holding a line break cannot be written in a line-based format.
    std::vector<std::string> skippedPaths;
};

// "#EXTM3U", then per clip "#EXTINF:<duration>,<title>" and the path.
ExportText FormatExtendedM3u(const CObjListClip& list);
// "[playlist]", per clip FileN=, TitleN=, LengthN=, then NumberOfEntries= and Version=2.
ExportText FormatPls(const CObjListClip& list);

} // namespace core
