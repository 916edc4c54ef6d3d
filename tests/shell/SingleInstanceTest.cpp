// Separate instance objects in this process, each with its own lock file, meet as two processes do.
#include "shell/SingleInstance.h"
#include "shell/CommandLineText.h"
#include "shell/InstanceObjects.h"
#include "shell/SharedCmdLine.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ClockWait.h"
#include "tests/support/Unprivileged.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageQueue.h"
#include "platform/RegisteredMessages.h"
#include "platform/WinApp.h"
#include "res/StringTable.h"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using shelltest::ScopedEnv;

namespace {

const std::string kIdentifier = res::LoadString(147);

// Records the command lines it is handed; the listener hangs while the test holds gate. Its
// object-name tokens are those of m_tokens first, then drawn as usual.
class CRecordingInstance : public CSingleInstance {
public:
    ~CRecordingInstance() override { Release(); }

    void OnOtherInstanceCall(const std::string& cmdLine) override {
        {
            std::lock_guard lock(m_mutex);
            m_calls.push_back(cmdLine);
        }
        std::lock_guard wait(gate);
    }
    // The n-th forwarded command line (from 0), once it has arrived within limitMs.
    std::optional<std::string> WaitForCall(std::size_t n, int limitMs = 20000) {
        for (int ms = 0; ms < limitMs; ms += 10) {
            if (std::lock_guard lock(m_mutex); m_calls.size() > n)
                return m_calls[n];
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }

    std::mutex gate;
    std::vector<std::string> m_tokens;

protected:
    std::string NewToken() override {
        if (m_tokens.empty())
            return CSingleInstance::NewToken();
        std::string token = m_tokens.front();
        m_tokens.erase(m_tokens.begin());
        return token;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_calls;
};

void UseCommandLine(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"corvella"};
    for (const auto& a : args)
        argv.push_back(a.c_str());
    shell::SetCommandLine(int(argv.size()), argv.data());
}

int SemaphoreValue(const std::string& name) {
    sem_t* sem = ::sem_open(name.c_str(), 0);
    int value = -1;
    if (sem != SEM_FAILED)
        ::sem_getvalue(sem, &value), ::sem_close(sem);
    return value;
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void TearDown() override {
        UseCommandLine({});
        shell::RemoveInstanceObjects(m_names);
        shell::RemoveInstanceObjects(Running());
    }

    // The names of the objects the first instance recorded in its lock file.
    shell::InstanceNames Running() const {
        return shell::MakeInstanceNames(kIdentifier, m_runtime.Path());
    }
    // A later start with these arguments; the command line the first instance got as its n-th.
    static std::optional<std::string>
    StartLater(CRecordingInstance& first, const std::vector<std::string>& args, std::size_t n = 0) {
        UseCommandLine(args);
        CRecordingInstance later;
        EXPECT_FALSE(later.Create(kIdentifier));
        EXPECT_TRUE(later.OtherInstanceRuns());
        return first.WaitForCall(n);
    }
    static std::string Joined(const std::vector<std::string>& args) {
        return shell::JoinCommandLine(platform::GetProgramPath(), args);
    }
    std::vector<std::string> HandOverFiles() const {
        std::vector<std::string> names;
        for (const auto& e :
             platform::ListFolder(m_runtime.Path(), m_names.strHandOverPrefix + "*"))
            names.push_back(e.name);
        return names;
    }

    testsupport::ScratchFolder m_runtime;
    ScopedEnv m_env{"XDG_RUNTIME_DIR", m_runtime.Path()};
    shell::InstanceNames m_names = shell::MakeInstanceNames(kIdentifier, m_runtime.Path());
};

} // namespace

// What a killed instance left (a lock file readable by all, the mutex taken, wake-ups pending, a
// short block, a hand-over file) is replaced by private objects. A later start facing a stuck
// instance gives up after the bounded wait; nothing it brought arrives later.
TEST_F(SingleInstanceTest, ObjectsLeftByAKilledInstanceAreReplacedAndAStuckInstanceIsGivenUp) {
    shelltest::WriteFile(m_names.strAliveLock, std::string(32, 'a'));
    ASSERT_EQ(::chmod(m_names.strAliveLock.c_str(), 0644), 0);
    const shell::InstanceNames old = Running();
    sem_t* mutex = ::sem_open(old.strMutex.c_str(), O_CREAT, 0600, 0);
    sem_t* event = ::sem_open(old.strEvent.c_str(), O_CREAT, 0600, 3);
    const int shm = ::shm_open(old.strMapping.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_TRUE(mutex != SEM_FAILED && event != SEM_FAILED && shm >= 0);
    ASSERT_EQ(::ftruncate(shm, 10), 0);
    ::sem_close(mutex), ::sem_close(event), ::close(shm);
    shelltest::WriteFile(m_runtime / (m_names.strHandOverPrefix + "old"), "stale");

    CRecordingInstance first;
    ASSERT_TRUE(first.Create(kIdentifier));
    EXPECT_FALSE(first.OtherInstanceRuns());
    EXPECT_EQ(SemaphoreValue(old.strMutex), -1); // gone
    EXPECT_FALSE(platform::FileExists("/dev/shm" + old.strMapping));
    EXPECT_TRUE(HandOverFiles().empty());
    const shell::InstanceNames names = Running();
    EXPECT_EQ(SemaphoreValue(names.strMutex), 1);
    EXPECT_EQ(SemaphoreValue(names.strEvent), 0);
    for (const std::string& path :
         {"/dev/shm" + names.strMapping, "/dev/shm/sem." + names.strMutex.substr(1),
          "/dev/shm/sem." + names.strEvent.substr(1), names.strAliveLock}) {
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0) << path;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << path;
        EXPECT_EQ(st.st_uid, ::getuid()) << path;
    }
    EXPECT_EQ(StartLater(first, {"/music/a b.mp3", "-a"}),
              "\"" + platform::GetProgramPath() + "\" \"/music/a b.mp3\" -a");

    std::unique_lock hang(first.gate);
    EXPECT_EQ(StartLater(first, {"one.mp3"}, 1), Joined({"one.mp3"})); // the listener now hangs
    UseCommandLine({"two.mp3"});
    CRecordingInstance second; // its line waits in the block
    EXPECT_FALSE(second.Create(kIdentifier));
    EXPECT_FALSE(second.HandOverFailed());
    UseCommandLine({std::string(2700, 'x')}); // a line long enough for a hand-over file
    CRecordingInstance third;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(third.Create(kIdentifier));
    EXPECT_TRUE(third.HandOverFailed());
    EXPECT_GE(std::chrono::steady_clock::now() - started, CSingleInstance::kHandOverPatience);
    EXPECT_EQ(HandOverFiles().size(), 0u);
    hang.unlock();
    EXPECT_EQ(first.WaitForCall(2), Joined({"two.mp3"}));
    EXPECT_FALSE(first.WaitForCall(3, 300));

    first.Release();
    EXPECT_EQ(SemaphoreValue(names.strEvent), -1);
    EXPECT_EQ(SemaphoreValue(names.strMutex), -1);
    EXPECT_LT(::shm_open(names.strMapping.c_str(), O_RDONLY, 0), 0);

    // The next one's default handler has the application thread bring the main window back.
    platform::CMessageQueue::Instance().Reset();
    platform::CVirtualClock clock;
    struct App : CWinApp {
        std::vector<UINT> got;
        void OnThreadMessage(UINT m, WPARAM w, LPARAM l) override {
            got.push_back(m);
            if (m == WM_REG_ONOTHERINSTANCECALL)
                CSingleInstance::ActivateMainWindow();
            CWinApp::OnThreadMessage(m, w, l);
        }
    } app;
    CWnd main;
    ASSERT_TRUE(main.CreateTopLevel({0, 0, 312, 118}, "Corvella"));
    app.m_pMainWnd = &main;
    main.ShowWindow(SW_SHOWMINIMIZED);
    ASSERT_TRUE(main.IsIconic());
    CSingleInstance next;
    ASSERT_TRUE(next.Create(kIdentifier));
    EXPECT_FALSE(next.OtherInstanceRuns());
    CRecordingInstance later;
    EXPECT_FALSE(later.Create(kIdentifier));
    testsupport::PumpUntil(clock, [&] { return !app.got.empty(); });
    EXPECT_EQ(app.got, (std::vector<UINT>{WM_REG_ONOTHERINSTANCECALL}));
    EXPECT_FALSE(main.IsIconic());
    next.Release();
    main.DestroyWindow();
    platform::CMessageQueue::Instance().Reset();
}

// Longer texts than 255 bytes go through a private file. A waiting line is never overwritten nor
// cleared; a reference to a file that is not a hand-over file is neither read nor deleted.
TEST_F(SingleInstanceTest, TheBlockKeepsAWaitingLineAndReferencesLongerTextsThroughAPrivateFile) {
    CSharedCmdLine block;
    ASSERT_TRUE(block.Create(m_names, true));
    const unsigned char* view = block.View();
    auto empty = [&] { return std::all_of(view, view + 256, [](unsigned char c) { return !c; }); };
    EXPECT_TRUE(empty());
    const std::string fits(255, 'f');
    ASSERT_TRUE(block.Put(fits));
    EXPECT_EQ(std::memcmp(view, fits.data(), 255), 0);
    EXPECT_EQ(view[255], 0);
    EXPECT_TRUE(HandOverFiles().empty());
    EXPECT_EQ(block.Take(), fits);
    EXPECT_TRUE(empty());

    ASSERT_TRUE(block.Put(std::string(400, '1')));
    ASSERT_EQ(HandOverFiles().size(), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(view)), "@" + HandOverFiles()[0]);
    struct stat st {};
    ASSERT_EQ(::stat((m_runtime / HandOverFiles()[0]).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(block.Put(std::string(500, '2'))); // occupied: refused, its file withdrawn
    EXPECT_FALSE(block.Put("short"));
    EXPECT_EQ(HandOverFiles().size(), 1u);
    CSharedCmdLine attaching; // a later start attaching leaves the waiting line alone
    ASSERT_TRUE(attaching.Create(m_names, false));
    EXPECT_EQ(block.Take(), std::string(400, '1'));
    EXPECT_TRUE(HandOverFiles().empty());
    EXPECT_EQ(block.Take(), ""); // nothing waits any more
    EXPECT_TRUE(attaching.Put("next"));
    EXPECT_EQ(block.Take(), "next");

    const std::string victim = m_runtime / "victim.txt";
    shelltest::WriteFile(victim, "secret");
    for (const std::string& forged :
         {std::string("@victim.txt"), "@" + m_names.strHandOverPrefix + "/../victim.txt"}) {
        ASSERT_TRUE(block.Put(forged));
        EXPECT_EQ(block.Take(), forged);
        EXPECT_EQ(shelltest::ReadFile(victim), "secret");
    }
}

// Without a usable XDG_RUNTIME_DIR the objects go to a random private folder, found again through
// a note and made anew when gone or opened up; another user's folder at the fixed name is no bar.
TEST(InstanceObjects, TheRuntimeFolderFallsBackToARandomPrivateFolderFoundThroughANote) {
    testsupport::ScratchFolder runtime, cache;
    ScopedEnv cacheEnv("XDG_CACHE_HOME", cache.Path());
    ScopedEnv trailingSlash("XDG_RUNTIME_DIR", runtime.Path() + "/");
    EXPECT_EQ(shell::ResolveRuntimeFolder(), runtime.Path());
    const std::string fixed = "/tmp/corvella-" + std::to_string(::getuid());
    const bool squat = ::geteuid() == 0 && !platform::FileExists(fixed);
    if (squat) { // as another user, the way an attacker would
        ASSERT_TRUE(testsupport::RunUnprivileged(
            [&] { return std::string(::mkdir(fixed.c_str(), 0777) == 0 ? "" : "failed"); }));
    }
    ASSERT_EQ(::chmod(runtime.Path().c_str(), 0755), 0);
    const std::string link = cache / "link";
    ASSERT_EQ(::symlink(runtime.Path().c_str(), link.c_str()), 0);
    std::vector<std::string> made;
    for (const std::string& bad :
         {runtime / "missing", std::string("relative/dir"), runtime.Path(), link}) {
        ScopedEnv env("XDG_RUNTIME_DIR", bad);
        const std::optional<std::string> folder = shell::ResolveRuntimeFolder();
        ASSERT_TRUE(folder) << bad;
        EXPECT_TRUE(shell::IsPrivateFolder(*folder)) << *folder;
        EXPECT_TRUE(folder->starts_with(fixed + "-")) << *folder;
        EXPECT_EQ(shelltest::ReadFile(cache / "corvella/runtime-folder"), *folder);
        made.push_back(*folder);
        if (made.size() == 2) // gone, as a cleaner of the temporary folder leaves it
            std::filesystem::remove_all(*folder);
        if (made.size() == 3) // opened up to others
            ::chmod(folder->c_str(), 0755);
    }
    EXPECT_EQ(made[0], made[1]);
    EXPECT_NE(made[2], made[1]);
    EXPECT_NE(made[3], made[2]);
    for (const std::string& folder : made)
        std::filesystem::remove_all(folder);
    if (squat)
        ::rmdir(fixed.c_str());
}

// Names another user took first and lock paths that are not files never block the start.
TEST_F(SingleInstanceTest, NamesHeldByAnotherUserOrLockPathsThatAreNotFilesNeverBlockTheStart) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "the attack needs another user: run as root to make one";
    const std::vector<std::string> taken{std::string(32, 'b'), std::string(32, 'c')};
    const auto bTaken = shell::WithObjectToken(m_names, kIdentifier, taken[0]);
    const auto cTaken = shell::WithObjectToken(m_names, kIdentifier, taken[1]);
    ASSERT_EQ(testsupport::RunUnprivileged([&] {
                  sem_t* mutex = ::sem_open(bTaken.strMutex.c_str(), O_CREAT, 0666, 1);
                  const int shm = ::shm_open(cTaken.strMapping.c_str(), O_RDWR | O_CREAT, 0666);
                  return std::string(mutex != SEM_FAILED && shm >= 0 ? "made" : "failed");
              }),
              std::optional<std::string>("made"));
    {
        CRecordingInstance first;
        first.m_tokens = taken;
        ASSERT_TRUE(first.Create(kIdentifier));
        EXPECT_FALSE(first.RunsAlone());
        EXPECT_NE(Running().strMutex, bTaken.strMutex);
        EXPECT_NE(Running().strMutex, cTaken.strMutex);
        EXPECT_EQ(StartLater(first, {"a.mp3"}), Joined({"a.mp3"}));
    }
    // The other user's objects are still there, untouched.
    EXPECT_NE(SemaphoreValue(bTaken.strMutex), -1);
    EXPECT_TRUE(platform::FileExists("/dev/shm" + cTaken.strMapping));
    shell::RemoveInstanceObjects(bTaken), shell::RemoveInstanceObjects(cTaken);

    for (const bool folder : {true, false}) {
        std::filesystem::remove(m_names.strAliveLock);
        ASSERT_EQ(folder ? ::mkdir(m_names.strAliveLock.c_str(), 0700)
                         : ::symlink("/etc/passwd", m_names.strAliveLock.c_str()),
                  0);
        CRecordingInstance alone;
        EXPECT_TRUE(alone.Create(kIdentifier) && alone.RunsAlone() && !alone.OtherInstanceRuns())
            << folder;
    }
    std::filesystem::remove(m_names.strAliveLock);
}
