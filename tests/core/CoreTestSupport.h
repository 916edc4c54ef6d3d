// Helpers shared by the core tests: file contents, byte strings and reporter capture.
#pragma once

#include "core/PlaylistFile.h"
#include "platform/FileSystem.h"
#include "tests/support/ScratchFolder.h"

namespace coretest {

inline std::string Read(const std::string& path) {
    return platform::ReadWholeFile(path).value_or("");
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
