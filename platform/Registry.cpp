#include "platform/Registry.h"

#include "platform/FileSystem.h"
#include "platform/RegFile.h"
#include "platform/RegKey.h"
#include "platform/StoreNotices.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

struct CRegistry::Hive {
    std::string path;
    std::unique_ptr<CRegKey> root = std::make_unique<CRegKey>();
    std::string savedText; // the file's text as last read or written; "" when there was none
    bool readOnly = false; // the file is there but unreadable: writing it would destroy it
};

namespace {

constexpr const char* kHiveFiles[] = {"classes.reg", "user.reg", "system.reg"};

void Warn(const std::string& text) {
    std::fprintf(stderr, "corvella: %s\n", text.c_str());
}

std::string WithoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.ends_with('/'))
        folder.pop_back();
    return folder;
}

std::string UserSettingsFolder() {
    // XDG: a relative XDG_CONFIG_HOME is invalid and ignored.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return WithoutTrailingSlashes(xdg) + "/corvella";
    std::string home;
    if (const char* env = std::getenv("HOME"); env && *env)
        home = env;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    return WithoutTrailingSlashes(home) + "/.config/corvella";
}

// The key reached by the first count names of path, or nullptr.
CRegKey* FindKeyPath(const CRegKey& top, const std::vector<std::string>& path, std::size_t count) {
    CRegKey* key = const_cast<CRegKey*>(&top);
    for (std::size_t i = 0; key && i < count; ++i)
        key = key->FindSubkey(path[i]);
    return key;
}

CRegKey& CreateKeyPath(CRegKey& top, const std::vector<std::string>& path) {
    CRegKey* key = &top;
    for (const std::string& name : path)
        key = &key->CreateSubkey(name);
    return *key;
}

} // namespace

CRegistry::CRegistry(std::string folder) : m_strFolder(WithoutTrailingSlashes(std::move(folder))) {}

CRegistry::~CRegistry() = default;

CRegistry& CRegistry::Instance() {
    static CRegistry registry;
    return registry;
}

void CRegistry::Reset(const std::string& folder) {
    std::lock_guard lock(m_mutex);
    m_strFolder = WithoutTrailingSlashes(folder);
    for (auto& hive : m_hives)
        hive.reset();
}

std::string CRegistry::Folder() {
    std::lock_guard lock(m_mutex);
    return ResolvedFolder();
}

const std::string& CRegistry::ResolvedFolder() {
    if (m_strFolder.empty())
        m_strFolder = UserSettingsFolder();
    return m_strFolder;
}

CRegistry::Hive* CRegistry::GetHive(HKEY root) {
    if (int(root) < 0 || int(root) >= int(std::size(m_hives)))
        return nullptr;
    auto& hive = m_hives[root];
    if (!hive) {
        hive = std::make_unique<Hive>();
        hive->path = ResolvedFolder() + "/" + kHiveFiles[root];
        LoadHive(*hive);
    }
    return hive.get();
}

void CRegistry::LoadHive(Hive& hive) {
    auto unreadable = [&hive](const std::string& reason) {
        Warn("cannot read the settings file " + hive.path + " (" + reason +
             "); its settings are not used and changes to them are not saved");
        hive.readOnly = true;
    };
    platform::RemoveStaleTemporaries(hive.path);
    struct stat st {};
    if (::stat(hive.path.c_str(), &st) != 0) {
        // No file yet is the usual first start; a blocked folder path only makes writes fail.
        if (errno != ENOENT && errno != ENOTDIR)
            unreadable(std::strerror(errno));
        return;
    }
    if (!S_ISREG(st.st_mode))
        return unreadable("not a regular file");
    if (std::uint64_t(st.st_size) > platform::kMaxRegFileBytes)
        return SetHiveAside(hive, "larger than 16 MiB");
    auto text = platform::ReadWholeFile(hive.path, platform::kMaxRegFileBytes);
    if (!text)
        return unreadable("reading failed");
    // What was read whole before the damage is kept, and written back at the next change.
    if (auto error = platform::ParseRegFile(*text, *hive.root))
        return SetHiveAside(hive, "line " + std::to_string(error->line) + ": " + error->reason);
    hive.savedText = std::move(*text);
}

// Keeps a damaged file under a new name, so nothing the user had is lost, and goes on with what
// could be read from it.
void CRegistry::SetHiveAside(Hive& hive, const std::string& reason) {
    const std::string aside = platform::MoveDamagedAside(hive.path);
    if (aside.empty()) {
        Warn("the settings file " + hive.path + " is damaged (" + reason +
             ") and could not be moved aside; changes to its settings are not saved");
        hive.readOnly = true;
    }
    platform::ReportDamagedFile(hive.path, aside, "settings file damaged: " + reason);
}

bool CRegistry::SaveHive(Hive& hive, const std::string& text) {
    if (platform::MakePrivateFolder(ResolvedFolder()) &&
        platform::WriteFileAtomically(hive.path, text))
        return true;
    platform::ReportSaveFailure(hive.path, errno);
    return false;
}

