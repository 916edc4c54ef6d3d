// A playlist too large for the main window's saved state is kept whole as a native playlist in
// the user's data folder; the state then holds an empty list and names the file.
#pragma once

#include <string>

class CObjListClip;

namespace skin {

// <user data folder>/corvella/playlist.mpl
std::string SavedPlaylistPath();

// Writes the list to SavedPlaylistPath() atomically. The path written, or empty (with a warning
// in the log) when it could not be written.
std::string StoreSavedPlaylist(const CObjListClip& list);

// Appends the clips of the file a saved state names to list; false, with a warning in the log
// and nothing added, when it cannot be read.
bool LoadSavedPlaylist(const std::string& path, CObjListClip& list);

// Removes the file once the state holds the playlist itself again.
void RemoveSavedPlaylist();

} // namespace skin
