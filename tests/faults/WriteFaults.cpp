// Preloaded into the player by the save fault test (LD_PRELOAD): fails one call of those that
// write the files under given folders, as a full or failing disk would. CORVELLA_FAULT_PREFIXES:
// the folders, separated by ':'; CORVELLA_FAULT_AT: which counted call fails (1 is the first);
// CORVELLA_FAULT_ERRNO: the error it fails with (ENOSPC when unset).
// Counted: opening for writing (open, openat, mkstemp), rename, and write and fsync on a file so
// opened. The failed call is named on standard error.
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
    if (!path || !prefixes)
        return false;
    const std::string list = std::string(prefixes) + ":";
    for (std::size_t start = 0, end; (end = list.find(':', start)) != std::string::npos;
         start = end + 1) {
        if (end > start && std::strncmp(path, list.data() + start, end - start) == 0)
            return true;
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

// True when fd is a counted file's and this call on it is the one to fail.
bool FailsOn(const char* call, int fd) {
    return fd >= 0 && fd < kMaxTracked && g_tracked[fd].load() &&
           FailNow(call, std::to_string(fd).c_str());
}

// Opens through open() unless this opening for writing is the one to fail; remembers whether
// the descriptor's writes count.
template <typename Open> int OpenCounted(const char* call, const char* path, int flags, Open open) {
    const bool counted = (flags & (O_WRONLY | O_RDWR | O_CREAT)) && Below(path);
    if (counted && FailNow(call, path))
        return -1;
    const int fd = open();
    if (fd >= 0 && fd < kMaxTracked)
        g_tracked[fd] = counted;
    return fd;
}

} // namespace

extern "C" {

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? mode_t(va_arg(args, int)) : 0;
    va_end(args);
    static auto real = Next<int (*)(int, const char*, int, ...)>("openat");
    return OpenCounted("open", path, flags, [&] { return real(dir, path, flags, mode); });
}

// The same calls on this system, counted once through the ones here.
int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? mode_t(va_arg(args, int)) : 0;
    va_end(args);
    return openat(AT_FDCWD, path, flags, mode);
}
int open64(const char* path, int flags, ...) __attribute__((alias("open")));

int mkstemp(char* tmpl) {
    static auto real = Next<int (*)(char*)>("mkstemp");
    return OpenCounted("mkstemp", tmpl, O_CREAT, [&] { return real(tmpl); });
}

int mkstemp64(char* tmpl) __attribute__((alias("mkstemp")));

ssize_t write(int fd, const void* data, size_t size) {
    static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    return FailsOn("write", fd) ? -1 : real(fd, data, size);
}

int fsync(int fd) {
    static auto real = Next<int (*)(int)>("fsync");
    return FailsOn("fsync", fd) ? -1 : real(fd);
}

int close(int fd) {
    static auto real = Next<int (*)(int)>("close");
    if (fd >= 0 && fd < kMaxTracked)
        g_tracked[fd] = false;
    return real(fd);
}

int rename(const char* from, const char* to) {
    static auto real = Next<int (*)(const char*, const char*)>("rename");
    return (Below(from) || Below(to)) && FailNow("rename", to) ? -1 : real(from, to);
}

} // extern "C"
