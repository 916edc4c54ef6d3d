// Language files: plain text, one "number=text" per line. Lines are trimmed at both ends; the
// key is everything before the first "=", the value everything after it; lines without "="
// carry nothing. In a value, backslash-n stands for a line break.
//
// Parsed files are kept in a cache that reads a file again when its modification time, size
// or identity changes, so an edited file is seen at once without every lookup rereading it.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace shell {

struct LanguageEntry {
    std::string strKey;
    std::string strValue; // as written: line breaks still as backslash-n
};
using LanguageEntries = std::vector<LanguageEntry>;

LanguageEntries ParseLanguageFile(const std::string& content);

// Line breaks (CR LF or LF) as backslash-n, the form the files hold.
std::string EscapeLineBreaks(const std::string& text);
// Backslash-n as line breaks (LF, this system's line end).
std::string UnescapeLineBreaks(const std::string& value);

// ASCII letters compared without regard to case.
bool EqualsNoCase(const std::string& a, const std::string& b);

class CLanguageFileCache {
public:
    static CLanguageFileCache& Instance();

    // The file's entries; null when it cannot be read (a missing or unreadable file).
    std::shared_ptr<const LanguageEntries> Get(const std::string& path);
    void Clear();

    // How often a file was read from disk (for tests of the cache).
    std::size_t ReadCount() const;

private:
    struct Stamp {
        long long modifiedNs = 0;
        long long size = 0;
        unsigned long long inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Cached {
        Stamp stamp;
        std::shared_ptr<const LanguageEntries> entries;
    };

    mutable std::mutex m_mutex;
    std::unordered_map<std::string, Cached> m_files;
    std::size_t m_nReads = 0;
};

} // namespace shell
