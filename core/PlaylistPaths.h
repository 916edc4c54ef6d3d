// Path rules of playlists. Paths may be POSIX paths or drive-letter paths from foreign
// playlists; both separators end a folder, and an entry counts as absolute when it starts
// with "/" or holds ":\".
#pragma once

#include <string>
#include <string_view>

namespace core {

// The file-name part: everything after the last '/' or '\'.
std::string_view FileNamePart(std::string_view path);
// The text after the last dot of the file-name part, without the dot; empty when none.
std::string_view Extension(std::string_view path);
// The extension with its dot (".mp3"); empty when there is none.
std::string_view ExtensionWithDot(std::string_view path);
// The file name without folder and extension.
std::string_view FileTitle(std::string_view path);
// Everything up to and including the last separator ("C:\Music\", "/music/"); empty when none.
std::string_view FolderPart(std::string_view path);

bool IsAbsoluteEntry(std::string_view entry);
// An entry of a playlist read from `folder` (as FolderPart gives it): absolute entries stand as
// they are; a relative one is appended to the folder, with its backslashes made '/' unless the
// folder itself is a drive-letter folder.
std::string ResolveEntry(std::string_view folder, std::string_view entry);

bool EqualsNoCase(std::string_view a, std::string_view b);
// <0, 0 or >0 as a sorts before, with or after b, ASCII letters compared without case.
int CompareNoCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view s);

// A native playlist: the extension equals "mpl" (string 103) without regard to case.
bool IsNativePlaylist(std::string_view path);
// A foreign playlist by the loose rule the open dialogs share: the lower-cased extension
// occurs in "*.mpl;*.m3u;*.pls" (string 109), so an empty extension counts too.
bool IsForeignPlaylist(std::string_view path);

} // namespace core
