#include "shell/SharedCmdLine.h"

#include "platform/Log.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kReferenceMark = '@';
// A holder that keeps the mutex this long has died holding it; the lock then passes on, as a
// named mutex whose owner ended does.
constexpr int kAbandonedAfterSeconds = 5;

// Repeats a read or write step (given the bytes moved so far) until size bytes have moved, the
// data ends or an error occurs; the number of bytes moved.
template <typename Step> std::size_t MoveAll(std::size_t size, Step step) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = step(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    return done;
}

bool WriteAll(int fd, const std::string& data) {
    return MoveAll(data.size(), [&](std::size_t done) {
               return ::write(fd, data.data() + done, data.size() - done);
           }) == data.size();
}

} // namespace

CSharedCmdLine::~CSharedCmdLine() {
    Close(false);
}

void CSharedCmdLine::Close(bool bRemove) {
    if (m_pView)
        ::munmap(m_pView, kBlockSize);
    if (m_hMapping >= 0)
        ::close(m_hMapping);
    if (m_hMutex != SEM_FAILED)
        ::sem_close(m_hMutex);
    if (bRemove) {
        ::shm_unlink(m_names.strMapping.c_str());
        ::sem_unlink(m_names.strMutex.c_str());
    }
    m_pView = nullptr;
    m_hMapping = -1;
    m_hMutex = SEM_FAILED;
}

bool CSharedCmdLine::Create(const shell::InstanceNames& names, bool bCreate) {
    Close(false);
    m_names = names;
    m_hMutex = bCreate ? ::sem_open(names.strMutex.c_str(), O_CREAT | O_EXCL, 0600, 1)
                       : ::sem_open(names.strMutex.c_str(), 0);
    if (m_hMutex == SEM_FAILED)
        return false;
    m_hMapping = bCreate ? ::shm_open(names.strMapping.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600)
                         : ::shm_open(names.strMapping.c_str(), O_RDWR, 0);
    struct stat st {};
    // A block of another user, or one too short to map, is not ours to use.
    bool ok = m_hMapping >= 0 && (!bCreate || ::ftruncate(m_hMapping, kBlockSize) == 0) &&
              ::fstat(m_hMapping, &st) == 0 && st.st_uid == ::getuid() &&
              st.st_size >= off_t(kBlockSize);
    void* view = ok ? ::mmap(nullptr, kBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, m_hMapping, 0)
                    : MAP_FAILED;
    if (view == MAP_FAILED) {
        // Only what this call created is removed: a name another user holds stays theirs.
        if (bCreate && m_hMapping >= 0)
            ::shm_unlink(names.strMapping.c_str());
        if (bCreate)
            ::sem_unlink(names.strMutex.c_str());
        Close(false);
        return false;
    }
    m_pView = static_cast<unsigned char*>(view);
    return true;
}

bool CSharedCmdLine::Lock() {
    timespec until{};
    ::clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += kAbandonedAfterSeconds;
    for (;;) {
        if (::sem_timedwait(m_hMutex, &until) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno == ETIMEDOUT) {
            platform::LogVerbose("single instance: taking over an abandoned command-line lock");
            return true;
        }
        return false;
    }
}

void CSharedCmdLine::Unlock() {
    ::sem_post(m_hMutex);
}

std::string CSharedCmdLine::BlockText() const {
    const void* end = std::memchr(m_pView, 0, kBlockSize);
    const std::size_t length =
        end ? std::size_t(static_cast<const unsigned char*>(end) - m_pView) : kBlockSize - 1;
    return std::string(reinterpret_cast<const char*>(m_pView), length);
}

std::string CSharedCmdLine::HandOverPath(const std::string& blockText) const {
    // Only a file of our own naming in the runtime folder is ever read or deleted.
    if (blockText.size() < 2 || blockText[0] != kReferenceMark)
        return {};
    const std::string name = blockText.substr(1);
    if (name.find('/') != std::string::npos || !name.starts_with(m_names.strHandOverPrefix))
        return {};
    return m_names.strFolder + "/" + name;
}

void CSharedCmdLine::ClearLocked() {
    // A command line waiting by reference will never be read now: delete its file.
    if (std::string path = HandOverPath(BlockText()); !path.empty())
        ::unlink(path.c_str());
    std::memset(m_pView, 0, kBlockSize);
}

bool CSharedCmdLine::WriteHandOverFile(const std::string& cmdLine, std::string& fileName) const {
    std::string path = m_names.strFolder + "/" + m_names.strHandOverPrefix + "XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC); // mode 0600
    if (fd < 0)
        return false;
    const bool ok = WriteAll(fd, cmdLine);
    if (::close(fd) != 0 || !ok) {
        ::unlink(path.c_str());
        return false;
    }
    fileName = path.substr(m_names.strFolder.size() + 1);
    return true;
}

std::string CSharedCmdLine::ReadHandOverFile(const std::string& path) const {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid() &&
        std::uint64_t(st.st_size) <= kMaxHandOverBytes) {
        text.resize(std::size_t(st.st_size));
        text.resize(MoveAll(text.size(), [&](std::size_t done) {
            return ::read(fd, text.data() + done, text.size() - done);
        }));
    }
    ::close(fd);
    return text;
}

std::string CSharedCmdLine::Prepare(const std::string& cmdLine) const {
    if (cmdLine.size() < kBlockSize)
        return cmdLine;
    std::string fileName;
    if (!WriteHandOverFile(cmdLine, fileName))
        return {};
    const std::string reference = kReferenceMark + fileName;
    if (reference.size() >= kBlockSize) { // only with an absurdly long identifier
        Withdraw(reference);
        return {};
    }
    return reference;
}

bool CSharedCmdLine::TryPut(const std::string& blockText, std::string& waiting) {
    if (!m_pView || blockText.size() >= kBlockSize || !Lock())
        return false;
    waiting = BlockText();
    const bool free = waiting.empty();
    if (free)
        std::memcpy(m_pView, blockText.data(), blockText.size());
    Unlock();
    return free;
}

void CSharedCmdLine::Withdraw(const std::string& blockText) const {
    if (const std::string path = HandOverPath(blockText); !path.empty())
        ::unlink(path.c_str());
}

bool CSharedCmdLine::Put(const std::string& cmdLine) {
    const std::string text = Prepare(cmdLine);
    std::string waiting;
    if (!text.empty() && TryPut(text, waiting))
        return true;
    Withdraw(text);
    return false;
}

std::string CSharedCmdLine::Take() {
    if (!m_pView || !Lock())
        return {};
    std::string text = BlockText();
    if (const std::string path = HandOverPath(text); !path.empty())
        text = ReadHandOverFile(path);
    ClearLocked();
    Unlock();
    return text;
}
