// Helpers shared by the platform tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// A private temporary folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/corvella-test-XXXXXX";
        if (::mkdtemp(pattern.data()))
            m_strPath = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        // Tests may leave read-only folders behind; make them removable first.
        for (auto it = std::filesystem::recursive_directory_iterator(m_strPath, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        }
        std::filesystem::remove_all(m_strPath, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};

// count bytes of a repeating pattern that takes every byte value.
inline std::string PatternBytes(std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes += char((i * 7 + 3) & 0xFF);
    return bytes;
}
