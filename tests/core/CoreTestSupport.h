// Helpers shared by the core tests: a temporary folder, byte strings and reporter capture.
#pragma once

#include "core/PlaylistFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace coretest {

class TempDir {
public:
    TempDir() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "corvella-core-XXXXXX").string();
        m_path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return m_path + "/" + name; }
    std::string Write(const std::string& name, const std::string& data) const {
        std::ofstream(File(name), std::ios::binary) << data;
        return File(name);
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

inline std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += char(b);
    return s;
}

// Collects every reported message.
struct Messages {
    std::vector<std::pair<std::string, std::string>> list;
    core::ErrorReporter Reporter() {
        return [this](const std::string& caption, const std::string& text) {
            list.emplace_back(caption, text);
        };
    }
};

} // namespace coretest
