// Reader of foreign playlists (M3U and M3U8, plain and extended, PLS and XSPF) as other programs
// write them. One is made per file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PlaylistImporter {
public:
    // Entries are bounded as they are read: a path longer than the system's longest path is
    // left out, a title longer than kMaxTitleBytes is cut (each with a verbose note).
    static constexpr std::size_t kMaxTitleBytes = 1000;
    // Files beyond this size are not read at all.
    static constexpr std::uint64_t kMaxFileBytes = 256u << 20;

    // Reads the file; false when it is missing, unreadable, larger than kMaxFileBytes (then
    // TooLarge() tells so), or not a recognised playlist. A file read through without entries
    // succeeds with none.
    bool Read(const std::string& path);
    bool TooLarge() const { return m_bTooLarge; }
    // The same rules over text already in memory; `path` gives the extension and folder.
    // Text that is not valid UTF-8 is taken as Latin-1.
    bool ReadText(const std::string& path, std::string_view text);

    std::size_t GetCount() const { return m_paths.size(); }
    const std::string& GetPath(std::size_t i) const { return m_paths[i]; }
    const std::string& GetTitle(std::size_t i) const { return m_titles[i]; }
    std::uint32_t GetLength(std::size_t i) const { return m_lengths[i]; }
    const std::string& GetExtension() const { return m_strExtension; }

    // Hand over the texts of entry i without copying them (used once per entry).
    std::string TakePath(std::size_t i) { return std::move(m_paths[i]); }
    std::string TakeTitle(std::size_t i) { return std::move(m_titles[i]); }

private:
    void ReadM3u(class LineReader& lines, std::string_view folder);
    bool ReadPls(class LineReader& lines, std::string_view folder);
    bool ReadXspf(std::string_view text, std::string_view folder);
    void AddEntry(std::string path, std::string title, std::uint32_t length);

    std::string m_strExtension;
    bool m_bTooLarge = false;
    std::vector<std::string> m_paths;
    std::vector<std::string> m_titles;
    std::vector<std::uint32_t> m_lengths;
};
