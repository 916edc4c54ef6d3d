// One key of a registry hive: its values and its subkeys. Names are found without regard to
// ASCII case and kept with the case they were first given, as the registry does.
#pragma once

#include "platform/Registry.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CRegKey {
public:
    explicit CRegKey(std::string name = {}) : m_strName(std::move(name)) {}

    const std::string& Name() const { return m_strName; }

    CRegKey* FindSubkey(const std::string& name) const;
    // The subkey of that name, created when missing.
    CRegKey& CreateSubkey(const std::string& name);
    bool DeleteSubkey(const std::string& name);
    // Subkeys in the order of their names, case ignored.
    std::vector<const CRegKey*> Subkeys() const;

    const RegValue* FindValue(const std::string& name) const;
    // Replaces the data of an existing value (its name keeps its first case) or adds one.
    void SetValue(const std::string& name, RegValue value);
    bool DeleteValue(const std::string& name);
    // Values as (name, value) in the order of their names, case ignored; "" is the default value.
    std::vector<std::pair<const std::string*, const RegValue*>> Values() const;

private:
    struct NamedValue {
        std::string name;
        RegValue value;
    };

    std::string m_strName;
    std::map<std::string, std::unique_ptr<CRegKey>> m_subkeys; // by lower-case name
    std::map<std::string, NamedValue> m_values;                // by lower-case name
};

namespace platform {

// The registry's own limits on key names and depth; they also keep recursion over a tree shallow.
constexpr std::size_t kMaxKeyNameBytes = 255;
constexpr std::size_t kMaxKeyDepth = 512;

std::string ToLowerAscii(std::string text);

// A REG_DWORD's data: four bytes, little-endian.
std::string DwordToBytes(DWORD value);
DWORD BytesToDword(const std::string& bytes); // the first four bytes; bytes.size() >= 4

// Splits a key path at backslashes into key names; empty parts (a leading, trailing or doubled
// backslash) are skipped, so "" is the root. nullopt when a name is too long, holds a control
// byte, or the path is too deep.
std::optional<std::vector<std::string>> SplitKeyPath(const std::string& path);

} // namespace platform
