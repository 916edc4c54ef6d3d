// A playlist too large for the main window's saved state is kept whole as a native playlist in
// the user's data folder; the state then holds an empty list and names the file. Two file
// names are used in turn: a save writes the one the stored state does not name, and the state
// names it only once it is in place, so a failed save leaves the old state and its file as they
// were.
#pragma once

#include <string>

class CObjListClip;

namespace skin {

// <user data folder>/corvella/playlist.mpl
std::string SavedPlaylistPath();
// The file the next save writes when the stored state names `named`.
std::string NextSavedPlaylistPath(const std::string& named);

// Writes the list to path atomically; false, reported as a failed save, when it could not.
bool StoreSavedPlaylist(const CObjListClip& list, const std::string& path);

// Appends the clips of the file a saved state names to list; false when the file could not be
// read whole. A damaged kept file is moved aside (NAME.damaged-<time>) and reported, and the
// clips read whole before the damage are still appended.
bool LoadSavedPlaylist(const std::string& path, CObjListClip& list);

// Removes a kept file no stored state names any more; a path that is not a kept file's name is
// left alone.
void RemoveSavedPlaylist(const std::string& path);

} // namespace skin