// Applies edit to the hive's root and writes the hive. An edit checks everything before it
// changes anything and returns false when it changed nothing.
template <typename Edit> bool CRegistry::Change(HKEY root, Edit edit) {
    std::lock_guard lock(m_mutex);
    Hive* hive = GetHive(root);
    if (!hive || hive->readOnly || !edit(*hive->root))
        return false;
    auto text = platform::FormatRegFile(*hive->root);
    if (text && *text == hive->savedText)
        return true;
    if (text && SaveHive(*hive, *text)) {
        hive->savedText = std::move(*text);
        return true;
    }
    // Go back to what the file holds, so the store never shows a change that was not stored.
    hive->root = std::make_unique<CRegKey>();
    platform::ParseRegFile(hive->savedText, *hive->root);
    return false;
}

// Calls read with the key at path, or with nullptr when there is none.
template <typename Read> auto CRegistry::Inspect(HKEY root, const std::string& path, Read read) {
    std::lock_guard lock(m_mutex);
    const auto names = platform::SplitKeyPath(path);
    Hive* hive = names ? GetHive(root) : nullptr;
    return read(hive ? FindKeyPath(*hive->root, *names, names->size()) : nullptr);
}

bool CRegistry::KeyExists(HKEY root, const std::string& path) {
    return Inspect(root, path, [](const CRegKey* key) { return key != nullptr; });
}

bool CRegistry::CreateKey(HKEY root, const std::string& path) {
    const auto names = platform::SplitKeyPath(path);
    return names && Change(root, [&](CRegKey& top) {
               CreateKeyPath(top, *names);
               return true;
           });
}

bool CRegistry::DeleteKey(HKEY root, const std::string& path) {
    const auto names = platform::SplitKeyPath(path);
    if (!names || names->empty())
        return false;
    return Change(root, [&](CRegKey& top) {
        CRegKey* parent = FindKeyPath(top, *names, names->size() - 1);
        return parent && parent->DeleteSubkey(names->back());
    });
}

std::vector<std::string> CRegistry::EnumKeys(HKEY root, const std::string& path) {
    return Inspect(root, path, [](const CRegKey* key) {
        std::vector<std::string> names;
        for (const CRegKey* sub : key ? key->Subkeys() : std::vector<const CRegKey*>())
            names.push_back(sub->Name());
        return names;
    });
}

std::vector<std::string> CRegistry::EnumValues(HKEY root, const std::string& path) {
    return Inspect(root, path, [](const CRegKey* key) {
        std::vector<std::string> names;
        if (key) {
            for (const auto& [name, value] : key->Values())
                names.push_back(*name);
        }
        return names;
    });
}

bool CRegistry::SetValue(HKEY root, const std::string& path, const std::string& name,
                         const RegValue& value) {
    const auto names = platform::SplitKeyPath(path);
    if (!names || (value.type == REG_DWORD && value.data.size() != 4))
        return false;
    return Change(root, [&](CRegKey& top) {
        CreateKeyPath(top, *names).SetValue(name, value);
        return true;
    });
}

bool CRegistry::SetString(HKEY root, const std::string& path, const std::string& name,
                          const std::string& text) {
    return SetValue(root, path, name, RegValue{REG_SZ, text});
}

bool CRegistry::SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    return SetValue(root, path, name, RegValue{REG_DWORD, platform::DwordToBytes(value)});
}

bool CRegistry::SetBinary(HKEY root, const std::string& path, const std::string& name,
                          const std::string& bytes) {
    return SetValue(root, path, name, RegValue{REG_BINARY, bytes});
}

std::optional<RegValue> CRegistry::QueryValue(HKEY root, const std::string& path,
                                              const std::string& name) {
    return Inspect(root, path, [&name](const CRegKey* key) -> std::optional<RegValue> {
        const RegValue* value = key ? key->FindValue(name) : nullptr;
        return value ? std::optional<RegValue>(*value) : std::nullopt;
    });
}

std::optional<std::string> CRegistry::QueryString(HKEY root, const std::string& path,
                                                  const std::string& name) {
    auto value = QueryValue(root, path, name);
    return value && value->type == REG_SZ ? std::optional(std::move(value->data)) : std::nullopt;
}

std::optional<DWORD> CRegistry::QueryDword(HKEY root, const std::string& path,
                                           const std::string& name) {
    const auto value = QueryValue(root, path, name);
    if (!value || value->type != REG_DWORD || value->data.size() != 4)
        return std::nullopt;
    return platform::BytesToDword(value->data);
}

std::optional<std::string> CRegistry::QueryBinary(HKEY root, const std::string& path,
                                                  const std::string& name) {
    auto value = QueryValue(root, path, name);
    return value && value->type == REG_BINARY ? std::optional(std::move(value->data))
                                              : std::nullopt;
}

bool CRegistry::DeleteValue(HKEY root, const std::string& path, const std::string& name) {
    const auto names = platform::SplitKeyPath(path);
    return names && Change(root, [&](CRegKey& top) {
               CRegKey* key = FindKeyPath(top, *names, names->size());
               return key && key->DeleteValue(name);
           });
}
