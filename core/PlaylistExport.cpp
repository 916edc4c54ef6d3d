#include "core/PlaylistExport.h"

#include "core/PlaylistPaths.h"
#include "core/TextEncoding.h"

#include <algorithm>

namespace core {

namespace {

bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

// A title stays on its line: line breaks inside it become blanks.
std::string OneLine(std::string s) {
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return s;
}

// Calls emit(clip, path, number) for every clip that can be written, numbering from 1.
template <class Emit>
ExportText Collect(const CObjListClip& list, std::string_view folder, Emit emit) {
    ExportText out;
    std::size_t number = 0;
    for (std::size_t i = 0; i < list.GetCount(); ++i) {
        const CAttribClip& clip = *list.GetAt(i);
        if (HasLineBreak(clip.GetPath())) {
            out.skippedPaths.push_back(clip.GetPath());
            continue;
        }
        out.text += emit(clip, PathForPlaylist(folder, clip.GetPath()), ++number);
    }
    return out;
}

std::string XmlEscaped(std::string_view raw) {
    // XML must be well-formed UTF-8; a title in another encoding is taken as Latin-1.
    const std::string text = IsValidUtf8(raw) ? std::string(raw) : Latin1ToUtf8(raw);
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Control characters other than tab are not allowed in XML 1.0.
            if (std::uint8_t(c) >= 0x20 || c == '\t')
                out += c;
        }
    }
    return out;
}

std::string XspfLocation(const std::string& path) {
    if (IsUri(path))
        return path;
    // Separators stay; every other byte outside the unreserved set is encoded.
    const std::string encoded = PercentEncode(path, "/");
    return path.starts_with('/') ? "file://" + encoded : encoded;
}

} // namespace

std::string PathForPlaylist(std::string_view playlistFolder, const std::string& path) {
    if (playlistFolder.empty() || !playlistFolder.ends_with('/') ||
        !path.starts_with(playlistFolder))
        return path;
    std::string relative = path.substr(playlistFolder.size());
    // A line starting with '#' would be read back as a comment.
    return relative.starts_with('#') ? "./" + relative : relative;
}

ExportText FormatExtendedM3u(const CObjListClip& list, std::string_view playlistFolder) {
    ExportText out = Collect(list, playlistFolder,
                             [](const CAttribClip& clip, const std::string& path, std::size_t) {
                                 return "#EXTINF:" + std::to_string(clip.GetDuration()) + "," +
                                        OneLine(clip.GetDisplayTitle()) + "\n" + path + "\n";
                             });
    out.text.insert(0, "#EXTM3U\n");
    return out;
}

ExportText FormatPls(const CObjListClip& list, std::string_view playlistFolder) {
    std::size_t written = 0;
    ExportText out =
        Collect(list, playlistFolder,
                [&written](const CAttribClip& clip, const std::string& path, std::size_t n) {
                    written = n;
                    const std::string num = std::to_string(n);
                    return "File" + num + "=" + path + "\nTitle" + num + "=" +
                           OneLine(clip.GetDisplayTitle()) + "\nLength" + num + "=" +
                           std::to_string(clip.GetDuration()) + "\n";
                });
    out.text.insert(0, "[playlist]\n");
    out.text += "NumberOfEntries=" + std::to_string(written) + "\nVersion=2\n";
    return out;
}

ExportText FormatXspf(const CObjListClip& list, std::string_view playlistFolder) {
    ExportText out = Collect(
        list, playlistFolder, [](const CAttribClip& clip, const std::string& path, std::size_t) {
            return "    <track><location>" + XmlEscaped(XspfLocation(path)) + "</location><title>" +
                   XmlEscaped(clip.GetDisplayTitle()) + "</title><duration>" +
                   std::to_string(std::int64_t(std::max(0, clip.GetDuration())) * 1000) +
                   "</duration></track>\n";
        });
    out.text.insert(0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\n  <trackList>\n");
    out.text += "  </trackList>\n</playlist>\n";
    return out;
}

} // namespace core
