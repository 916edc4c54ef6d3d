#include "shell/InstanceObjects.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <semaphore.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace shell {

namespace {

constexpr std::size_t kTokenLength = 32;

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? WithoutTrailingSlashes(value) : std::string();
}

// Creates folder (mode 0700) unless it exists; true when it is then a private folder of ours.
bool MakePrivateFolder(const std::string& folder) {
    ::mkdir(folder.c_str(), 0700);
    return IsPrivateFolder(folder);
}

std::string ReadSmallFile(int fd) {
    char buf[4096];
    const ssize_t n = ::pread(fd, buf, sizeof buf, 0);
    return n > 0 ? std::string(buf, std::size_t(n)) : std::string();
}

// A fresh folder with a random name in the temporary folder, nobody else's to enter.
std::string MakeRandomFolder() {
    std::string tmp = AbsoluteEnv("TMPDIR");
    std::string pattern = (tmp.empty() ? std::string("/tmp") : tmp) + "/corvella-" +
                          std::to_string(::getuid()) + "-XXXXXX";
    if (!::mkdtemp(pattern.data()) || !IsPrivateFolder(pattern))
        return {};
    return pattern;
}

// The fallback folder the note names, made anew when it is gone or no longer private. The
// note is locked meanwhile, so simultaneous starts agree on one folder.
std::optional<std::string> FallbackRuntimeFolder() {
    // The note lives in the user's cache folder.
    const std::string notes = PrivateCacheFolder();
    if (notes.empty())
        return std::nullopt;
    CFileLock note;
    if (!note.Open(notes + "/runtime-folder") || !note.Lock())
        return std::nullopt;
    const int fd = ::open((notes + "/runtime-folder").c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    std::string folder = fd >= 0 ? ReadSmallFile(fd) : std::string();
    if (fd >= 0)
        ::close(fd);
    if (folder.starts_with('/') && folder.find('\n') == std::string::npos &&
        IsPrivateFolder(folder))
        return folder;
    folder = MakeRandomFolder();
    if (folder.empty() || !note.Write(folder))
        return std::nullopt;
    return folder;
}

bool IsToken(const std::string& text) {
    return text.size() == kTokenLength &&
           text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

} // namespace

bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

std::string PrivateCacheFolder() {
    std::string cache = AbsoluteEnv("XDG_CACHE_HOME");
    if (cache.empty()) {
        const std::string home = AbsoluteEnv("HOME");
        if (home.empty())
            return {};
        cache = home + "/.cache";
    }
    ::mkdir(cache.c_str(), 0700);
    const std::string folder = cache + "/corvella";
    return MakePrivateFolder(folder) ? folder : std::string();
}

std::optional<std::string> ResolveRuntimeFolder() {
    if (const std::string folder = AbsoluteEnv("XDG_RUNTIME_DIR");
        !folder.empty() && IsPrivateFolder(folder))
        return folder;
    return FallbackRuntimeFolder();
}

InstanceNames MakeInstanceNames(const std::string& identifier, const std::string& runtimeFolder) {
    InstanceNames names;
    names.strFolder = runtimeFolder;
    names.strAliveLock = runtimeFolder + "/corvella-" + identifier + ".lock";
    names.strSetupLock = runtimeFolder + "/corvella-" + identifier + ".setup.lock";
    names.strHandOverPrefix = "corvella-" + identifier + "-cmdline-";
    const std::string token = ReadObjectToken(names.strAliveLock);
    return WithObjectToken(std::move(names), identifier, token);
}

InstanceNames WithObjectToken(InstanceNames names, const std::string& identifier,
                              const std::string& token) {
    const std::string scope = "/corvella-" + std::to_string(::getuid()) + "-" + token + "-";
    names.strMapping = scope + identifier + "-Data-Mapping-File";
    names.strMutex = scope + identifier + "-Data-Mapping-Mutex";
    names.strEvent = scope + identifier + "-Event";
    return names;
}

std::string NewObjectToken() {
    unsigned char bytes[kTokenLength / 2];
    if (::getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes))
        return {};
    std::string token;
    for (unsigned char b : bytes) {
        token += "0123456789abcdef"[b >> 4];
        token += "0123456789abcdef"[b & 15];
    }
    return token;
}

std::string ReadObjectToken(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    const std::string text = ReadSmallFile(fd);
    ::close(fd);
    return IsToken(text) ? text : std::string();
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
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    struct stat st {};
    if (m_fd >= 0 && (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()))
        Close();
    // A file left behind by a killed instance keeps its mode; it holds the objects' token.
    if (m_fd >= 0 && (st.st_mode & 077) != 0 && ::fchmod(m_fd, 0600) != 0)
        Close();
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

bool CFileLock::Write(const std::string& text) {
    return m_fd >= 0 && ::ftruncate(m_fd, 0) == 0 &&
           ::pwrite(m_fd, text.data(), text.size(), 0) == ssize_t(text.size());
}

} // namespace shell
