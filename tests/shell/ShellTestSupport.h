// Helpers shared by the shell tests: the player's environment, files read and written whole,
// waiting for a condition or a log's text, and private language folders.
#pragma once

#include "shell/Language.h"
#include "shell/LanguageFile.h"
#include "shell/PlayerApp.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScratchFolder.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace shelltest {

inline const std::string kProgram = std::string(CORVELLA_BINARY_DIR) + "/corvella";
// The repository's root: this header lies in tests/shell/. A compiler cache may compile with
// paths relative to the build folder.
inline const std::string kSourceDir = [] {
    std::filesystem::path header(__FILE__);
    if (header.is_relative())
        header = std::filesystem::path(CORVELLA_BINARY_DIR) / header;
    return header.lexically_normal().parent_path().parent_path().parent_path().string();
}();

// An environment variable set for the life of the object, then restored.
struct ScopedEnv : testsupport::CScopedEnv {
    ScopedEnv(const char* name, const std::string& value) : CScopedEnv(name, value.c_str()) {}
};

// A test's player: settings and runtime objects in home, no start-up dialogs, fake sinks that
// keep real time, and no session bus (a test may add its own after these).
inline std::vector<std::string> PlayerEnvironment(const std::string& home,
                                                  const std::string& platform) {
    return {"QT_QPA_PLATFORM=" + platform,
            "XDG_RUNTIME_DIR=" + home,
            "XDG_CONFIG_HOME=" + home,
            "XDG_DATA_HOME=" + home + "/data",
            std::string(shell::kNoStartupDialogsVariable) + "=1",
            "CORVELLA_AUDIO_SINK=fakesink sync=true",
            "CORVELLA_VIDEO_SINK=fakesink sync=true",
            "DBUS_SESSION_BUS_ADDRESS="};
}

inline std::string ReadFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// Polls until check holds; false when it did not within the limit.
template <typename Check>
bool Poll(Check check, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    for (const auto end = std::chrono::steady_clock::now() + limit; !check();
         std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        if (std::chrono::steady_clock::now() > end)
            return false;
    return true;
}

inline bool WaitForText(const std::string& path, const std::string& text,
                        std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    return Poll([&] { return ReadFile(path).find(text) != std::string::npos; }, limit);
}

// Language files in a folder of the test's own, and the languages as at start-up afterwards.
class LanguageFolder : public testsupport::ScratchFolder {
public:
    LanguageFolder() { shell::SetLanguageFolder(Path()); }
    ~LanguageFolder() {
        shell::SetLanguageFolder("");
        shell::SetCurrentLanguage(shell::kEnglish);
        shell::SetSourceLanguage(shell::kEnglish);
        shell::CLanguageFileCache::Instance().Clear();
    }
    void Write(const std::string& language, const std::string& content) const {
        MakeFile(language + ".ini", content);
    }
};

} // namespace shelltest
