// The application's profile: named settings in sections, kept in the registry under
// HKEY_CURRENT_USER\Software\<registry key>\<application name>\<section>. Strings are REG_SZ
// values, integers REG_DWORD values.
#pragma once

#include <string>

namespace platform {

// The company and product part of the profile key ("Brenholt\Corvella"). Until it is set, reads
// give their defaults and writes fail.
void SetRegistryKey(const std::string& key);
std::string GetRegistryKey();

// The application name under the registry key: by default the executable's base name. An empty
// name restores the default.
void SetProfileAppName(const std::string& name);
std::string GetProfileAppName();

// The stored string, or def when the entry is missing or not a string.
std::string GetProfileString(const std::string& section, const std::string& entry,
                             const std::string& def = {});
// The stored integer; a string entry counts when it starts with a decimal number
// (" -12abc" gives -12). def when the entry is missing or holds no number.
int GetProfileInt(const std::string& section, const std::string& entry, int def);

bool WriteProfileString(const std::string& section, const std::string& entry,
                        const std::string& value);
bool WriteProfileInt(const std::string& section, const std::string& entry, int value);

} // namespace platform
