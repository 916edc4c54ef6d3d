// Preloaded into the player by the save fault test (LD_PRELOAD): fails one call of those that
// write the files under given folders, as a full or failing disk would.
//
//   CORVELLA_FAULT_PREFIXES  folders, separated by ':'; only files below them count
//   CORVELLA_FAULT_AT        which counted call fails (1 is the first)
//   CORVELLA_FAULT_ERRNO     the error it fails with (ENOSPC when unset)
//
// Counted are: opening a file for writing (open, openat, mkstemp), rename, and write and fsync
// on a file so opened. The failed call is named on standard error, so the test knows a fault
// was injected.
#undef _FORTIFY_SOURCE // its inline wrappers of open would stand in the way of ours
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr int kMaxTracked = 4096;
std::atomic<bool> g_tracked[kMaxTracked]; // descriptors of counted files
std::atomic<long> g_calls{0};

template <typename F> F Next(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

bool Below(const char* path) {
    const char* prefixes = std::getenv("CORVELLA_FAULT_PREFIXES");
    if (!path || !prefixes || !*prefixes)
        return false;
    std::string list = prefixes;
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string prefix = list.substr(start, end - start);
        if (!prefix.empty() && std::strncmp(path, prefix.c_str(), prefix.size()) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// True when this counted call is the one to fail; errno is then set.
bool FailNow(const char* call, const char* what) {
    const char* at = std::getenv("CORVELLA_FAULT_AT");
    if (!at || g_calls.fetch_add(1) + 1 != std::atol(at))
        return false;
    const char* code = std::getenv("CORVELLA_FAULT_ERRNO");
    const int error = code ? std::atoi(code) : ENOSPC;
    std::fprintf(stderr, "write fault injected: %s %s (%s)\n", call, what, std::strerror(error));
    errno = error;
    return true;
}

bool Tracked(int fd) {
    return fd >= 0 && fd < kMaxTracked && g_tracked[fd].load();
}

int Track(int fd, bool counted) {
    if (fd >= 0 && fd < kMaxTracked)
        g_tracked[fd] = counted;
    return fd;
}

bool Writing(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT)) != 0;
}

int OpenCounted(const char* name, const char* path, int flags, mode_t mode,
                int (*real)(const char*, int, ...)) {
    const bool counted = Writing(flags) && Below(path);
    if (counted && FailNow(name, path))
        return -1;
    return Track(real(path, flags, mode), counted);
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? mode_t(va_arg(args, int)) : 0;
    va_end(args);
    static auto real = Next<int (*)(const char*, int, ...)>("open");
    return OpenCounted("open", path, flags, mode, real);
}

// The same call on this system: counted once, through open.
int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int mode = (flags & O_CREAT) ? va_arg(args, int) : 0;
    va_end(args);
    return open(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? mode_t(va_arg(args, int)) : 0;
    va_end(args);
    static auto real = Next<int (*)(int, const char*, int, ...)>("openat");
    const bool counted = Writing(flags) && Below(path);
    if (counted && FailNow("openat", path))
        return -1;
    return Track(real(dir, path, flags, mode), counted);
}

int mkstemp(char* tmpl) {
    static auto real = Next<int (*)(char*)>("mkstemp");
    const bool counted = Below(tmpl);
    if (counted && FailNow("mkstemp", tmpl))
        return -1;
    return Track(real(tmpl), counted);
}

int mkstemp64(char* tmpl) {
    return mkstemp(tmpl);
}

ssize_t write(int fd, const void* data, size_t size) {
    static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    if (Tracked(fd) && FailNow("write", std::to_string(fd).c_str()))
        return -1;
    return real(fd, data, size);
}

int fsync(int fd) {
    static auto real = Next<int (*)(int)>("fsync");
    if (Tracked(fd) && FailNow("fsync", std::to_string(fd).c_str()))
        return -1;
    return real(fd);
}

int close(int fd) {
    static auto real = Next<int (*)(int)>("close");
    Track(fd, false);
    return real(fd);
}

int rename(const char* from, const char* to) {
    static auto real = Next<int (*)(const char*, const char*)>("rename");
    if ((Below(from) || Below(to)) && FailNow("rename", to))
        return -1;
    return real(from, to);
}

} // extern "C"
