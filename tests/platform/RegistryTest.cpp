#include "platform/Registry.h"
#include "platform/StoreNotices.h"

#include "platform/FileSystem.h"
#include "platform/RegKey.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScratchFolder.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;

const HKEY kUser = HKEY_CURRENT_USER;
const HKEY kMachine = HKEY_LOCAL_MACHINE;

class RegistryTest : public ::testing::Test {
protected:
    std::string Folder() const { return m_temp.Path() + "/corvella"; }
    std::string FilePath(const std::string& name) const { return Folder() + "/" + name; }
    std::string FileText(const std::string& name) const {
        return platform::ReadWholeFile(FilePath(name)).value_or("<missing>");
    }
    std::vector<std::string> FilesStartingWith(const std::string& prefix) const {
        std::vector<std::string> names;
        for (const auto& entry : platform::ListFolder(Folder(), prefix + "*"))
            names.push_back(entry.name);
        std::sort(names.begin(), names.end());
        return names;
    }
    void WriteHive(const std::string& name, const std::string& text) const {
        ::mkdir(Folder().c_str(), 0700);
        ASSERT_TRUE(platform::WriteFileAtomically(FilePath(name), text));
    }

    testsupport::ScratchFolder m_temp;
};

} // namespace

// Escaping names and texts in the file is the file format's test; the typed setters are
// the profile's. Each root has its own file, in a private folder.
TEST_F(RegistryTest, EveryKindOfValueRoundTripsThroughEachRootsFile) {
    const std::string path = "Software\\Brenholt\\Odd ] = \" [key]";
    const std::pair<std::string, RegValue> values[] = {{"", {REG_SZ, "default \\ \" ]"}},
                                                       {"empty", {REG_SZ, ""}},
                                                       {"answer", {REG_DWORD, "\x2a\0\0\0"s}},
                                                       {"bin", {REG_BINARY, "\0\x01\xff"s}},
                                                       {"expand", {2, "%HOME%"}}};
    for (const auto& [name, value] : values)
        ASSERT_TRUE(CRegistry(Folder()).SetValue(kUser, path, name, value)) << name;
    CRegistry fresh(Folder());
    for (const auto& [name, value] : values)
        EXPECT_EQ(fresh.QueryValue(kUser, path, name), value) << name;
    EXPECT_EQ(fresh.QueryString(kUser, path, ""), "default \\ \" ]");
    EXPECT_EQ(fresh.QueryDword(kUser, path, "answer"), 42u);
    EXPECT_EQ(fresh.QueryBinary(kUser, path, "bin"), "\0\x01\xff"s);
    // Typed queries answer only for their own type.
    EXPECT_FALSE(fresh.QueryString(kUser, path, "answer") || fresh.QueryDword(kUser, path, "bin") ||
                 fresh.QueryBinary(kUser, path, "empty") || fresh.QueryValue(kUser, path, "x"));
    EXPECT_EQ(fresh.EnumValues(kUser, path).size(), std::size(values));

    for (const auto& [root, file] :
         {std::pair(kMachine, "system.reg"), std::pair(HKEY_CLASSES_ROOT, "classes.reg")}) {
        ASSERT_TRUE(CRegistry(Folder()).SetString(root, "K", "v", file));
        EXPECT_NE(FileText(file).find("[K]\n\"v\"=\"" + std::string(file) + "\""),
                  std::string::npos);
    }
    EXPECT_EQ(CRegistry(Folder()).QueryString(kMachine, "K", "v"), "system.reg");
    struct stat st {};
    ASSERT_EQ(::stat(Folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(RegistryTest, KeysAndValuesAreCreatedAndDeletedAndBadNamesRefused) {
    CRegistry store(Folder());
    ASSERT_TRUE(store.CreateKey(kUser, "A\\B\\C") && store.CreateKey(kUser, "a\\b"));
    ASSERT_TRUE(store.SetString(kUser, "A\\B", "v", "1"));
    ASSERT_TRUE(store.SetDword(kUser, "A\\B\\C\\D", "w", 2));
    ASSERT_TRUE(store.CreateKey(kUser, "\\A\\\\E\\")); // stray backslashes
    EXPECT_EQ(store.EnumKeys(kUser, "A"), (std::vector<std::string>{"B", "E"}));
    EXPECT_TRUE(store.DeleteKey(kUser, "a\\b")); // with its subkeys and values
    EXPECT_FALSE(store.KeyExists(kUser, "A\\B\\C") || store.QueryValue(kUser, "A\\B", "v"));
    for (const char* gone : {"A\\B", "A\\B\\C", ""})
        EXPECT_FALSE(store.DeleteKey(kUser, gone)) << gone;
    EXPECT_TRUE(store.EnumKeys(kUser, "A\\B").empty() && store.EnumValues(kUser, "A\\B").empty());
    // Names match without case (ASCII only, the file format's test), keeping the first case.
    ASSERT_TRUE(store.SetString(kUser, "K", "Keep", "1") &&
                store.SetString(kUser, "k", "KEEP", "2") &&
                store.SetString(kUser, "K", "drop", "2"));
    EXPECT_TRUE(store.DeleteValue(kUser, "k", "DROP"));
    EXPECT_FALSE(store.DeleteValue(kUser, "K", "drop") || store.DeleteValue(kUser, "N", "keep"));
    // Refused: bad key names, a DWORD of other than four bytes, an unknown root.
    EXPECT_FALSE(store.CreateKey(kUser, "A\\bad\nname") ||
                 store.CreateKey(kUser, std::string(256, 'k')));
    EXPECT_TRUE(store.CreateKey(kUser, std::string(255, 'k')));
    EXPECT_FALSE(store.SetString(kUser, "nul\0"s, "v", "x") ||
                 store.SetValue(kUser, "N", "v", {REG_DWORD, "12345"}));
    EXPECT_FALSE(store.SetString(HKEY(7), "N", "v", "x") || store.KeyExists(HKEY(7), ""));
    // What is left is what the file holds.
    CRegistry fresh(Folder());
    EXPECT_TRUE(fresh.KeyExists(kUser, "A\\E") && !fresh.KeyExists(kUser, "N"));
    EXPECT_EQ(fresh.EnumKeys(kUser, "A"), std::vector<std::string>{"E"});
    EXPECT_EQ(fresh.EnumValues(kUser, "k"), std::vector<std::string>{"Keep"});
    EXPECT_EQ(fresh.QueryString(kUser, "K", "keep"), "2");
}

// A damaged hive is moved aside (beside earlier ones, not over them) and reported once; what
// was read whole is kept and the store carries on. A folder in its place is left alone.
TEST_F(RegistryTest, DamagedHivesAreMovedAsideReportedAndWhatWasReadIsKept) {
    const std::string cut = "REGEDIT4\n\n[Software]\n\"a\"=\"whole\"\n\"v\"=hex:01,\\\n";
    const struct {
        std::string text;
        std::size_t size; // a sparse file of this size
        const char* said;
    } cases[] = {{cut, 0, "line 5"}, {"garbage", 0, "line 1"}, {"", 100u << 20, "16 MiB"}};
    WriteHive("system.reg", "REGEDIT4\n\n[K]\n\"v\"=\"fine\"\n");
    const std::string prefix = FilePath("user.reg.damaged-");
    std::size_t asides = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + c.said);
        WriteHive("user.reg", c.text);
        if (c.size)
            std::filesystem::resize_file(FilePath("user.reg"), c.size);
        platform::ResetStoreNotices();
        CRegistry store(Folder());
        EXPECT_EQ(store.QueryString(kUser, "Software", "a"),
                  c.text == cut ? std::optional<std::string>("whole") : std::nullopt);
        EXPECT_FALSE(store.QueryBinary(kUser, "Software", "v"));
        EXPECT_EQ(FilesStartingWith("user.reg.damaged-").size(), ++asides);
        const auto notices = platform::TakeStoreNotices();
        ASSERT_EQ(notices.size(), 1u);
        const std::string aside = notices[0].aside;
        EXPECT_EQ(notices[0].path, FilePath("user.reg"));
        EXPECT_NE(notices[0].reason.find(c.said), std::string::npos) << notices[0].reason;
        EXPECT_TRUE(aside.starts_with(prefix) &&
                    aside.find_first_not_of("0123456789-", prefix.size()) == std::string::npos)
            << aside;
        EXPECT_EQ(platform::GetFileStatus(aside)->size, c.size ? c.size : c.text.size());
        EXPECT_TRUE(c.size || platform::ReadWholeFile(aside) == c.text);
        EXPECT_FALSE(platform::FileExists(FilePath("user.reg")));
        EXPECT_EQ(store.QueryString(kMachine, "K", "v"), "fine");
        ASSERT_TRUE(store.SetString(kUser, "K", "v", "new"));
        EXPECT_EQ(CRegistry(Folder()).QueryString(kUser, "K", "v"), "new");
    }
    platform::ResetStoreNotices();
    ::mkdir(FilePath("classes.reg").c_str(), 0700);
    CRegistry store(Folder());
    EXPECT_FALSE(store.SetString(HKEY_CLASSES_ROOT, "K", "v", "x"));
    EXPECT_FALSE(store.QueryValue(HKEY_CLASSES_ROOT, "K", "v"));
    EXPECT_TRUE(platform::IsDirectory(FilePath("classes.reg")));
    EXPECT_TRUE(FilesStartingWith("classes.reg.").empty());
    platform::ResetStoreNotices();
}

// A writer killed mid-save leaves its temporary; the next start removes it, but not one a live
// writer holds locked until its rename, nor names that are not the store's temporaries. A failed
// or too large write leaves no temporary and keeps the old file and the old values.
TEST_F(RegistryTest, FailedOrTooLargeWriteKeepsTheOldFileAndTheOldValues) {
    for (const char* name : {"system.reg.tmp-Ab3xZ9", "system.reg.tmp-Live01",
                             "system.reg.tmp-short", "notes.reg.tmp-Ab3xZ9"})
        WriteHive(name, name);
    const int liveWriter = ::open(FilePath("system.reg.tmp-Live01").c_str(), O_RDONLY);
    ASSERT_GE(liveWriter, 0);
    ASSERT_EQ(::flock(liveWriter, LOCK_EX), 0);
    CRegistry store(Folder());
    EXPECT_FALSE(store.QueryDword(kMachine, "K", "v"));
    EXPECT_EQ(FilesStartingWith("system.reg.tmp-"),
              (std::vector<std::string>{"system.reg.tmp-Live01", "system.reg.tmp-short"}));
    EXPECT_EQ(FilesStartingWith("notes.reg"), std::vector<std::string>{"notes.reg.tmp-Ab3xZ9"});
    // Once the writer is gone, the next save clears its leftover too, and leaves none of its own.
    ::close(liveWriter);
    ASSERT_TRUE(store.SetDword(kMachine, "K", "v", 7));
    EXPECT_EQ(FilesStartingWith("system.reg"),
              (std::vector<std::string>{"system.reg", "system.reg.tmp-short"}));

    ASSERT_TRUE(store.SetString(kUser, "K", "kept", "old"));
    const std::string before = FileText("user.reg");
    // A file-size limit makes the write of the larger hive fail, even for the superuser.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = before.size() + 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = store.SetString(kUser, "K", "kept", std::string(100, 'n'));
    const bool added = store.SetBinary(kUser, "K\\New", "b", std::string(100, 'b'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written || added);
    // A hive too large to be read back is not written at all.
    EXPECT_FALSE(store.SetBinary(kUser, "K", "huge", std::string(6u << 20, 'x')));
    EXPECT_FALSE(store.QueryValue(kUser, "K", "huge") || store.KeyExists(kUser, "K\\New"));
    EXPECT_EQ(FileText("user.reg"), before);
    EXPECT_EQ(store.QueryString(kUser, "K", "kept"), "old");
    EXPECT_EQ(FilesStartingWith("user.reg").size(), 1u); // no temporary file left behind
    EXPECT_TRUE(store.SetString(kUser, "K", "kept", "later"));
    EXPECT_EQ(CRegistry(Folder()).QueryString(kUser, "K", "kept"), "later");
}

TEST_F(RegistryTest, ProcessStoreFollowsXdgConfigHome) {
    {
        testsupport::CScopedEnv home("HOME", m_temp.Path().c_str());
        testsupport::CScopedEnv xdg("XDG_CONFIG_HOME", (m_temp.Path() + "/config/").c_str());
        CRegistry::Instance().Reset();
        EXPECT_EQ(CRegistry::Instance().Folder(), m_temp.Path() + "/config/corvella");
        // A relative XDG_CONFIG_HOME does not count; HOME's .config is used.
        ::setenv("XDG_CONFIG_HOME", "relative", 1);
        CRegistry::Instance().Reset();
        EXPECT_EQ(CRegistry::Instance().Folder(), m_temp.Path() + "/.config/corvella");
    }
    CRegistry::Instance().Reset(); // the default folder, with the variables back
}
