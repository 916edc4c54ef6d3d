#include "shell/LanguageFile.h"

#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "res/StringTable.h"

#include <sys/stat.h>

namespace shell {

namespace {

// Language files are small; anything larger is not one.
constexpr std::uint64_t kMaxFileBytes = 8u << 20;

std::string Trim(const std::string& line) {
    const char* blanks = " \t\r\n\v\f";
    const std::size_t first = line.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(blanks) - first + 1);
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
        text.replace(pos, from.size(), to);
    return text;
}

} // namespace

LanguageEntries ParseLanguageFile(const std::string& content) {
    LanguageEntries entries;
    std::size_t start = 0;
    if (content.starts_with("\xEF\xBB\xBF")) // a byte-order mark some editors write
        start = 3;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        const std::string line = Trim(content.substr(start, end - start));
        start = end + 1;
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            entries.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }
    return entries;
}

std::string EscapeLineBreaks(const std::string& text) {
    return ReplaceAll(ReplaceAll(text, "\r\n", "\\n"), "\n", "\\n");
}

std::string UnescapeLineBreaks(const std::string& value) {
    return ReplaceAll(value, "\\n", "\n");
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

CLanguageFileCache& CLanguageFileCache::Instance() {
    static CLanguageFileCache cache;
    return cache;
}

std::shared_ptr<const LanguageEntries> CLanguageFileCache::Get(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    const Stamp stamp{st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec,
                      static_cast<long long>(st.st_size), st.st_ino};
    std::lock_guard lock(m_mutex);
    auto it = m_files.find(path);
    if (it != m_files.end() && it->second.stamp == stamp)
        return it->second.entries;
    if (std::uint64_t(st.st_size) > kMaxFileBytes) {
        // Said once: the refusal is kept until the file changes.
        platform::LogWarning(res::LoadString(5200) + " " + path);
        m_files[path] = Cached{stamp, nullptr};
        return nullptr;
    }
    const std::optional<std::string> content = platform::ReadWholeFile(path, kMaxFileBytes);
    ++m_nReads;
    if (!content) {
        m_files.erase(path);
        return nullptr;
    }
    auto entries = std::make_shared<const LanguageEntries>(ParseLanguageFile(*content));
    m_files[path] = Cached{stamp, entries};
    return entries;
}

void CLanguageFileCache::Clear() {
    std::lock_guard lock(m_mutex);
    m_files.clear();
}

std::size_t CLanguageFileCache::ReadCount() const {
    std::lock_guard lock(m_mutex);
    return m_nReads;
}

} // namespace shell
