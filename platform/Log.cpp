#include "platform/Log.h"

#include <atomic>
#include <cstdio>

namespace platform {

namespace {
std::atomic<bool> g_verbose{false};

void WriteLine(const std::string& line) {
    // One fwrite per line keeps lines from different threads whole.
    std::string text = "corvella: " + line + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}
} // namespace

void SetVerbose(bool on) {
    g_verbose = on;
}
bool IsVerbose() {
    return g_verbose;
}

void LogVerbose(const std::string& line) {
    if (g_verbose)
        WriteLine(line);
}

void LogWarning(const std::string& line) {
    WriteLine(line);
}

} // namespace platform
