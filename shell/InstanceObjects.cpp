#include "shell/InstanceObjects.h"

#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <semaphore.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace shell {

namespace {

bool IsPrivateFolderOfUser(const std::string& path, bool requirePrivate) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    return !requirePrivate || (st.st_mode & 077) == 0;
}

// FNV-1a: a hash that stays the same across builds, so every build finds the same objects.
std::uint32_t StableHash(const std::string& text) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

} // namespace

std::optional<std::string> ResolveRuntimeFolder() {
    if (const char* env = std::getenv("XDG_RUNTIME_DIR"); env && env[0] == '/') {
        std::string folder = env;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        if (IsPrivateFolderOfUser(folder, false))
            return folder;
    }
    const std::string fallback = "/tmp/corvella-" + std::to_string(::getuid());
    ::mkdir(fallback.c_str(), 0700);
    if (IsPrivateFolderOfUser(fallback, true))
        return fallback;
    platform::LogWarning("no private runtime folder: " + fallback +
                         " exists but is not a private folder of this user");
    return std::nullopt;
}

InstanceNames MakeInstanceNames(const std::string& identifier, const std::string& runtimeFolder) {
    char scope[64];
    std::snprintf(scope, sizeof scope, "/corvella-%u-%08x-", unsigned(::getuid()),
                  unsigned(StableHash(runtimeFolder)));
    InstanceNames names;
    names.strFolder = runtimeFolder;
    names.strMapping = scope + identifier + "-Data-Mapping-File";
    names.strMutex = scope + identifier + "-Data-Mapping-Mutex";
    names.strEvent = scope + identifier + "-Event";
    names.strAliveLock = runtimeFolder + "/corvella-" + identifier + ".lock";
    names.strSetupLock = runtimeFolder + "/corvella-" + identifier + ".setup.lock";
    names.strHandOverPrefix = "corvella-" + identifier + "-cmdline-";
    return names;
}

void RemoveInstanceObjects(const InstanceNames& names) {
    ::shm_unlink(names.strMapping.c_str());
    ::sem_unlink(names.strMutex.c_str());
    ::sem_unlink(names.strEvent.c_str());
}

void RemoveHandOverFiles(const InstanceNames& names) {
    for (const auto& entry : platform::ListFolder(names.strFolder, names.strHandOverPrefix + "*")) {
        if (!entry.isDirectory)
            ::unlink((names.strFolder + "/" + entry.name).c_str());
    }
}

bool CFileLock::Open(const std::string& path) {
    Close();
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    return m_fd >= 0;
}

bool CFileLock::TryLock() {
    return m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

bool CFileLock::Lock() {
    if (m_fd < 0)
        return false;
    int rc;
    while ((rc = ::flock(m_fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    return rc == 0;
}

void CFileLock::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace shell
