#include "core/FinderPaths.h"

#include <algorithm>

namespace core {

bool IsDriveLetterPath(const std::string& path) {
    const char c = LowerAscii(path.empty() ? '\0' : path[0]);
    return path.size() >= 2 && c >= 'a' && c <= 'z' && path[1] == ':';
}

std::string StripTrailingSeparators(std::string path) {
    // A drive-letter path drops its last backslash, or its last slash when it has no backslash.
    const bool posix = path.starts_with('/');
    const char sep = !posix && path.find('\\') != std::string::npos ? '\\' : '/';
    for (;;) {
        if (path.empty() || path.back() != sep)
            return path;
        path.pop_back();
    }
}

char SeparatorOf(const std::string& folder) {
    if (IsDriveLetterPath(folder))
        return '\\';
    if (folder.starts_with('/'))
        return '/'; // a POSIX path may hold a backslash inside a name
    return folder.find('\\') != std::string::npos ? '\\' : '/';
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
    std::string path = folder;
    path += SeparatorOf(folder);
    path += name;
    return path;
}

std::string DiskPath(const std::string& path) {
    if (!IsDriveLetterPath(path))
        return path;
    std::string disk = path;
    std::replace(disk.begin(), disk.end(), '\\', '/');
    return disk;
}

std::string ExtensionOf(const std::string& path) {
    const auto nameStart = path.find_last_of("/\\");
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart))
        return std::string();
    return path.substr(dot + 1);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        c = LowerAscii(c);
    return text;
}

} // namespace core
