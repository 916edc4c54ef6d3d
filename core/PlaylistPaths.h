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

// An entry as playlists of other programs write it: a "file:" URI becomes the path it names
// (percent-decoded), another URI ("http://…") stays as it is, and anything else is a path that
// ResolveEntry places against the folder.
std::string ResolvePlaylistEntry(std::string_view folder, std::string_view entry);
// "%XX" becomes the byte it codes; a '%' without two hex digits stays as it is.
std::string PercentDecode(std::string_view text);
// Every byte outside the unreserved set (letters, digits, "-._~") and the bytes of `keep` as
// %XX, so a text can sit in one part of a URI whatever it holds.
std::string PercentEncode(std::string_view text, std::string_view keep = {});
// True for "scheme://…" (a scheme of two characters or more, so "C://x" stays a path).
bool IsUri(std::string_view entry);
// An "http://" or "https://" address with something after the scheme: a stream to play.
bool IsStreamUri(std::string_view entry);
// The local path of a "file:" URI ("file:///a%20b", "file://localhost/a", "file:/a"); empty
// when the text is no such URI, names another host, or decodes to a NUL byte.
std::string FileUriToPath(std::string_view uri);

// A POSIX path without "." and ".." steps and doubled '/' ("/a/./b/../c" is "/a/c"); a
// relative path or a drive-letter path stays as it is.
std::string NormalizePosixPath(std::string_view path);
// Natural name order: runs of digits compare by their value ("song9" before "song10"), other
// characters as CompareNoCase does; names equal so compare byte for byte.
bool NaturalLess(std::string_view a, std::string_view b);

bool EqualsNoCase(std::string_view a, std::string_view b);
// <0, 0 or >0 as a sorts before, with or after b, ASCII letters compared without case.
int CompareNoCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view s);

// A native playlist: the extension equals "mpl" (string 103) without regard to case.
bool IsNativePlaylist(std::string_view path);
// A foreign playlist by the loose rule the open dialogs share: the lower-cased extension
// occurs in "*.mpl;*.m3u;*.pls" (string 109), so an empty extension counts too; the
// extensions of PlaylistPatterns that string 109 lacks (".m3u8", ".xspf") count as well.
bool IsForeignPlaylist(std::string_view path);
// The playlist patterns the open dialogs offer: string 109 and the formats added to it.
std::string PlaylistPatterns();

} // namespace core
