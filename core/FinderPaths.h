// Path text rules of the file finder and the command-line collector. Paths are byte strings;
// POSIX paths use '/', drive-letter paths ("D:\", "D:/") keep their backslash.
#pragma once

#include <string>

namespace core {

// "D:", "D:\x", "d:/x": a path written with a drive letter.
bool IsDriveLetterPath(const std::string& path);

// Drops trailing separators (as SeparatorOf tells them) as long as one ends the path.
std::string StripTrailingSeparators(std::string path);

// The separator a folder's entries are joined with: '\' for drive-letter paths and relative
// paths written with backslashes, '/' for POSIX paths and everything else.
char SeparatorOf(const std::string& folder);

// folder + separator + name.
std::string JoinFolder(const std::string& folder, const std::string& name);

// The path to hand to the file system: drive-letter paths get '/' in place of '\'.
std::string DiskPath(const std::string& path);

// Text after the last dot of the name part (after the last '/' or '\'), without the dot.
std::string ExtensionOf(const std::string& path);

char LowerAscii(char c);
std::string LowerAscii(std::string text);

} // namespace core
