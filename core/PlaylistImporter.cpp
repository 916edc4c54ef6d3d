#include "core/PlaylistImporter.h"

#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"

#include <limits>

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

// Everything after the first '=', or the whole line when it has none.
std::string_view ValueOf(std::string_view line) {
    const auto eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(eq + 1);
}

} // namespace

bool PlaylistImporter::Read(const std::string& path) {
    if (path.find('\0') != std::string::npos || !platform::GetFileStatus(path))
        return false;
    const std::string_view ext = core::Extension(path);
    if (!core::EqualsNoCase(ext, "m3u") && !core::EqualsNoCase(ext, "pls"))
        return false;
    const auto text = platform::ReadWholeFile(path); // fails for folders and unreadable files
    return text && ReadText(path, *text);
}

bool PlaylistImporter::ReadText(const std::string& path, std::string_view text) {
    const std::string_view ext = core::Extension(path);
    const bool m3u = core::EqualsNoCase(ext, "m3u");
    if (!m3u && !core::EqualsNoCase(ext, "pls"))
        return false;
    m_paths.clear();
    m_titles.clear();
    m_lengths.clear();
    m_strExtension = std::string(ext);
    const std::string_view folder = core::FolderPart(path);

    LineReader lines(text);
    std::string_view first;
    lines.Next(first); // an empty file has an empty first line
    if (!m3u)
        return ReadPls(lines, first, folder);
    if (EndsWithNoCase(first, "#EXTM3U"))
        ReadExtendedM3u(lines, folder);
    else
        ReadPlainM3u(lines, first);
    return true;
}

void PlaylistImporter::AddEntry(std::string path, std::string title, std::uint32_t length) {
    m_paths.push_back(std::move(path));
    m_titles.push_back(std::move(title));
    m_lengths.push_back(length);
}

void PlaylistImporter::ReadExtendedM3u(LineReader& lines, std::string_view folder) {
    // Lines are taken strictly in pairs: an information line, then a path line.
    std::string_view info, entry;
    while (lines.Next(info) && lines.Next(entry)) {
        const auto colon = info.find(':');
        const std::size_t start = colon == std::string_view::npos ? 0 : colon + 1;
        const auto comma = info.find(',', start);
        const std::string_view length = comma == std::string_view::npos
                                            ? info.substr(start)
                                            : info.substr(start, comma - start);
        const std::string_view title =
            comma == std::string_view::npos ? std::string_view() : info.substr(comma + 1);
        AddEntry(core::ResolveEntry(folder, entry), std::string(title), ParseLength(length));
    }
}

void PlaylistImporter::ReadPlainM3u(LineReader& lines, std::string_view first) {
    // Only absolute paths with a dot are taken; anything else is skipped.
    std::string_view line = first;
    do {
        if (core::IsAbsoluteEntry(line) && line.find('.') != std::string_view::npos)
            AddEntry(std::string(line), std::string(), 0);
    } while (lines.Next(line));
}

bool PlaylistImporter::ReadPls(LineReader& lines, std::string_view first, std::string_view folder) {
    if (!EndsWithNoCase(first, "[playlist]"))
        return false;
    // Consecutive triples of file, title and length lines; an incomplete triple ends the list.
    std::string_view file, title, length;
    while (lines.Next(file) && lines.Next(title) && lines.Next(length))
        AddEntry(core::ResolveEntry(folder, ValueOf(file)), std::string(ValueOf(title)),
                 ParseLength(ValueOf(length)));
    return true;
}
