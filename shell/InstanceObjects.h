// Names and places of the objects that keep one running instance per user session: the shared
// block, its mutex and the wake-up event (POSIX shared memory and named semaphores), and the
// lock files in the user's private runtime folder.
//
// The object names are the instance identifier with the fixed suffixes, prefixed with the user
// id and a random token the first instance draws and records in its lock file. The token lives
// only in the private folder, so no other user can know the names in advance and take them
// first. Whether a first instance is alive is told by the lock file, never by the objects
// themselves: the kernel drops a lock when its holder dies, however it ends.
#pragma once

#include <optional>
#include <string>

namespace shell {

struct InstanceNames {
    std::string strFolder;         // the runtime folder, no trailing '/'
    std::string strMapping;        // shared memory
    std::string strMutex;          // named semaphore guarding the block
    std::string strEvent;          // named semaphore that wakes the listener
    std::string strAliveLock;      // held by the first instance for its whole life
    std::string strSetupLock;      // held while a starting process decides and sets up
    std::string strHandOverPrefix; // file name prefix of long command lines handed over
};

// True when path is a folder (not a symbolic link) of this user that nobody else may enter.
bool IsPrivateFolder(const std::string& path);

// $XDG_CACHE_HOME/corvella (else ~/.cache/corvella), made if need be; empty unless it is a
// private folder of this user.
std::string PrivateCacheFolder();

// $XDG_RUNTIME_DIR when it is a private folder of this user; else a folder made with a random
// name in the temporary folder (mode 0700, checked after creation), which later starts find
// through a note in the user's cache folder. nullopt when neither serves.
std::optional<std::string> ResolveRuntimeFolder();

// The names in runtimeFolder, with the object names of the token its lock file records (the
// running or last first instance's).
InstanceNames MakeInstanceNames(const std::string& identifier, const std::string& runtimeFolder);
// The same names with the object names of another token.
InstanceNames WithObjectToken(InstanceNames names, const std::string& identifier,
                              const std::string& token);
// 32 random hexadecimal digits; empty when the system has no randomness to give.
std::string NewObjectToken();
// The token recorded in a lock file; empty when there is none or it is malformed.
std::string ReadObjectToken(const std::string& lockPath);

// Unlinks the shared memory and both semaphores (left behind by an instance that was killed).
void RemoveInstanceObjects(const InstanceNames& names);
// Deletes hand-over files nobody will read any more.
void RemoveHandOverFiles(const InstanceNames& names);

// A lock file (flock). The descriptor is not inherited by programs started from this one, so
// the lock never outlives the process that took it.
class CFileLock {
public:
    CFileLock() = default;
    ~CFileLock() { Close(); }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Opens (creating it with mode 0600) the regular file of this user at path.
    bool Open(const std::string& path);
    bool TryLock(); // false when another process holds the lock
    bool Lock();    // waits for the lock
    void Close();   // releases the lock with the file
    // Replaces the file's content (the first instance records its token).
    bool Write(const std::string& text);

private:
    int m_fd = -1;
};

} // namespace shell
