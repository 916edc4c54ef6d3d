#include "shell/CommandLineText.h"

#include "platform/FileSystem.h"

#include <mutex>

namespace shell {

namespace {

std::mutex g_mutex;
std::vector<std::string> g_args;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

std::string JoinCommandLine(const std::string& programPath, const std::vector<std::string>& args) {
    // The path is always quoted, so a reader can drop it with its two quotes and the blank.
    std::string text = Quoted(programPath);
    for (const std::string& arg : args) {
        text += ' ';
        text += arg.find_first_of(" \t") == std::string::npos ? arg : Quoted(arg);
    }
    return text;
}

void SetCommandLine(int argc, const char* const* argv) {
    std::lock_guard lock(g_mutex);
    g_args.assign(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
}

std::string GetCommandLine() {
    std::lock_guard lock(g_mutex);
    return JoinCommandLine(platform::GetProgramPath(), g_args);
}

} // namespace shell
