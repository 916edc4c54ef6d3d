// Writing the playlist in the foreign text formats, for moving playlists to other players:
// extended M3U (UTF-8), PLS and XSPF, in the layouts the importer reads back.
#pragma once

#include "core/ObjListClip.h"

#include <string>
#include <string_view>
#include <vector>

namespace core {

struct ExportText {
    std::string text;
    // Clips left out: a path holding a line break cannot be written in a line-based format.
    std::vector<std::string> skippedPaths;
};

// The path a playlist in `playlistFolder` (as FolderPart gives it, ending in '/') writes for a
// clip: relative when the clip lies in that folder or below, else the path as it stands.
std::string PathForPlaylist(std::string_view playlistFolder, const std::string& path);

// "#EXTM3U", then per clip "#EXTINF:<duration>,<display title>" and the path.
ExportText FormatExtendedM3u(const CObjListClip& list, std::string_view playlistFolder = {});
// "[playlist]", per clip FileN=, TitleN=, LengthN=, then NumberOfEntries= and Version=2.
ExportText FormatPls(const CObjListClip& list, std::string_view playlistFolder = {});
// An XSPF document: per clip a track with its location (a file URI, or relative URI),
// title and duration in milliseconds.
ExportText FormatXspf(const CObjListClip& list, std::string_view playlistFolder = {});

} // namespace core
