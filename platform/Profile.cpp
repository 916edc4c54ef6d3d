#include "platform/Profile.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <mutex>
#include <optional>

namespace platform {

namespace {

std::mutex g_mutex;
std::string g_strRegistryKey;
std::string g_strAppName; // empty: the executable's base name

std::string ExecutableBaseName() {
    const std::string path = GetProgramPath();
    return path.substr(path.rfind('/') + 1);
}

// The section's key path under HKEY_CURRENT_USER; nullopt before SetRegistryKey.
std::optional<std::string> SectionPath(const std::string& section) {
    std::lock_guard lock(g_mutex);
    if (g_strRegistryKey.empty())
        return std::nullopt;
    const std::string app = g_strAppName.empty() ? ExecutableBaseName() : g_strAppName;
    return "Software\\" + g_strRegistryKey + "\\" + app + "\\" + section;
}

// The decimal number a text starts with, after blanks and a sign; clamped to the int range.
std::optional<int> LeadingNumber(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return std::nullopt;
    const bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+')
        ++i;
    if (i == text.size() || text[i] < '0' || text[i] > '9')
        return std::nullopt;
    std::int64_t n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        n = std::min<std::int64_t>(n * 10 + (text[i] - '0'), std::int64_t(INT_MAX) + 1);
    n = negative ? -n : std::min<std::int64_t>(n, INT_MAX);
    return int(n);
}

} // namespace

void SetRegistryKey(const std::string& key) {
    std::lock_guard lock(g_mutex);
    g_strRegistryKey = key;
}

std::string GetRegistryKey() {
    std::lock_guard lock(g_mutex);
    return g_strRegistryKey;
}

void SetProfileAppName(const std::string& name) {
    std::lock_guard lock(g_mutex);
    g_strAppName = name;
}

std::string GetProfileAppName() {
    std::lock_guard lock(g_mutex);
    return g_strAppName.empty() ? ExecutableBaseName() : g_strAppName;
}

std::string GetProfileString(const std::string& section, const std::string& entry,
                             const std::string& def) {
    const auto path = SectionPath(section);
    const auto text =
        path ? CRegistry::Instance().QueryString(HKEY_CURRENT_USER, *path, entry) : std::nullopt;
    return text.value_or(def);
}

int GetProfileInt(const std::string& section, const std::string& entry, int def) {
    const auto path = SectionPath(section);
    if (!path)
        return def;
    CRegistry& registry = CRegistry::Instance();
    if (const auto n = registry.QueryDword(HKEY_CURRENT_USER, *path, entry))
        return int(*n);
    if (const auto text = registry.QueryString(HKEY_CURRENT_USER, *path, entry))
        return LeadingNumber(*text).value_or(def);
    return def;
}

bool WriteProfileString(const std::string& section, const std::string& entry,
                        const std::string& value) {
    const auto path = SectionPath(section);
    return path && CRegistry::Instance().SetString(HKEY_CURRENT_USER, *path, entry, value);
}

bool WriteProfileInt(const std::string& section, const std::string& entry, int value) {
    const auto path = SectionPath(section);
    return path && CRegistry::Instance().SetDword(HKEY_CURRENT_USER, *path, entry, DWORD(value));
}

} // namespace platform
