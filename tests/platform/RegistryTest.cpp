#include "platform/Registry.h"
#include "platform/StoreNotices.h"

#include "TestHelpers.h"
#include "platform/FileSystem.h"
#include "tests/support/ScopedEnv.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names and texts that need escaping in the file.
const std::string kAwkward[] = {
    "back\\slash",         "quote\"d", "a=b",      "line\nbreak", "cr\rtab\t",
    {"nul\0byte", 8},      "bracket]", "[sect]",   "\\\"",        "ctl\x01\x1f\x7f",
    "utf-8 \xc3\xa4 \xff", "@",        " padded ",
};

class RegistryTest : public ::testing::Test {
protected:
    std::string Folder() const { return m_temp.Path() + "/corvella"; }
    std::string FilePath(const std::string& name) const { return Folder() + "/" + name; }
    std::string FileText(const std::string& name) const {
        return platform::ReadWholeFile(FilePath(name)).value_or("<missing>");
    }
    // Files in the store's folder whose names start with prefix.
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

TEST_F(RegistryTest, EveryTypeRoundTripsThroughTheFiles) {
    const std::string path = "Software\\Brenholt\\Odd ] = \" [key]";
    {
        CRegistry store(Folder());
        for (const std::string& text : kAwkward)
            ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, path, text, text + " value " + text));
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, path, "", "default \\ \" ]"));
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, path, "empty", ""));
        ASSERT_TRUE(store.SetDword(HKEY_CURRENT_USER, path, "zero", 0));
        ASSERT_TRUE(store.SetDword(HKEY_CURRENT_USER, path, "answer", 42));
        ASSERT_TRUE(store.SetDword(HKEY_CURRENT_USER, path, "max", 0xFFFFFFFF));
        // (Binary data of every length is the file format's test.)
        ASSERT_TRUE(store.SetBinary(HKEY_CURRENT_USER, path, "bin1", PatternBytes(26)));
        ASSERT_TRUE(store.SetValue(HKEY_CURRENT_USER, path, "expand", {2, "%HOME%"}));
    }
    EXPECT_TRUE(
        FileText("user.reg")
            .starts_with("REGEDIT4\n; This file ends with the line \"; end\".\n\n[Software]\n"));

    CRegistry fresh(Folder());
    for (const std::string& text : kAwkward) {
        SCOPED_TRACE(text);
        EXPECT_EQ(fresh.QueryString(HKEY_CURRENT_USER, path, text), text + " value " + text);
    }
    EXPECT_EQ(fresh.QueryString(HKEY_CURRENT_USER, path, ""), "default \\ \" ]");
    EXPECT_EQ(fresh.QueryString(HKEY_CURRENT_USER, path, "empty"), "");
    EXPECT_EQ(fresh.QueryDword(HKEY_CURRENT_USER, path, "zero"), 0u);
    EXPECT_EQ(fresh.QueryDword(HKEY_CURRENT_USER, path, "answer"), 42u);
    EXPECT_EQ(fresh.QueryDword(HKEY_CURRENT_USER, path, "max"), 0xFFFFFFFFu);
    EXPECT_EQ(fresh.QueryBinary(HKEY_CURRENT_USER, path, "bin1"), PatternBytes(26));
    EXPECT_EQ(fresh.QueryValue(HKEY_CURRENT_USER, path, "expand"), (RegValue{2, "%HOME%"}));
    EXPECT_EQ(fresh.QueryValue(HKEY_CURRENT_USER, path, "answer"),
              (RegValue{REG_DWORD, std::string("\x2a\0\0\0", 4)}));
    // Typed queries answer only for their own type.
    EXPECT_FALSE(fresh.QueryString(HKEY_CURRENT_USER, path, "answer"));
    EXPECT_FALSE(fresh.QueryDword(HKEY_CURRENT_USER, path, "bin1"));
    EXPECT_FALSE(fresh.QueryBinary(HKEY_CURRENT_USER, path, "empty"));
    EXPECT_FALSE(fresh.QueryValue(HKEY_CURRENT_USER, path, "missing"));
    EXPECT_EQ(fresh.EnumValues(HKEY_CURRENT_USER, path).size(), std::size(kAwkward) + 7);
}

