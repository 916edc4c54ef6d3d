#include "core/PlaylistImporter.h"

#include "core/PlaylistPaths.h"
#include "core/TextEncoding.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/XspfReader.h"

#include <climits>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

// Splits text into lines, removing "\n" or "\r\n"; a last line without a line end still counts.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    bool Next(std::string_view& line) {
        if (m_pos >= m_text.size())
            return false;
        auto end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos)
            end = m_text.size();
        line = m_text.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

namespace {

// The decimal number at the start of text (after blanks, with an optional sign), 0 when there
// are no digits. Negative lengths (M3U uses -1 for "unknown") read as 0; huge ones are capped
// so the value still fits the clip's signed duration.
std::uint32_t ParseLength(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(kMax, value * 10 + std::uint64_t(text[i] - '0'));
    return negative ? 0 : std::uint32_t(value);
}

bool EndsWithNoCase(std::string_view line, std::string_view tail) {
    return line.size() >= tail.size() &&
           core::EqualsNoCase(line.substr(line.size() - tail.size()), tail);
}

bool IsPlaylistExtension(std::string_view ext) {
    return core::EqualsNoCase(ext, "m3u") || core::EqualsNoCase(ext, "m3u8") ||
           core::EqualsNoCase(ext, "pls") || core::EqualsNoCase(ext, "xspf");
}

bool StartsWithNoCase(std::string_view line, std::string_view head) {
    return line.size() >= head.size() && core::EqualsNoCase(line.substr(0, head.size()), head);
}

// "#EXTINF:<length>[ attributes],<title>": the length is read up to the first non-digit.
void ParseExtInf(std::string_view info, std::string& title, std::uint32_t& length) {
    info.remove_prefix(std::string_view("#EXTINF:").size());
    const auto comma = info.find(',');
    length = ParseLength(info.substr(0, comma));
    title = comma == std::string_view::npos ? std::string() : std::string(info.substr(comma + 1));
}

// PLS keys are "File", "Title" or "Length" followed by the entry number, in any case.
enum class PlsField { None, File, Title, Length };

PlsField SplitPlsKey(std::string_view key, std::uint32_t& number) {
    const auto digits = key.find_first_of("0123456789");
    if (digits == std::string_view::npos || digits == 0 ||
        key.find_first_not_of("0123456789", digits) != std::string_view::npos ||
        key.size() - digits > 9) // at most nine digits, so the number fits
        return PlsField::None;
    number = ParseLength(key.substr(digits));
    const std::string_view name = key.substr(0, digits);
    if (core::EqualsNoCase(name, "file"))
        return PlsField::File;
    if (core::EqualsNoCase(name, "title"))
        return PlsField::Title;
    return core::EqualsNoCase(name, "length") ? PlsField::Length : PlsField::None;
}

// Text playlists hold no NUL bytes and hardly any control characters; a file that does is
// binary data under a playlist's name, and reading it line by line would make rows of junk.
bool LooksBinary(std::string_view text) {
    std::size_t controls = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0)
            return true;
        if ((byte < 0x20 && !std::strchr("\t\n\v\f\r\x1b", c)) || byte == 0x7f)
            ++controls;
    }
    return controls * 32 > text.size();
}

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

bool PlaylistImporter::Read(const std::string& path) {
    m_bTooLarge = false;
    if (path.find('\0') != std::string::npos)
        return false;
    const auto status = platform::GetFileStatus(path);
    if (!status || !IsPlaylistExtension(core::Extension(path)))
        return false;
    m_bTooLarge = status->size > kMaxFileBytes;
    if (m_bTooLarge)
        return false;
    // Fails for folders and unreadable files.
    const auto text = platform::ReadWholeFile(path, kMaxFileBytes);
    return text && ReadText(path, *text);
}

bool PlaylistImporter::ReadText(const std::string& path, std::string_view text) {
    const std::string_view ext = core::Extension(path);
    if (!IsPlaylistExtension(ext))
        return false;
    m_paths.clear();
    m_titles.clear();
    m_lengths.clear();
    m_strExtension = std::string(ext);
    const std::string_view folder = core::FolderPart(path);

    if (core::EqualsNoCase(ext, "xspf"))
        return ReadXspf(text, folder);
    // A UTF-8 byte-order mark would hide the "/" that starts an absolute first entry.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (LooksBinary(text))
        return false;
    std::string converted;
    if (!core::IsValidUtf8(text)) {
        converted = core::Latin1ToUtf8(text);
        text = converted;
    }
    LineReader lines(text);
    if (core::EqualsNoCase(ext, "pls"))
        return ReadPls(lines, folder);
    ReadM3u(lines, folder);
    return true;
}

