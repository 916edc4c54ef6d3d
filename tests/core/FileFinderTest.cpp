#include "core/FileFinder.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace core;
using testsupport::ScratchFolder;
using Paths = std::vector<std::string>;

namespace {

Paths Names(const CFileFinder& finder, std::size_t prefix) {
    Paths names;
    for (const FinderRecord& r : finder.Results())
        names.push_back(r.path.substr(prefix));
    return names;
}

} // namespace

TEST(FileFinder, FindsMatchingFilesOfTheFolderOnlyInCaseBlindNameOrder) {
    ScratchFolder dir;
    for (const char* name : {"track10.cda", "Track09.cda", "Track01.CDA", "notes.txt"})
        dir.MakeFile(std::string("cd/") + name);
    dir.MakeFile("cd/sub/Track02.cda"); // subfolders are not searched
    dir.MakeFolder("cd/Folder.cda");    // a folder is never a result
    CFileFinder finder;
    finder.AddFolder(dir / "cd/");
    EXPECT_TRUE(finder.Search("*.CDA"));
    finder.Sort(FINDER_SORT_PATH, false);
    const std::size_t prefix = (dir / "cd/").size();
    EXPECT_EQ(Names(finder, prefix), (Paths{"Track01.CDA", "Track09.cda", "track10.cda"}));
    EXPECT_EQ(finder.Results()[0].path, dir / "cd/Track01.CDA");
    finder.Sort(FINDER_SORT_PATH, true);
    EXPECT_EQ(Names(finder, prefix), (Paths{"track10.cda", "Track09.cda", "Track01.CDA"}));
}

TEST(FileFinder, SortsBySizeAndTimesAndIgnoresUnknownKeys) {
    ScratchFolder dir;
    // name, size, accessed, written
    const std::tuple<const char*, int, time_t, time_t> files[] = {
        {"a.dat", 300, 3000, 1000}, {"b.dat", 100, 1000, 3000}, {"c.dat", 200, 2000, 2000}};
    for (const auto& [name, size, accessed, written] : files) {
        const timespec times[2] = {{accessed, 0}, {written, 0}};
        const std::string path = dir.MakeFile(name, std::string(std::size_t(size), 'x'));
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    CFileFinder finder;
    finder.AddFolder(dir.Path());
    ASSERT_TRUE(finder.Search("*.dat"));
    const std::size_t prefix = dir.Path().size() + 1;
    const Paths bca = {"b.dat", "c.dat", "a.dat"};
    finder.Sort(FINDER_SORT_SIZE, false);
    EXPECT_EQ(Names(finder, prefix), bca);
    EXPECT_EQ(finder.Results()[0].size, 100u);
    finder.Sort(FINDER_SORT_WRITTEN, true);
    EXPECT_EQ(Names(finder, prefix), bca);
    EXPECT_EQ(finder.Results()[0].written, 3000);
    finder.Sort(FINDER_SORT_ACCESSED, false);
    EXPECT_EQ(Names(finder, prefix), bca);
    finder.Sort(FINDER_SORT_ACCESSED, true);
    for (int key : {0, 6, -1}) {
        finder.Sort(key, false);
        EXPECT_EQ(Names(finder, prefix), (Paths{"a.dat", "c.dat", "b.dat"})) << key;
    }
}

TEST(FileFinder, SeveralFoldersAndPatternsGoIntoOneResultList) {
    ScratchFolder dir;
    for (const char* name : {"one/x.dat", "two/y.mpg", "two/z.DAT"})
        dir.MakeFile(name);
    CFileFinder finder;
    finder.AddFolder(dir / "one");
    finder.AddFolder(dir / "two//");
    finder.AddFolder(dir / "missing"); // adds nothing, and is no error
    EXPECT_TRUE(finder.Search("*.dat"));
    EXPECT_TRUE(finder.Search("*.mpg"));
    finder.Sort(FINDER_SORT_PATH, false);
    EXPECT_EQ(finder.ResultPaths(),
              (Paths{dir / "one/x.dat", dir / "two/y.mpg", dir / "two/z.DAT"}));
    finder.ClearResults();
    EXPECT_TRUE(finder.Results().empty());
    finder.ClearFolders();
    EXPECT_TRUE(finder.Search("*"));
    EXPECT_TRUE(finder.Results().empty());
}

TEST(FileFinder, DriveLetterRootIsSearchedWithBackslash) {
    // "D:" is an ordinary folder name here; the finder still forms D:\<name> as on a drive.
    ScratchFolder dir;
    dir.MakeFile("D:/Track02.cda");
    dir.MakeFile("D:/Track01.cda");
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    for (const char* root : {"D:\\", "D:/", "D:\\\\", "D:"}) {
        CFileFinder finder;
        finder.AddFolder(root);
        EXPECT_TRUE(finder.Search("*.CDA"));
        finder.Sort(FINDER_SORT_PATH, false);
        EXPECT_EQ(finder.ResultPaths(), (Paths{"D:\\Track01.cda", "D:\\Track02.cda"})) << root;
    }
}

// A listing that breaks off fails the search but keeps what was read; an unreadable folder
// adds nothing and is no failure.
TEST(FileFinder, BrokenListingsAndUnreadableFolders) {
    CFileFinder finder([](const std::string& folder, const std::string&,
                          std::vector<platform::FolderEntry>& entries) {
        entries.push_back({"a.dat"});
        return folder == "/bad" ? platform::ListStatus::ReadFailed : platform::ListStatus::Listed;
    });
    finder.AddFolder("/good");
    EXPECT_TRUE(finder.Search("*"));
    finder.AddFolder("/bad/");
    EXPECT_FALSE(finder.Search("*"));
    EXPECT_EQ(finder.ResultPaths(), (Paths{"/good/a.dat", "/good/a.dat", "/bad/a.dat"}));

    ScratchFolder dir;
    dir.MakeFile("locked/a.cda");
    dir.MakeFile("open/b.cda");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir / "locked").c_str(), 0), 0);
    const auto found = testsupport::RunUnprivileged([&] {
        CFileFinder real;
        real.AddFolder(dir / "locked");
        real.AddFolder(dir / "open");
        const bool ok = real.Search("*.cda");
        return std::string(ok ? "ok " : "failed ") + real.ResultPaths().at(0) + " " +
               std::to_string(real.Results().size());
    });
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, "ok " + dir / "open/b.cda" + " 1");
}