TEST_F(RegistryTest, NamesMatchWithoutCaseAndKeepTheirFirstCase) {
    {
        CRegistry store(Folder());
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "Software\\Brenholt", "UILanguage", "x"));
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "SOFTWARE\\brenholt", "uilanguage", "y"));
        EXPECT_EQ(store.QueryString(HKEY_CURRENT_USER, "software\\BRENHOLT", "UILANGUAGE"), "y");
        // Case folding is ASCII only: other letters are different names.
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "Software", "\xc3\xa4", "small"));
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "Software", "\xc3\x84", "capital"));
    }
    CRegistry fresh(Folder());
    EXPECT_EQ(fresh.EnumKeys(HKEY_CURRENT_USER, ""), std::vector<std::string>{"Software"});
    EXPECT_EQ(fresh.EnumKeys(HKEY_CURRENT_USER, "software"), std::vector<std::string>{"Brenholt"});
    EXPECT_EQ(fresh.EnumValues(HKEY_CURRENT_USER, "Software\\Brenholt"),
              std::vector<std::string>{"UILanguage"});
    EXPECT_EQ(fresh.QueryString(HKEY_CURRENT_USER, "sOFTWARE\\bRENHOLT", "uILANGUAGE"), "y");
    EXPECT_EQ(fresh.QueryString(HKEY_CURRENT_USER, "Software", "\xc3\xa4"), "small");
    EXPECT_EQ(fresh.QueryString(HKEY_CURRENT_USER, "Software", "\xc3\x84"), "capital");
}

TEST_F(RegistryTest, KeysAreCreatedWithParentsAndDeletedWithSubkeys) {
    {
        CRegistry store(Folder());
        ASSERT_TRUE(store.CreateKey(HKEY_CURRENT_USER, "A\\B\\C"));
        EXPECT_TRUE(store.CreateKey(HKEY_CURRENT_USER, "a\\b")); // existing: still true
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "A\\B", "v", "1"));
        ASSERT_TRUE(store.SetDword(HKEY_CURRENT_USER, "A\\B\\C\\D", "w", 2));
        ASSERT_TRUE(store.CreateKey(HKEY_CURRENT_USER, "\\A\\\\E\\")); // stray backslashes
        EXPECT_EQ(store.EnumKeys(HKEY_CURRENT_USER, "A"), (std::vector<std::string>{"B", "E"}));

        EXPECT_TRUE(store.DeleteKey(HKEY_CURRENT_USER, "a\\b"));
        EXPECT_FALSE(store.KeyExists(HKEY_CURRENT_USER, "A\\B\\C"));
        EXPECT_FALSE(store.KeyExists(HKEY_CURRENT_USER, "A\\B"));
        EXPECT_FALSE(store.QueryValue(HKEY_CURRENT_USER, "A\\B", "v"));
        EXPECT_FALSE(store.DeleteKey(HKEY_CURRENT_USER, "A\\B"));
        EXPECT_FALSE(store.DeleteKey(HKEY_CURRENT_USER, "A\\B\\C"));
        EXPECT_FALSE(store.DeleteKey(HKEY_CURRENT_USER, ""));
        EXPECT_TRUE(store.EnumKeys(HKEY_CURRENT_USER, "A\\B").empty());
        EXPECT_TRUE(store.EnumValues(HKEY_CURRENT_USER, "A\\B").empty());
    }
    CRegistry fresh(Folder());
    EXPECT_TRUE(fresh.KeyExists(HKEY_CURRENT_USER, "A\\E"));
    EXPECT_FALSE(fresh.KeyExists(HKEY_CURRENT_USER, "A\\B"));
    EXPECT_EQ(fresh.EnumKeys(HKEY_CURRENT_USER, "A"), std::vector<std::string>{"E"});
    EXPECT_TRUE(fresh.KeyExists(HKEY_CURRENT_USER, ""));
}

