// The single instance inside this process: a first instance and later starts built from
// separate objects (each holds its own lock file descriptor, so they meet the way two
// processes do), and the shared block on its own.
#include "shell/SingleInstance.h"
#include "shell/CommandLineText.h"
#include "shell/InstanceObjects.h"
#include "shell/SharedCmdLine.h"
#include "tests/shell/ShellTestSupport.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageQueue.h"
#include "platform/RegisteredMessages.h"
#include "platform/WinApp.h"
#include "res/StringTable.h"

#include <condition_variable>
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

class CRecordingInstance : public CSingleInstance {
public:
    ~CRecordingInstance() override { Release(); }

    void OnOtherInstanceCall(const std::string& cmdLine) override {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(cmdLine);
        m_changed.notify_all();
    }

    // The n-th forwarded command line (from 0), once it has arrived.
    std::optional<std::string> WaitForCall(std::size_t n) {
        std::unique_lock lock(m_mutex);
        if (!m_changed.wait_for(lock, std::chrono::seconds(20), [&] { return m_calls.size() > n; }))
            return std::nullopt;
        return m_calls[n];
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_calls;
};

void UseCommandLine(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"corvella"};
    for (const auto& a : args)
        argv.push_back(a.c_str());
    shell::SetCommandLine(int(argv.size()), argv.data());
}

std::vector<std::string> TwentyLongFileNames() {
    std::vector<std::string> files;
    for (int i = 0; i < 20; ++i)
        files.push_back("/music/album " + std::to_string(i) + "/" +
                        std::string(130, char('a' + i)) + ".mp3");
    return files;
}

int SemaphoreValue(const std::string& name) {
    sem_t* sem = ::sem_open(name.c_str(), 0);
    if (sem == SEM_FAILED)
        return -1;
    int value = -1;
    ::sem_getvalue(sem, &value);
    ::sem_close(sem);
    return value;
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void TearDown() override {
        UseCommandLine({});
        shell::RemoveInstanceObjects(m_names);
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

    TempFolder m_runtime;
    ScopedEnv m_env{"XDG_RUNTIME_DIR", m_runtime.Path()};
    shell::InstanceNames m_names = shell::MakeInstanceNames(kIdentifier, m_runtime.Path());
};

} // namespace

TEST_F(SingleInstanceTest, ALaterStartHandsItsWholeCommandLineOverAndIsNotTheFirst) {
    CRecordingInstance first;
    ASSERT_TRUE(first.Create(kIdentifier));
    EXPECT_FALSE(first.OtherInstanceRuns());
    // Only the user can reach the objects.
    for (const std::string& path :
         {"/dev/shm" + m_names.strMapping, "/dev/shm/sem." + m_names.strMutex.substr(1),
          "/dev/shm/sem." + m_names.strEvent.substr(1), m_names.strAliveLock}) {
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0) << path;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << path;
        EXPECT_EQ(st.st_uid, ::getuid()) << path;
    }

    EXPECT_EQ(StartLater(first, {"/music/a b.mp3", "-a"}),
              "\"" + platform::GetProgramPath() + "\" \"/music/a b.mp3\" -a");
    // A third start is handed over the same way; the block was emptied in between.
    EXPECT_EQ(StartLater(first, {"-r"}, 1), "\"" + platform::GetProgramPath() + "\" -r");
}

TEST_F(SingleInstanceTest, ACommandLineOfTwentyLongFilesArrivesWholeAndLeavesNoFileBehind) {
    CRecordingInstance first;
    ASSERT_TRUE(first.Create(kIdentifier));
    const std::vector<std::string> files = TwentyLongFileNames();
    ASSERT_GT(Joined(files).size(), 3000u);
    EXPECT_EQ(StartLater(first, files), Joined(files));
    EXPECT_TRUE(HandOverFiles().empty());
}

