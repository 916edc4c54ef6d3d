// Playlist files: the native ".mpl" file (the archive of one CObjListClip), import of M3U and
// PLS files, and turning chosen paths into clips.
#pragma once

#include "core/ObjListClip.h"

#include <functional>
#include <string>
#include <vector>

class CAttribClip;

namespace core {

// Receives the messages a user must see: a caption and a text. The windows show them in
// message boxes; command-line tools print them.
using ErrorReporter = std::function<void(const std::string& caption, const std::string& text)>;

// Reports "File Exception." with the message of string `messageId` and the path.
void ReportFileError(const ErrorReporter& report, std::uint32_t messageId, const std::string& path);

// Writes the list as a native playlist. The file is replaced atomically: when anything fails
// the earlier file at `path` stays as it was. Reports "Cann't save file." on failure.
bool SavePlaylist(const CObjListClip& list, const std::string& path, const ErrorReporter& report);

// Appends the clips of a native playlist to `list`, in file order. On any error nothing is
// added and "Cann't load file." is reported.
bool LoadPlaylist(CObjListClip& list, const std::string& path, const ErrorReporter& report);

// Reads a native playlist the program keeps for itself, appending the clips read whole even
// from a damaged file. Empty when the file was read whole, else what was wrong with it.
std::string LoadKeptPlaylist(CObjListClip& list, const std::string& path);

// Appends one clip per entry of an M3U or PLS file. Entries whose file cannot be examined are
// kept with their path alone. On failure nothing is added and
// "Unrecognizable Playlist File Format. " is reported.
bool ImportPlaylist(CObjListClip& list, const std::string& path, const ErrorReporter& report);

struct AddFilesResult {
    std::vector<CAttribClip*> added;       // the new clips, in playlist order
    std::vector<std::string> failedPaths;  // playlists that could not be read (reported)
    std::vector<std::string> skippedPaths; // media files that could not be examined (silent)
};

// Turns chosen paths into clips: native playlists are loaded, foreign ones imported, anything
// else becomes one clip if its file can be examined. The clips go to the end of `playlist`, or
// with `insertAfterCurrent` directly behind `current` in their order (to the end when
// `current` is null or not in the list).
AddFilesResult AddFiles(CObjListClip& playlist, const std::vector<std::string>& paths,
                        bool insertAfterCurrent, const CAttribClip* current,
                        const ErrorReporter& report);

} // namespace core
