// Names and places of the objects that keep one running instance per user session: the shared
// block, its mutex and the wake-up event (POSIX shared memory and named semaphores), and the
// lock files in the user's runtime folder.
//
// The object names are the instance identifier with the fixed suffixes, prefixed with the
// user id and a hash of the runtime folder, so every user and session has its own set. Whether
// a first instance is alive is told by the lock file, never by the objects themselves: the
// kernel drops a lock when its holder dies, however it ends.
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

// $XDG_RUNTIME_DIR when it is a folder of this user, else /tmp/corvella-<uid> (created with
// mode 0700 and refused unless it is a private folder of this user). nullopt, with a warning,
// when neither serves.
std::optional<std::string> ResolveRuntimeFolder();

InstanceNames MakeInstanceNames(const std::string& identifier, const std::string& runtimeFolder);

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

    // Opens (creating it with mode 0600) the file at path.
    bool Open(const std::string& path);
    bool TryLock(); // false when another process holds the lock
    bool Lock();    // waits for the lock
    void Close();   // releases the lock with the file

private:
    int m_fd = -1;
};

} // namespace shell