TEST_F(RegistryTest, ValuesAreDeletedOneByOne) {
    {
        CRegistry store(Folder());
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "K", "keep", "1"));
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "K", "drop", "2"));
        EXPECT_TRUE(store.DeleteValue(HKEY_CURRENT_USER, "k", "DROP"));
        EXPECT_FALSE(store.DeleteValue(HKEY_CURRENT_USER, "K", "drop"));
        EXPECT_FALSE(store.DeleteValue(HKEY_CURRENT_USER, "Missing", "keep"));
    }
    CRegistry fresh(Folder());
    EXPECT_EQ(fresh.EnumValues(HKEY_CURRENT_USER, "K"), std::vector<std::string>{"keep"});
}

TEST_F(RegistryTest, RefusesBadKeyNamesAndDwordSizes) {
    CRegistry store(Folder());
    EXPECT_FALSE(store.CreateKey(HKEY_CURRENT_USER, "A\\bad\nname"));
    EXPECT_FALSE(store.CreateKey(HKEY_CURRENT_USER, std::string(256, 'k')));
    EXPECT_FALSE(store.SetString(HKEY_CURRENT_USER, std::string("nul\0", 4), "v", "x"));
    EXPECT_FALSE(store.SetValue(HKEY_CURRENT_USER, "K", "v", {REG_DWORD, "12345"}));
    EXPECT_FALSE(store.SetString(HKEY(7), "K", "v", "x"));
    EXPECT_FALSE(store.KeyExists(HKEY(7), ""));
    EXPECT_FALSE(store.KeyExists(HKEY_CURRENT_USER, "A"));
    EXPECT_FALSE(store.KeyExists(HKEY_CURRENT_USER, "K"));
    EXPECT_TRUE(store.CreateKey(HKEY_CURRENT_USER, std::string(255, 'k')));
}

TEST_F(RegistryTest, EachRootHasItsOwnFile) {
    {
        CRegistry store(Folder());
        ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "K", "v", "user"));
        ASSERT_TRUE(store.SetString(HKEY_LOCAL_MACHINE, "K", "v", "machine"));
        ASSERT_TRUE(store.SetString(HKEY_CLASSES_ROOT, ".mpl", "", "classes"));
    }
    EXPECT_NE(FileText("user.reg").find("\"v\"=\"user\""), std::string::npos);
    EXPECT_NE(FileText("system.reg").find("\"v\"=\"machine\""), std::string::npos);
    EXPECT_NE(FileText("classes.reg").find("[.mpl]\n@=\"classes\""), std::string::npos);
    CRegistry fresh(Folder());
    EXPECT_EQ(fresh.QueryString(HKEY_LOCAL_MACHINE, "K", "v"), "machine");
    EXPECT_FALSE(fresh.KeyExists(HKEY_CURRENT_USER, ".mpl"));
    // The folder is created for the user alone.
    struct stat st {};
    ASSERT_EQ(::stat(Folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(RegistryTest, DamagedHiveIsMovedAsideReportedAndWhatWasReadIsKept) {
    const std::string damaged = "REGEDIT4\n\n[Software]\n\"a\"=\"whole\"\n\"v\"=hex:01,\\\n";
    WriteHive("user.reg", damaged);
    WriteHive("system.reg", "REGEDIT4\n\n[K]\n\"v\"=\"fine\"\n");

    platform::ResetStoreNotices();
    CRegistry store(Folder());
    testing::internal::CaptureStderr();
    EXPECT_EQ(store.QueryString(HKEY_CURRENT_USER, "Software", "a"), "whole");
    EXPECT_FALSE(store.QueryBinary(HKEY_CURRENT_USER, "Software", "v"));
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find(FilePath("user.reg")), std::string::npos) << warning;
    EXPECT_NE(warning.find("damaged"), std::string::npos) << warning;
    EXPECT_NE(warning.find("line 5"), std::string::npos) << warning;

    const auto aside = FilesStartingWith("user.reg.damaged-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(aside[0].find_first_not_of("0123456789", 17), std::string::npos) << aside[0];
    EXPECT_EQ(FileText(aside[0]), damaged);
    EXPECT_FALSE(platform::FileExists(FilePath("user.reg")));
    EXPECT_EQ(store.QueryString(HKEY_LOCAL_MACHINE, "K", "v"), "fine");
    const auto notices = platform::TakeStoreNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].path, FilePath("user.reg"));
    EXPECT_EQ(notices[0].aside, FilePath(aside[0]));

    // The store carries on; the next damage is kept beside the first, not over it.
    ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "K", "v", "new"));
    EXPECT_EQ(CRegistry(Folder()).QueryString(HKEY_CURRENT_USER, "K", "v"), "new");
    WriteHive("user.reg", "garbage");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CRegistry(Folder()).KeyExists(HKEY_CURRENT_USER, "K"));
    testing::internal::GetCapturedStderr();
    platform::ResetStoreNotices();
    const auto both = FilesStartingWith("user.reg.damaged-");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(FileText(both[0]) + FileText(both[1]),
              both[0] == aside[0] ? damaged + "garbage" : "garbage" + damaged);
}

