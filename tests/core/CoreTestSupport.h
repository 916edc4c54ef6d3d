// Helpers shared by the core tests: byte strings and reporter capture (the scratch folder is
// tests/support/ScratchFolder.h).
#pragma once

#include "core/PlaylistFile.h"

#include "tests/support/ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace coretest {

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
