#include "core/PlaylistPaths.h"

#include "res/StringTable.h"

#include <algorithm>
#include <cstdint>

namespace core {

namespace {
char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
} // namespace

std::string_view FileNamePart(std::string_view path) {
    const auto sep = path.find_last_of("/\\");
    return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

std::string_view ExtensionWithDot(std::string_view path) {
    const std::string_view name = FileNamePart(path);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string_view Extension(std::string_view path) {
    const std::string_view ext = ExtensionWithDot(path);
    return ext.empty() ? ext : ext.substr(1);
}

std::string_view FileTitle(std::string_view path) {
    const std::string_view name = FileNamePart(path);
    return name.substr(0, name.size() - ExtensionWithDot(path).size());
}

std::string_view FolderPart(std::string_view path) {
    return path.substr(0, path.size() - FileNamePart(path).size());
}

bool IsAbsoluteEntry(std::string_view entry) {
    return entry.starts_with('/') || entry.find(":\\") != std::string_view::npos;
}

std::string ResolveEntry(std::string_view folder, std::string_view entry) {
    if (IsAbsoluteEntry(entry))
        return std::string(entry);
    std::string path;
    path.reserve(folder.size() + entry.size());
    path.append(folder);
    path.append(entry);
    if (!folder.ends_with('\\'))
        std::replace(path.begin() + std::ptrdiff_t(folder.size()), path.end(), '\\', '/');
    return path;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = std::uint8_t(LowerAscii(a[i]));
        const auto y = std::uint8_t(LowerAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string ToLowerAscii(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

bool IsNativePlaylist(std::string_view path) {
    return EqualsNoCase(Extension(path), res::LoadString(103));
}

bool IsForeignPlaylist(std::string_view path) {
    return res::LoadString(109).find(ToLowerAscii(Extension(path))) != std::string::npos;
}

} // namespace core