TEST_F(RegistryTest, OversizedHiveIsMovedAsideUnread) {
    ::mkdir(Folder().c_str(), 0700);
    const int fd = ::open(FilePath("user.reg").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 100 << 20), 0); // 100 MiB, sparse
    ::close(fd);

    CRegistry store(Folder());
    testing::internal::CaptureStderr();
    EXPECT_TRUE(store.EnumKeys(HKEY_CURRENT_USER, "").empty());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("damaged"), std::string::npos);
    const auto aside = FilesStartingWith("user.reg.damaged-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(platform::GetFileStatus(FilePath(aside[0]))->size, 100u << 20);
    EXPECT_TRUE(store.SetDword(HKEY_CURRENT_USER, "K", "v", 1));
}

TEST_F(RegistryTest, HiveThatIsAFolderIsLeftAlone) {
    ::mkdir(Folder().c_str(), 0700);
    ::mkdir(FilePath("user.reg").c_str(), 0700);
    CRegistry store(Folder());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(store.SetString(HKEY_CURRENT_USER, "K", "v", "x"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("user.reg"), std::string::npos);
    EXPECT_FALSE(store.QueryValue(HKEY_CURRENT_USER, "K", "v"));
    EXPECT_TRUE(platform::IsDirectory(FilePath("user.reg")));
    EXPECT_TRUE(FilesStartingWith("user.reg.").empty());
}

TEST_F(RegistryTest, FailedWriteKeepsTheOldFileAndTheOldValues) {
    CRegistry store(Folder());
    ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "K", "kept", "old"));
    const std::string before = FileText("user.reg");

    // A file-size limit makes the write of the larger hive fail, even for the superuser.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = before.size() + 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = store.SetString(HKEY_CURRENT_USER, "K", "kept", std::string(100, 'n'));
    const bool added = store.SetBinary(HKEY_CURRENT_USER, "K\\New", "b", PatternBytes(100));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(added);
    EXPECT_EQ(FileText("user.reg"), before);
    EXPECT_EQ(store.QueryString(HKEY_CURRENT_USER, "K", "kept"), "old");
    EXPECT_FALSE(store.KeyExists(HKEY_CURRENT_USER, "K\\New"));
    EXPECT_EQ(FilesStartingWith("user.reg").size(), 1u); // no temporary file left behind
    EXPECT_TRUE(store.SetString(HKEY_CURRENT_USER, "K", "kept", "later"));
    EXPECT_EQ(CRegistry(Folder()).QueryString(HKEY_CURRENT_USER, "K", "kept"), "later");
}