void PlaylistImporter::AddEntry(std::string path, std::string title, std::uint32_t length) {
    if (path.size() >= PATH_MAX) {
        platform::LogVerbose(
            "playlist entry left out, its path is longer than the system allows: " +
            path.substr(0, 200) + "...");
        return;
    }
    if (title.size() > kMaxTitleBytes) {
        platform::LogVerbose("playlist entry title cut to " + std::to_string(kMaxTitleBytes) +
                             " bytes: " + path);
        std::size_t cut = kMaxTitleBytes; // not inside a character
        while (cut > 0 && (std::uint8_t(title[cut]) & 0xC0) == 0x80)
            --cut;
        title.resize(cut);
        title.shrink_to_fit(); // the 10 MB it came with are not kept
    }
    m_paths.push_back(std::move(path));
    m_titles.push_back(std::move(title));
    m_lengths.push_back(length);
}

void PlaylistImporter::ReadM3u(LineReader& lines, std::string_view folder) {
    // Plain and extended files share one rule: "#EXTINF" describes the next entry line, every
    // other "#" line (the header, options, album and playlist names) and every blank line is
    // skipped, and each remaining line is one entry.
    std::string title;
    std::uint32_t length = 0;
    std::string_view line;
    while (lines.Next(line)) {
        if (line.starts_with('#')) {
            if (StartsWithNoCase(line, "#EXTINF:"))
                ParseExtInf(line, title, length);
            continue;
        }
        if (TrimBlanks(line).empty())
            continue;
        AddEntry(core::ResolvePlaylistEntry(folder, line), std::move(title), length);
        title.clear();
        length = 0;
    }
}

bool PlaylistImporter::ReadXspf(std::string_view text, std::string_view folder) {
    auto tracks = platform::ReadXspf(text); // the XML declares its own encoding
    if (!tracks)
        return false;
    constexpr std::uint64_t kMaxSeconds = std::numeric_limits<std::int32_t>::max();
    for (platform::XspfTrack& track : *tracks) {
        // A location is a URI: a relative one is percent-encoded like any other.
        std::string path = core::IsUri(track.location) || track.location.starts_with("file:")
                               ? core::ResolvePlaylistEntry(folder, track.location)
                               : core::ResolveEntry(folder, core::PercentDecode(track.location));
        AddEntry(std::move(path), std::move(track.title),
                 std::uint32_t(std::min(kMaxSeconds, track.durationMs / 1000)));
    }
    return true;
}

bool PlaylistImporter::ReadPls(LineReader& lines, std::string_view folder) {
    std::string_view first;
    lines.Next(first); // an empty file has an empty first line
    if (!EndsWithNoCase(first, "[playlist]"))
        return false;
    // Entries are gathered by their number, so FileN, TitleN and LengthN may come in any order;
    // a number without a FileN line is no entry.
    struct PlsEntry {
        std::optional<std::string> path;
        std::string title;
        std::uint32_t length = 0;
    };
    std::map<std::uint32_t, PlsEntry> entries;
    std::string_view line;
    while (lines.Next(line)) {
        const auto eq = line.find('=');
        std::uint32_t number = 0;
        const PlsField field = eq == std::string_view::npos
                                   ? PlsField::None
                                   : SplitPlsKey(TrimBlanks(line.substr(0, eq)), number);
        if (field == PlsField::None)
            continue;
        const std::string_view value = line.substr(eq + 1);
        PlsEntry& entry = entries[number];
        if (field == PlsField::File)
            entry.path = core::ResolvePlaylistEntry(folder, TrimBlanks(value));
        else if (field == PlsField::Title)
            entry.title = std::string(value);
        else
            entry.length = ParseLength(value);
    }
    for (auto& [number, entry] : entries) {
        if (entry.path && !entry.path->empty())
            AddEntry(std::move(*entry.path), std::move(entry.title), entry.length);
    }
    return true;
}
