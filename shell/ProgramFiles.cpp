#include "shell/ProgramFiles.h"

#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "res/MenuTables.h"
#include "res/StringTable.h"

namespace shell {

std::vector<std::string> MissingProgramFiles(const std::string& folder) {
    // The English file stands for the language folder: every other language falls back on it.
    const std::vector<std::string> needed = {"language/English.ini", "Tips.txt",
                                             "Test Skin/MainWindow.txt",
                                             res::LoadString(res::IDS_MANUAL_FILE)};
    std::vector<std::string> missing;
    for (const std::string& file : needed)
        if (!platform::FileExists(folder + file))
            missing.push_back(folder + file);
    return missing;
}

std::size_t ReportMissingProgramFiles() {
    const std::vector<std::string> missing = MissingProgramFiles(platform::GetProgramFolder());
    for (const std::string& path : missing)
        platform::LogWarning("missing file: " + path);
    return missing.size();
}

} // namespace shell