TEST_F(RegistryTest, WriteIntoAReadOnlyFolderFails) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    CRegistry store(Folder());
    ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "K", "v", "old"));
    const std::string before = FileText("user.reg");
    ASSERT_EQ(::chmod(Folder().c_str(), 0500), 0);
    EXPECT_FALSE(store.SetString(HKEY_CURRENT_USER, "K", "v", "new"));
    ::chmod(Folder().c_str(), 0700);
    EXPECT_EQ(FileText("user.reg"), before);
    EXPECT_EQ(store.QueryString(HKEY_CURRENT_USER, "K", "v"), "old");
}

TEST_F(RegistryTest, HiveTooLargeToReadBackIsNotWritten) {
    CRegistry store(Folder());
    ASSERT_TRUE(store.SetString(HKEY_CURRENT_USER, "K", "v", "old"));
    const std::string before = FileText("user.reg");
    EXPECT_FALSE(store.SetBinary(HKEY_CURRENT_USER, "K", "huge", std::string(6u << 20, 'x')));
    EXPECT_FALSE(store.QueryValue(HKEY_CURRENT_USER, "K", "huge"));
    EXPECT_EQ(FileText("user.reg"), before);
}

TEST_F(RegistryTest, ProcessStoreFollowsXdgConfigHome) {
    {
        testsupport::CScopedEnv home("HOME", m_temp.Path().c_str());
        testsupport::CScopedEnv xdg("XDG_CONFIG_HOME", (m_temp.Path() + "/config/").c_str());
        CRegistry::Instance().Reset();
        EXPECT_EQ(CRegistry::Instance().Folder(), m_temp.Path() + "/config/corvella");
        EXPECT_TRUE(CRegistry::Instance().SetDword(HKEY_CURRENT_USER, "K", "v", 7));
        EXPECT_TRUE(platform::FileExists(m_temp.Path() + "/config/corvella/user.reg"));

        // A relative XDG_CONFIG_HOME does not count; HOME's .config is used.
        ::setenv("XDG_CONFIG_HOME", "relative", 1);
        CRegistry::Instance().Reset();
        EXPECT_EQ(CRegistry::Instance().Folder(), m_temp.Path() + "/.config/corvella");
        EXPECT_FALSE(CRegistry::Instance().KeyExists(HKEY_CURRENT_USER, "K"));

        CRegistry::Instance().Reset(m_temp.Path() + "/config/corvella/");
        EXPECT_EQ(CRegistry::Instance().QueryDword(HKEY_CURRENT_USER, "K", "v"), 7u);
    }
    CRegistry::Instance().Reset(); // the default folder, with the variables back
}

TEST_F(RegistryTest, TemporariesOfInterruptedSavesAreRemovedAtTheNextStart) {
    WriteHive("system.reg.tmp-Ab3xZ9", "REGEDIT4\n\n[Half"); // a writer killed mid-save
    WriteHive("system.reg.tmp-Live01", "being written");
    WriteHive("system.reg.tmp-short", "not a temporary of ours");
    WriteHive("notes.reg.tmp-Ab3xZ9", "another file's");
    // A live writer holds its temporary locked until the rename.
    const int liveWriter = ::open(FilePath("system.reg.tmp-Live01").c_str(), O_RDONLY);
    ASSERT_GE(liveWriter, 0);
    ASSERT_EQ(::flock(liveWriter, LOCK_EX), 0);

    CRegistry store(Folder());
    EXPECT_FALSE(store.QueryDword(HKEY_LOCAL_MACHINE, "K", "v"));
    EXPECT_EQ(FilesStartingWith("system.reg.tmp-"),
              (std::vector<std::string>{"system.reg.tmp-Live01", "system.reg.tmp-short"}));
    EXPECT_EQ(FileText("notes.reg.tmp-Ab3xZ9"), "another file's");

    // Once the writer is gone, the next save clears its leftover too, and leaves none of its own.
    ::close(liveWriter);
    ASSERT_TRUE(store.SetDword(HKEY_LOCAL_MACHINE, "K", "v", 7));
    EXPECT_EQ(FilesStartingWith("system.reg"),
              (std::vector<std::string>{"system.reg", "system.reg.tmp-short"}));
}
