// The registry: typed key/value settings kept in three hives, one text file each, under
// $XDG_CONFIG_HOME/corvella/ (default ~/.config/corvella/):
//
//   HKEY_CURRENT_USER   user.reg
//   HKEY_LOCAL_MACHINE  system.reg   (per user: the program has no machine-wide settings store)
//   HKEY_CLASSES_ROOT   classes.reg
//
// A hive is read on first use and written, through a temporary file and a rename, after every
// change. Key paths are backslash-separated and relative to the root; key and value names are
// matched without regard to ASCII case. A hive file that cannot be read whole as a hive is moved
// aside (user.reg.damaged-<unix time>) and reported (StoreNotices.h), and the program goes on
// with what could be read from it. A failed write is reported there too. Every operation
// reports failure through its result.
#pragma once

#include "platform/WinTypes.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// A fixed underlying type, so that any key number (a damaged or foreign value included) is a
// defined value the store can check and refuse.
enum HKEY : int { HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

// Registry value types, numbered as the system's registry numbers them.
enum : DWORD { REG_NONE = 0, REG_SZ = 1, REG_BINARY = 3, REG_DWORD = 4 };

// A value's type and data. REG_SZ: the text (UTF-8, no terminating zero); REG_DWORD: four bytes,
// little-endian; REG_BINARY and any other type: the bytes as they are.
struct RegValue {
    DWORD type = REG_NONE;
    std::string data;
    bool operator==(const RegValue&) const = default;
};

class CRegistry {
public:
    // A store over folder; an empty folder means the user's settings folder, looked up on first
    // use from XDG_CONFIG_HOME or HOME.
    explicit CRegistry(std::string folder = {});
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // The process-wide store.
    static CRegistry& Instance();

    // Forgets every hive read so far and uses folder from now on (empty: the user's settings
    // folder, looked up again). For tests.
    void Reset(const std::string& folder = {});
    std::string Folder();

    bool KeyExists(HKEY root, const std::string& path);
    // Creates the key and any missing parents; true also when it existed.
    bool CreateKey(HKEY root, const std::string& path);
    // Deletes the key with all its subkeys and values; false when it does not exist or is a root.
    bool DeleteKey(HKEY root, const std::string& path);
    // Names as first given, in name order (case ignored); empty when the key does not exist.
    std::vector<std::string> EnumKeys(HKEY root, const std::string& path);
    std::vector<std::string> EnumValues(HKEY root, const std::string& path);

    // Stores a value (name "" is the key's default value), creating the key when missing. False
    // when the name or path is not valid, a REG_DWORD is not four bytes, or the hive could not be
    // written; the store then keeps what it had before.
    bool SetValue(HKEY root, const std::string& path, const std::string& name,
                  const RegValue& value);
    bool SetString(HKEY root, const std::string& path, const std::string& name,
                   const std::string& text);
    bool SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
    bool SetBinary(HKEY root, const std::string& path, const std::string& name,
                   const std::string& bytes);

    std::optional<RegValue> QueryValue(HKEY root, const std::string& path, const std::string& name);
    // The value when it exists and has the type asked for.
    std::optional<std::string> QueryString(HKEY root, const std::string& path,
                                           const std::string& name);
    std::optional<DWORD> QueryDword(HKEY root, const std::string& path, const std::string& name);
    std::optional<std::string> QueryBinary(HKEY root, const std::string& path,
                                           const std::string& name);

    // False when the value does not exist or the hive could not be written.
    bool DeleteValue(HKEY root, const std::string& path, const std::string& name);

private:
    struct Hive;

    Hive* GetHive(HKEY root);
    void LoadHive(Hive& hive);
    void SetHiveAside(Hive& hive, const std::string& reason);
    bool SaveHive(Hive& hive, const std::string& text);
    template <typename Edit> bool Change(HKEY root, Edit edit);
    template <typename Read> auto Inspect(HKEY root, const std::string& path, Read read);
    const std::string& ResolvedFolder();

    std::mutex m_mutex;
    std::string m_strFolder; // empty until resolved
    std::unique_ptr<Hive> m_hives[3];
};