TEST_F(SingleInstanceTest, ObjectsLeftByAKilledInstanceAreReplacedByTheNextFirstInstance) {
    // A killed instance may leave the mutex taken, wake-ups pending and a block too short.
    sem_t* mutex = ::sem_open(m_names.strMutex.c_str(), O_CREAT, 0600, 0);
    sem_t* event = ::sem_open(m_names.strEvent.c_str(), O_CREAT, 0600, 3);
    ASSERT_NE(mutex, SEM_FAILED);
    ASSERT_NE(event, SEM_FAILED);
    ::sem_close(mutex);
    ::sem_close(event);
    const int shm = ::shm_open(m_names.strMapping.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(shm, 0);
    ASSERT_EQ(::ftruncate(shm, 10), 0);
    ::close(shm);
    shelltest::WriteFile(m_runtime.Path() + "/" + m_names.strHandOverPrefix + "old", "stale");

    CRecordingInstance first;
    ASSERT_TRUE(first.Create(kIdentifier));
    EXPECT_EQ(SemaphoreValue(m_names.strMutex), 1);
    EXPECT_EQ(SemaphoreValue(m_names.strEvent), 0);
    EXPECT_TRUE(HandOverFiles().empty());

    EXPECT_EQ(StartLater(first, {"x.mp3"}), Joined({"x.mp3"}));
}

TEST_F(SingleInstanceTest, ReleaseRemovesTheObjectsSoTheNextStartIsFirstAgain) {
    {
        CRecordingInstance first;
        ASSERT_TRUE(first.Create(kIdentifier));
        first.Release();
        EXPECT_EQ(SemaphoreValue(m_names.strEvent), -1);
        EXPECT_EQ(SemaphoreValue(m_names.strMutex), -1);
        EXPECT_LT(::shm_open(m_names.strMapping.c_str(), O_RDONLY, 0), 0);
    }
    CRecordingInstance next;
    EXPECT_TRUE(next.Create(kIdentifier));
    EXPECT_FALSE(next.OtherInstanceRuns());
}

TEST_F(SingleInstanceTest, TheBlockHoldsUpTo255BytesAndReferencesLongerTextsThroughAPrivateFile) {
    CSharedCmdLine block;
    ASSERT_TRUE(block.Create(m_names, true));
    const unsigned char* view = block.View();
    EXPECT_TRUE(std::all_of(view, view + 256, [](unsigned char c) { return c == 0; }));

    const std::string fits(255, 'f');
    ASSERT_TRUE(block.Put(fits));
    EXPECT_EQ(std::memcmp(view, fits.data(), 255), 0);
    EXPECT_EQ(view[255], 0);
    EXPECT_TRUE(HandOverFiles().empty());
    EXPECT_EQ(block.Take(), fits);
    EXPECT_TRUE(std::all_of(view, view + 256, [](unsigned char c) { return c == 0; }));

    const std::string longer(256, 'l');
    ASSERT_TRUE(block.Put(longer));
    ASSERT_EQ(HandOverFiles().size(), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(view)), "@" + HandOverFiles()[0]);
    struct stat st {};
    ASSERT_EQ(::stat((m_runtime.Path() + "/" + HandOverFiles()[0]).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(block.Take(), longer);
    EXPECT_TRUE(HandOverFiles().empty());
    EXPECT_EQ(block.Take(), ""); // nothing waits any more
}

TEST_F(SingleInstanceTest, AReferenceNobodyWillReadIsDeletedWhenTheBlockIsOverwrittenOrCleared) {
    CSharedCmdLine block;
    ASSERT_TRUE(block.Create(m_names, true));
    ASSERT_TRUE(block.Put(std::string(400, '1')));
    ASSERT_TRUE(block.Put(std::string(500, '2')));
    EXPECT_EQ(HandOverFiles().size(), 1u);

    CSharedCmdLine attaching; // a later start zero-fills the block when it attaches
    ASSERT_TRUE(attaching.Create(m_names, false));
    EXPECT_TRUE(HandOverFiles().empty());
    EXPECT_EQ(block.Take(), "");
}

TEST_F(SingleInstanceTest, AReferenceToAFileThatIsNotAHandOverFileIsNeitherReadNorDeleted) {
    CSharedCmdLine block;
    ASSERT_TRUE(block.Create(m_names, true));
    const std::string victim = m_runtime.Path() + "/victim.txt";
    shelltest::WriteFile(victim, "secret");
    for (const std::string& forged :
         {std::string("@victim.txt"), "@" + m_names.strHandOverPrefix + "/../victim.txt"}) {
        ASSERT_TRUE(block.Put(forged));
        EXPECT_EQ(block.Take(), forged);
        EXPECT_EQ(shelltest::ReadFile(victim), "secret");
    }
}

TEST(InstanceObjects, NamesCarryTheIdentifierWithTheFixedSuffixesScopedToUserAndSession) {
    const auto a = shell::MakeInstanceNames(kIdentifier, "/run/user/1000");
    const auto b = shell::MakeInstanceNames(kIdentifier, "/tmp/other");
    const std::string user = "-" + std::to_string(::getuid()) + "-";
    EXPECT_TRUE(a.strMapping.ends_with(kIdentifier + "-Data-Mapping-File"));
    EXPECT_TRUE(a.strMutex.ends_with(kIdentifier + "-Data-Mapping-Mutex"));
    EXPECT_TRUE(a.strEvent.ends_with(kIdentifier + "-Event"));
    for (const std::string* name : {&a.strMapping, &a.strMutex, &a.strEvent}) {
        EXPECT_EQ(name->front(), '/');
        EXPECT_EQ(name->find('/', 1), std::string::npos);
        EXPECT_NE(name->find(user), std::string::npos);
    }
    EXPECT_NE(a.strEvent, b.strEvent);
    EXPECT_EQ(a.strAliveLock, "/run/user/1000/corvella-" + kIdentifier + ".lock");
}

TEST(InstanceObjects, TheRuntimeFolderFallsBackToAPrivateFolderInTmp) {
    TempFolder runtime;
    {
        ScopedEnv env("XDG_RUNTIME_DIR", runtime.Path() + "/");
        EXPECT_EQ(shell::ResolveRuntimeFolder(), runtime.Path());
    }
    const std::string fallback = "/tmp/corvella-" + std::to_string(::getuid());
    for (const std::string& bad : {runtime.Path() + "/missing", std::string("relative/dir")}) {
        ScopedEnv env("XDG_RUNTIME_DIR", bad);
        EXPECT_EQ(shell::ResolveRuntimeFolder(), fallback) << bad;
    }
    struct stat st {};
    ASSERT_EQ(::stat(fallback.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(CommandLineText, TheProgramPathIsQuotedAndArgumentsOnlyWhenTheyHoldBlanks) {
    EXPECT_EQ(shell::JoinCommandLine("/usr/bin/corvella", {}), "\"/usr/bin/corvella\"");
    EXPECT_EQ(shell::JoinCommandLine("/opt/my apps/corvella", {"-s", "3", "/m/a b.mp3", "c\td"}),
              "\"/opt/my apps/corvella\" -s 3 \"/m/a b.mp3\" \"c\td\"");
}

TEST_F(SingleInstanceTest, TheDefaultHandlerAsksTheApplicationThreadToBringTheMainWindowBack) {
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

    CSingleInstance first; // its default handler, reached from the listener thread
    ASSERT_TRUE(first.Create(kIdentifier));
    CRecordingInstance later;
    EXPECT_FALSE(later.Create(kIdentifier));
    for (int i = 0; i < 2000 && app.got.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        clock.Pump();
    }
    EXPECT_EQ(app.got, (std::vector<UINT>{WM_REG_ONOTHERINSTANCECALL}));
    EXPECT_FALSE(main.IsIconic());
    first.Release();
    main.DestroyWindow();
    platform::CMessageQueue::Instance().Reset();
}
