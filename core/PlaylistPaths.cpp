#include "core/PlaylistPaths.h"

#include "res/StringTable.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace core {

namespace {
char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

// Formats the player reads beyond those string 109 names.
constexpr const char* kAddedPlaylistPatterns = "*.m3u8;*.xspf";
} // namespace

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int hi = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int lo = hi >= 0 ? HexValue(text[i + 2]) : -1;
        if (lo >= 0) {
            out += char(hi * 16 + lo);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string PercentEncode(std::string_view text, std::string_view keep) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = std::uint8_t(c);
        if (IsAsciiLetter(c) || (c >= '0' && c <= '9') ||
            std::string_view("-._~").find(c) != std::string_view::npos ||
            keep.find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

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
    return NormalizePosixPath(path);
}

std::string NormalizePosixPath(std::string_view path) {
    if (!path.starts_with('/'))
        return std::string(path);
    std::vector<std::string_view> steps;
    for (std::size_t at = 0; at < path.size();) {
        std::size_t end = path.find('/', at);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view step = path.substr(at, end - at);
        if (step == "..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        at = end + 1;
    }
    std::string out;
    out.reserve(path.size());
    for (std::string_view step : steps)
        out.append("/").append(step);
    return out.empty() ? "/" : out;
}

bool NaturalLess(std::string_view a, std::string_view b) {
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            // Leading zeros aside, the longer run is the larger number.
            while (i < a.size() && a[i] == '0')
                ++i;
            while (j < b.size() && b[j] == '0')
                ++j;
            std::size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            if (ei - i != ej - j)
                return ei - i < ej - j;
            if (const int c = a.substr(i, ei - i).compare(b.substr(j, ej - j)); c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        const auto x = std::uint8_t(LowerAscii(a[i++]));
        const auto y = std::uint8_t(LowerAscii(b[j++]));
        if (x != y)
            return x < y;
    }
    if (i < a.size() || j < b.size())
        return j < b.size() && i >= a.size();
    return a < b;
}

bool IsUri(std::string_view entry) {
    const auto sep = entry.find("://");
    if (sep == std::string_view::npos || sep < 2 || !IsAsciiLetter(entry[0]))
        return false;
    return std::all_of(entry.begin(), entry.begin() + std::ptrdiff_t(sep), [](char c) {
        return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    });
}

bool IsStreamUri(std::string_view entry) {
    const auto sep = entry.find("://");
    if (sep == std::string_view::npos || sep + 3 == entry.size())
        return false;
    const std::string_view scheme = entry.substr(0, sep);
    return EqualsNoCase(scheme, "http") || EqualsNoCase(scheme, "https");
}

std::string FileUriToPath(std::string_view uri) {
    if (uri.size() < 6 || !EqualsNoCase(uri.substr(0, 5), "file:"))
        return {};
    std::string_view rest = uri.substr(5);
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const auto slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        if (slash == std::string_view::npos || !(host.empty() || EqualsNoCase(host, "localhost")))
            return {};
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/'))
        return {};
    // "file:///C:/x" names a drive-letter path.
    if (rest.size() >= 3 && IsAsciiLetter(rest[1]) && rest[2] == ':')
        rest.remove_prefix(1);
    std::string path = PercentDecode(rest);
    return path.find('\0') == std::string::npos ? path : std::string();
}

std::string ResolvePlaylistEntry(std::string_view folder, std::string_view entry) {
    if (std::string path = FileUriToPath(entry); !path.empty())
        return path;
    if (IsUri(entry))
        return std::string(entry);
    return ResolveEntry(folder, entry);
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

std::string PlaylistPatterns() {
    return res::LoadString(109) + ";" + kAddedPlaylistPatterns;
}

bool IsForeignPlaylist(std::string_view path) {
    const std::string ext = ToLowerAscii(Extension(path));
    if (res::LoadString(109).find(ext) != std::string::npos)
        return true;
    // The added formats are matched whole: "m3" is no playlist.
    const std::string added = std::string(";") + kAddedPlaylistPatterns + ";";
    return !ext.empty() && added.find(";*." + ext + ";") != std::string::npos;
}

} // namespace core
