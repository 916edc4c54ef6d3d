#include "core/FileFinder.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

using namespace core;
using testsupport::ScratchFolder;
using Paths = std::vector<std::string>;

// Drive-letter roots are disc discovery's test.
TEST(FileFinder, FindsMatchingFilesOfTheFoldersOnlyInCaseBlindNameOrder) {
    ScratchFolder dir;
    for (const char* name : {"cd/track10.cda", "cd/Track09.cda", "cd/Track01.CDA", "cd/notes.txt",
                             "cd/sub/Track02.cda", "two/y.mpg"})
        dir.MakeFile(name);
    dir.MakeFolder("cd/Folder.cda"); // a folder is never a result
    CFileFinder finder;
    finder.AddFolder(dir / "cd/");
    finder.AddFolder(dir / "two//");
    finder.AddFolder(dir / "missing"); // adds nothing, and is no error
    EXPECT_TRUE(finder.Search("*.CDA"));
    EXPECT_TRUE(finder.Search("*.mpg"));
    finder.Sort(FINDER_SORT_PATH, false);
    const Paths sorted = {dir / "cd/Track01.CDA", dir / "cd/Track09.cda", dir / "cd/track10.cda",
                          dir / "two/y.mpg"};
    EXPECT_EQ(finder.ResultPaths(), sorted);
    finder.Sort(FINDER_SORT_PATH, true);
    EXPECT_EQ(finder.ResultPaths(), Paths(sorted.rbegin(), sorted.rend()));
    finder.ClearResults();
    finder.ClearFolders();
    EXPECT_TRUE(finder.Search("*") && finder.Results().empty());
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
    const Paths bca = {dir / "b.dat", dir / "c.dat", dir / "a.dat"};
    const std::pair<int, bool> sorts[] = {
        {FINDER_SORT_SIZE, false}, {FINDER_SORT_WRITTEN, true}, {FINDER_SORT_ACCESSED, false}};
    for (const auto& [key, descending] : sorts) {
        finder.Sort(key, descending);
        EXPECT_EQ(finder.ResultPaths(), bca) << key;
    }
    EXPECT_TRUE(finder.Results()[0].size == 100 && finder.Results()[0].written == 3000);
    finder.Sort(FINDER_SORT_ACCESSED, true);
    for (int key : {0, 6, -1}) {
        finder.Sort(key, true);
        EXPECT_EQ(finder.ResultPaths(), (Paths{dir / "a.dat", dir / "c.dat", dir / "b.dat"}))
            << key;
    }
}

// A listing that breaks off fails the search but keeps what was read (a folder that cannot be
// opened is the missing folder above).
TEST(FileFinder, BrokenListingsFailTheSearchButKeepWhatWasRead) {
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
}
