#include "platform/FileSystem.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace platform {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

FileStatus StatusFrom(const struct stat& st) {
    FileStatus s;
    s.size = std::uint64_t(st.st_size);
    s.modified = std::int64_t(st.st_mtime);
    s.isDirectory = S_ISDIR(st.st_mode);
    s.isRegularFile = S_ISREG(st.st_mode);
    s.accessed = std::int64_t(st.st_atime);
    s.changed = std::int64_t(st.st_ctime);
    s.device = std::uint64_t(st.st_dev);
    s.inode = std::uint64_t(st.st_ino);
    return s;
}

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

} // namespace

std::optional<FileStatus> GetFileStatus(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return StatusFrom(st);
}

bool IsDirectory(const std::string& path) {
    auto st = GetFileStatus(path);
    return st && st->isDirectory;
}

bool FileExists(const std::string& path) {
    return GetFileStatus(path).has_value();
}

bool IsUnreadableFile(const std::string& path) {
    const auto status = GetFileStatus(path);
    return status && status->isRegularFile && ::access(path.c_str(), R_OK) != 0;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
    // Iterative wildcard match with one backtrack point: linear in practice, never recursive.
    std::size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<FolderEntry> ListFolder(const std::string& folder, const std::string& pattern) {
    std::vector<FolderEntry> entries;
    ListFolderInto(folder, pattern, entries);
    return entries;
}

ListStatus ListFolderInto(const std::string& folder, const std::string& pattern,
                          std::vector<FolderEntry>& entries, ListDetail detail) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return ListStatus::CannotOpen;
    const int dirFd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        dirent* d = ::readdir(dir);
        if (!d)
            break;
        std::string name = d->d_name;
        if (name == "." || name == ".." || !MatchesPattern(name, pattern))
            continue;
        FolderEntry e;
        e.name = std::move(name);
        // The entry's type from the folder itself saves a status call per file.
        if (detail == ListDetail::Kinds && (d->d_type == DT_REG || d->d_type == DT_DIR)) {
            e.isDirectory = d->d_type == DT_DIR;
            e.isRegularFile = d->d_type == DT_REG;
            entries.push_back(std::move(e));
            continue;
        }
        struct stat st {};
        if (::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
            e.isSymlink = true;
            if (::fstatat(dirFd, d->d_name, &st, 0) != 0)
                st = {}; // a dangling link is listed as an empty file
        }
        const FileStatus status = StatusFrom(st);
        e.isDirectory = status.isDirectory;
        e.isRegularFile = status.isRegularFile;
        e.size = status.size;
        e.modified = status.modified;
        e.accessed = status.accessed;
        e.changed = status.changed;
        entries.push_back(std::move(e));
    }
    const bool failed = errno != 0;
    ::closedir(dir);
    return failed ? ListStatus::ReadFailed : ListStatus::Listed;
}

