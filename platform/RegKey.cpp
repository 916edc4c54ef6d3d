#include "platform/RegKey.h"

namespace {

bool IsValidKeyName(const std::string& name) {
    if (name.empty() || name.size() > platform::kMaxKeyNameBytes)
        return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

} // namespace

CRegKey* CRegKey::FindSubkey(const std::string& name) const {
    auto it = m_subkeys.find(platform::ToLowerAscii(name));
    return it == m_subkeys.end() ? nullptr : it->second.get();
}

CRegKey& CRegKey::CreateSubkey(const std::string& name) {
    auto& slot = m_subkeys[platform::ToLowerAscii(name)];
    if (!slot)
        slot = std::make_unique<CRegKey>(name);
    return *slot;
}

bool CRegKey::DeleteSubkey(const std::string& name) {
    return m_subkeys.erase(platform::ToLowerAscii(name)) > 0;
}

std::vector<const CRegKey*> CRegKey::Subkeys() const {
    std::vector<const CRegKey*> keys;
    keys.reserve(m_subkeys.size());
    for (const auto& [lower, key] : m_subkeys)
        keys.push_back(key.get());
    return keys;
}

const RegValue* CRegKey::FindValue(const std::string& name) const {
    auto it = m_values.find(platform::ToLowerAscii(name));
    return it == m_values.end() ? nullptr : &it->second.value;
}

void CRegKey::SetValue(const std::string& name, RegValue value) {
    auto [it, added] = m_values.try_emplace(platform::ToLowerAscii(name), NamedValue{name, {}});
    it->second.value = std::move(value);
}

bool CRegKey::DeleteValue(const std::string& name) {
    return m_values.erase(platform::ToLowerAscii(name)) > 0;
}

std::vector<std::pair<const std::string*, const RegValue*>> CRegKey::Values() const {
    std::vector<std::pair<const std::string*, const RegValue*>> values;
    values.reserve(m_values.size());
    for (const auto& [lower, named] : m_values)
        values.emplace_back(&named.name, &named.value);
    return values;
}

namespace platform {

std::string ToLowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return text;
}

std::string DwordToBytes(DWORD value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += char((value >> shift) & 0xFF);
    return bytes;
}

DWORD BytesToDword(const std::string& bytes) {
    DWORD value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[std::size_t(i)]);
    return value;
}

std::optional<std::vector<std::string>> SplitKeyPath(const std::string& path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start) {
            std::string name = path.substr(start, end - start);
            if (!IsValidKeyName(name) || names.size() == kMaxKeyDepth)
                return std::nullopt;
            names.push_back(std::move(name));
        }
        start = end + 1;
    }
    return names;
}

} // namespace platform
