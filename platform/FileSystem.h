// File-system and shell services: everything the program asks of files and folders goes
// through these functions, so the rest of the program stays free of system headers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FileStatus {
    std::uint64_t size = 0;
    std::int64_t modified = 0; // seconds since 1970-01-01 00:00 UTC
    bool isDirectory = false;
    bool isRegularFile = false; // not a folder, FIFO, socket or device
    std::int64_t accessed = 0;
    std::int64_t changed = 0; // last status change; Linux keeps no portable creation time
    // Identity of the file on its file system: equal for every path (link, bind mount) that
    // reaches the same file, so folder walks can tell a folder they have already been in.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

struct FolderEntry {
    std::string name; // the entry's name alone, no folder part
    bool isDirectory = false;
    bool isRegularFile = false; // of the link's target for a symbolic link
    bool isSymlink = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
    std::int64_t changed = 0;
};

enum class ListStatus {
    Listed,     // every entry was read
    CannotOpen, // missing, not a folder, or not readable: nothing listed
    ReadFailed, // reading stopped part-way; the entries read so far are kept
};

// Status of a file or folder (symbolic links are followed); nullopt when it cannot be read.
std::optional<FileStatus> GetFileStatus(const std::string& path);

bool IsDirectory(const std::string& path);
bool FileExists(const std::string& path); // a file or a folder
// A regular file that is there but that this user may not read (its permissions say no).
bool IsUnreadableFile(const std::string& path);

// Entries of a folder whose names match a pattern of '*' and '?' (case ignored);
// "." and ".." are never listed. An unreadable folder gives an empty list.
std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& pattern = "*");
enum class ListDetail {
    Full,  // every field of FolderEntry
    Kinds, // names and isDirectory only (symbolic links still followed): no status per file
};

// As ListFolder, appending to entries and telling why a listing is empty or short.
ListStatus ListFolderInto(const std::string& folder, const std::string& pattern,
                          std::vector<FolderEntry>& entries, ListDetail detail = ListDetail::Full);

// Matches '*' and '?' against a name without regard to ASCII case.
bool MatchesPattern(const std::string& name, const std::string& pattern);

std::string GetCurrentFolder();
bool SetCurrentFolder(const std::string& folder);

// Human-readable description of the file's type ("MP3 audio"), from the shared MIME database.
// nullopt when the file cannot be read.
std::optional<std::string> GetMimeDescription(const std::string& path);

// Opens a URL, or a local file with its desktop application. False when nothing handled it.
bool ShellOpen(const std::string& urlOrPath);

// Writes data to path through a temporary file beside it and a rename, so the old file stays
// intact when anything fails; the folder is synced after the rename. Leftover temporaries of
// earlier, interrupted writes to path are removed first. A replaced file keeps its permissions;
// a new one is 0600 in a folder only the user may enter, else 0644. False on failure, with
// errno saying why.
bool WriteFileAtomically(const std::string& path, const std::string& data);

// Creates folder and its missing parents with mode 0700, whatever the umask, and makes folder
// itself 0700 when it belongs to the user: the program's own folders keep what the user
// listens to and sets private. False when folder is not a folder afterwards.
bool MakePrivateFolder(const std::string& folder);

// Renames a damaged file to path.damaged-<time>[-n], a name no save uses, so what it held is
// kept. Returns the new name; empty when the file stays where it was.
std::string MoveDamagedAside(const std::string& path);

// Removes the temporaries (path.tmp-XXXXXX) that writers of path killed mid-write left beside
// it; one still being written by a live process is kept. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& path);

// Reads a whole file, refusing files larger than maxBytes. nullopt on failure.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         std::uint64_t maxBytes = 256u << 20);
// Reads at most the first maxBytes of a regular file, without waiting in the open (a FIFO or
// a device is refused). nullopt on failure.
std::optional<std::string> ReadFileStart(const std::string& path, std::size_t maxBytes);

// The user's data folder ($XDG_DATA_HOME, else ~/.local/share), without a trailing '/'.
std::string UserDataHome();

// The folder that holds the program's data (language files, skin folder, tips): the
// executable's folder in a build tree, <prefix>/share/corvella/ once installed. Ends with '/'.
std::string GetProgramFolder();
// Full path of the running executable.
std::string GetProgramPath();

} // namespace platform