std::string GetCurrentFolder() {
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

bool SetCurrentFolder(const std::string& folder) {
    return ::chdir(folder.c_str()) == 0;
}

std::optional<std::string> GetMimeDescription(const std::string& path) {
    if (!FileExists(path))
        return std::nullopt;
    // The type follows from the name alone, so equal extensions share one lookup: reading a
    // long playlist then costs one database query per kind of file, not per file.
    static std::mutex mutex;
    static std::unordered_map<std::string, std::string> byExtension;
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string key = hasExtension ? path.substr(dot) : std::string();
    std::lock_guard lock(mutex);
    if (hasExtension) {
        if (auto it = byExtension.find(key); it != byExtension.end())
            return it->second;
    }
    static QMimeDatabase db;
    const QString qpath = QString::fromUtf8(path.data(), qsizetype(path.size()));
    const QMimeType type = db.mimeTypeForFile(qpath, QMimeDatabase::MatchExtension);
    std::string text = type.comment().toStdString();
    if (text.empty())
        text = type.name().toStdString();
    if (hasExtension && byExtension.size() < 4096)
        byExtension.emplace(key, text);
    return text;
}

bool ShellOpen(const std::string& urlOrPath) {
    QString text = QString::fromStdString(urlOrPath);
    QUrl url = urlOrPath.starts_with('/') ? QUrl::fromLocalFile(text) : QUrl(text);
    return url.isValid() && QDesktopServices::openUrl(url);
}

namespace {

constexpr const char kTemporaryMark[] = ".tmp-";
constexpr std::size_t kTemporarySuffixLength = 6; // the XXXXXX mkstemp fills in

// A rename is only durable once the folder that records it is on disk too.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC; // nothing written and no reason given: the disk took no more
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const std::string& path, const std::string& data) {
    RemoveStaleTemporaries(path);
    std::string tmpl = path + kTemporaryMark + "XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    // The lock tells a cleaner in another process that this temporary is still being written;
    // it goes with the process, so the file of a killed writer is free to remove.
    ::flock(fd, LOCK_EX);
    // Keep the permissions of the file being replaced; a new file stays as private as its folder.
    struct stat st {};
    mode_t mode = 0644;
    if (::stat(path.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    else if (::stat(FolderOf(path).c_str(), &st) == 0 && (st.st_mode & 077) == 0)
        mode = 0600;
    ::fchmod(fd, mode);
    bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = ok && ::rename(tmpl.c_str(), path.c_str()) == 0;
    const int error = errno; // the cleanup below must not hide why the write failed
    ::close(fd);
    if (ok)
        SyncFolder(FolderOf(path));
    else
        ::unlink(tmpl.c_str());
    errno = ok ? 0 : error;
    return ok;
}

bool MakePrivateFolder(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    if (st.st_uid == ::getuid() && (st.st_mode & 077) != 0)
        ::chmod(folder.c_str(), st.st_mode & 07700);
    return true;
}

std::string MoveDamagedAside(const std::string& path) {
    const std::string base = path + ".damaged-" + std::to_string(std::time(nullptr));
    std::string aside = base;
    for (int n = 1; FileExists(aside) && n < 100; ++n)
        aside = base + "-" + std::to_string(n);
    if (FileExists(aside) || ::rename(path.c_str(), aside.c_str()) != 0)
        return {};
    return aside;
}

int RemoveStaleTemporaries(const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::string prefix = path.substr(path.rfind('/') + 1) + kTemporaryMark;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + kTemporarySuffixLength || !name.starts_with(prefix))
            continue;
        const std::string full = folder + "/" + name;
        const int fd = ::open(full.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {};
        // Only a regular file nobody holds locked is a leftover of an interrupted write.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::unlink(full.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

std::string UserDataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string folder;
    // Relative values are invalid by the base-directory rules and are ignored.
    if (xdg && xdg[0] == '/')
        folder = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        folder = std::string(home) + "/.local/share";
    while (folder.size() > 1 && folder.ends_with('/'))
        folder.pop_back();
    return folder;
}

namespace {

// Reads a regular file opened with the flags; past maxBytes it fails, or with `cut` it stops.
std::optional<std::string> ReadRegularFile(const std::string& path, int flags,
                                           std::uint64_t maxBytes, bool cut) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        (!cut && std::uint64_t(st.st_size) > maxBytes)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data;
    data.reserve(std::size_t(std::min<std::uint64_t>(std::uint64_t(st.st_size), maxBytes)));
    char buf[65536];
    ssize_t n = 0;
    while (!cut || data.size() < maxBytes) {
        n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data.append(buf, std::size_t(n));
        if (!cut && data.size() > maxBytes) {
            n = -1; // grew past the limit while it was read
            break;
        }
    }
    ::close(fd);
    if (n < 0)
        return std::nullopt;
    if (data.size() > maxBytes)
        data.resize(std::size_t(maxBytes));
    return data;
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    return ReadRegularFile(path, 0, maxBytes, false);
}

std::optional<std::string> ReadFileStart(const std::string& path, std::size_t maxBytes) {
    return ReadRegularFile(path, O_NONBLOCK, maxBytes, true);
}

std::string GetProgramPath() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, std::size_t(n)) : std::string();
}

std::string GetProgramFolder() {
    static const std::string folder = [] {
        if (const char* env = ::getenv("CORVELLA_PROGRAM_FOLDER"); env && *env) {
            std::string f = env;
            return f.ends_with('/') ? f : f + "/";
        }
        std::string exeDir = FolderOf(GetProgramPath());
        // Installed layout: <prefix>/bin/corvella with its data in <prefix>/share/corvella/.
        if (exeDir.ends_with("/bin")) {
            std::string shared = exeDir.substr(0, exeDir.size() - 4) + "/share/corvella";
            if (IsDirectory(shared))
                return shared + "/";
        }
        return exeDir + "/";
    }();
    return folder;
}

} // namespace platform
