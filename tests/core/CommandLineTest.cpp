#include "core/CommandLineCollector.h"
#include "core/MediaTypes.h"
#include "platform/Log.h"
#include "res/StringTable.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace core;
using testsupport::ScratchFolder;

namespace {

using Paths = std::vector<std::string>;

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

Paths Collect(const std::string& commandLine) {
    CCommandLineCollector collector(BuildOpenFilter());
    return collector.Collect(ParseCommandLine(commandLine));
}

// top/a.mp3, top/b.txt, top/sub/c.avi, top/sub/deeper/d.wav; returns top.
std::string MakeTree(const ScratchFolder& dir) {
    for (const char* name : {"a.mp3", "b.txt", "sub/c.avi", "sub/deeper/d.wav"})
        dir.MakeFile(std::string("top/") + name);
    return dir / "top";
}

} // namespace

TEST(CommandLine, WordsOptionsAndNumbers) {
    EXPECT_EQ(SplitCommandLine("  -x\t-s 10  \"/my music/a b.mp3\" x\"y z\"w \"\" \"open"),
              (Paths{"-x", "-s", "10", "/my music/a b.mp3", "xy zw", "", "open"}));
    EXPECT_TRUE(SplitCommandLine(" \t ").empty());

    // The last mode wins; file arguments keep their case.
    const auto o = ParseCommandLine("-x -s 10 -l 500 /A -N /R -F /S 0 -L 7 /Music/Song.MP3 -m -a");
    EXPECT_TRUE(o.mode == AddMode::Append && o.random && o.fullScreen);
    EXPECT_TRUE(o.maxDepth == 0 && o.maxFiles == 7 && o.fileArgs == Paths{"/Music/Song.MP3"});
    const auto d = ParseCommandLine("song.mp3");
    EXPECT_TRUE(d.mode == AddMode::Replace && !d.random && !d.fullScreen);
    EXPECT_TRUE(d.maxDepth == 1 && d.maxFiles == 100);
    // Bad option words never become numbers (a count is held at the largest); a word that is no
    // number is a file.
    const auto bad =
        ParseCommandLine("-s 3 -s deep -l -5 -l 99999999999999999999 -q --verbose a.mp3 -s");
    EXPECT_TRUE(bad.maxDepth == 3 && bad.maxFiles == 4294967295u);
    EXPECT_EQ(bad.fileArgs, (Paths{"deep", "a.mp3"}));

    // Files are accepted by their extension's place in the open filter's text.
    CCommandLineCollector collector(BuildOpenFilter());
    for (const char* path : {"/m/Song.MP3", "/m/x.cda", "/m/list.M3U", "/m/a.mpga", "/m/b.tga",
                             "/m/label.les", "/m/c.mp"})
        EXPECT_TRUE(collector.Accept(path)) << path;
    for (const char* path :
         {"/m/a.x", "/m/noext", "/m/a.txt", "/m/a.mp3.bak", "/m.mp3/file", "/m/Files.FILES"})
        EXPECT_FALSE(collector.Accept(path)) << path;
}

TEST(CommandLine, FolderSearchDepthLimitAndFileArguments) {
    ScratchFolder dir;
    const std::string top = MakeTree(dir);
    dir.MakeFile("loose.mp3");
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    // Searching "top" makes it current; "loose.mp3" and "top/sub" still mean the start's.
    EXPECT_EQ(Collect("-s 0 top ./loose.mp3 top/./sub/deeper/.. .//top/../loose.mp3"),
              (Paths{top + "/a.mp3", dir / "loose.mp3", top + "/sub/c.avi", dir / "loose.mp3"}));
    EXPECT_EQ(std::filesystem::current_path().string(), top + "/sub"); // the last one searched
    EXPECT_EQ(Sorted(Collect(top + "/")), Sorted({top + "/a.mp3", top + "/sub/c.avi"}));
    EXPECT_EQ(Sorted(Collect("-s 10 \"" + top + "\"")),
              Sorted({top + "/a.mp3", top + "/sub/c.avi", top + "/sub/deeper/d.wav"}));
    // Files are kept as written when accepted, whether they exist or not.
    EXPECT_EQ(Collect(top + "/b.txt /gone/x.wma " + top + "/a.mp3"),
              (Paths{"/gone/x.wma", top + "/a.mp3"}));
    // The count limit is never exceeded.
    EXPECT_EQ(Collect("-s 10 -l 1 " + top + " /x/y.mp3").size(), 1u);
    EXPECT_EQ(Collect("-l 1 /x/1.mp3 /x/2.mp3"), (Paths{"/x/1.mp3"}));
    EXPECT_TRUE(Collect("-l 0 /x/1.mp3 " + top).empty());
    // A folder is added in natural name order, and a cut by the limit is said once.
    for (const char* name : {"song10.mp3", "Song9.mp3", "song100.mp3", "song09b.mp3"})
        dir.MakeFile(std::string("nat/") + name);
    const std::string nat = dir / "nat";
    testing::internal::CaptureStderr();
    EXPECT_EQ(Collect("-l 3 " + nat + " /x/1.mp3"),
              (Paths{nat + "/Song9.mp3", nat + "/song09b.mp3", nat + "/song10.mp3"}));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("first 3 files"), std::string::npos) << said;
    EXPECT_EQ(said.find("first 3 files"), said.rfind("first 3 files")) << said;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Collect("-l 4 " + nat).size(), 4u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // Unreadable folders are skipped.
    dir.MakeFile("top/locked/secret.mp3");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir / "top/locked").c_str(), 0), 0);
    const auto found = testsupport::RunUnprivileged([&] {
        std::string text;
        for (const std::string& path : Sorted(Collect("-s 10 " + top + " " + top + "/locked")))
            text += path + "\n";
        return text;
    });
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, top + "/a.mp3\n" + top + "/sub/c.avi\n" + top + "/sub/deeper/d.wav\n");
}

// The walk collects what the player opens, with odd names byte for byte; it ends link loops,
// searches each folder once and leaves out pipes and devices, saying why.
TEST(CommandLine, FolderWalkFollowsLinksOnceAndLeavesOutPipesAndDevices) {
    ScratchFolder dir;
    const std::string top = MakeTree(dir);
    for (const char* name :
         {"x.ogg", "x.M3U8", "sub/line\nbreak.mp3", "sub/caf\xe9\xff.wav", "sub/blank name.avi"})
        dir.MakeFile(std::string("top/") + name);
    std::filesystem::create_directory_symlink(top, top + "/sub/deeper/loop");
    std::filesystem::create_directory_symlink(top + "/sub", top + "/again");
    std::filesystem::create_symlink(top + "/missing", top + "/dangling.avi");
    std::filesystem::create_symlink("/dev/zero", top + "/zero.mp3");
    ASSERT_EQ(::mkfifo((top + "/pipe.ogg").c_str(), 0600), 0);
    platform::SetVerbose(true);
    testing::internal::CaptureStderr();
    Paths names; // whether sub is entered as sub or as again depends on the listing order
    for (const std::string& path : Collect("-s 4000000000 -l 100000 \"" + top + "\""))
        names.push_back(std::filesystem::path(path).filename().string());
    const std::string log = testing::internal::GetCapturedStderr();
    platform::SetVerbose(false);
    EXPECT_EQ(Sorted(names), Sorted({"a.mp3", "c.avi", "d.wav", "dangling.avi", "x.ogg", "x.M3U8",
                                     "line\nbreak.mp3", "caf\xe9\xff.wav", "blank name.avi"}));
    for (const char* refused : {"/b.txt", "/pipe.ogg", "/zero.mp3"})
        EXPECT_NE(log.find(top + refused), std::string::npos) << refused << "\n" << log;
    // A pipe or device the user named is left out with its reason, verbose or not.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(Collect(top + "/pipe.ogg " + top + "/zero.mp3").empty());
    const std::string said = testing::internal::GetCapturedStderr();
    for (const char* refused : {"/pipe.ogg", "/zero.mp3"})
        EXPECT_NE(said.find("not a regular file (a pipe or a device): " + top + refused),
                  std::string::npos)
            << said;
}

// The lists are the string table's texts as they stand; what the filter adds is their order,
// the engine's extra types, and leaving playlists out of "all supported".
TEST(MediaTypes, OpenFilterGroupsInOrderWithTheEngineTypesAndTranslatedLabels) {
    const std::string all = AllSupportedPatterns();
    EXPECT_TRUE(all.starts_with(res::LoadString(108) + ";" + res::LoadString(107) + ";"));
    EXPECT_EQ(all.find("*.m3u"), std::string::npos);
    EXPECT_NE(all.find("*.wmv;;*.mp3"), std::string::npos) << "a list's trailing ';' is kept";
    for (const char* ext : {"ogg", "oga", "opus", "flac", "m4a", "aac", "mp4", "m4v", "mkv", "mka",
                            "webm", "wv", "ape", "mpc", "3gp", "ts"})
        EXPECT_NE((all + ";").find(std::string(";*.") + ext + ";"), std::string::npos) << ext;
    EXPECT_EQ(VideoPatterns().find(";;"), std::string::npos);

    const std::string filter = BuildOpenFilter([](const std::string& t) { return "<" + t + ">"; });
    std::size_t at = 0;
    for (const std::string& group :
         {"<All Supported Files> (" + all + ")|" + all + "|",
          std::string("|<Playlist Files> (*.mpl;*.m3u;*.pls;*.m3u8;*.xspf)|"),
          "|<Windows Media Files> (" + res::LoadString(108) + ";*.cda)|",
          "|<All Video Files> (" + VideoPatterns() + ")|",
          "|<All Audio Files> (" + AudioPatterns() + ")|",
          std::string("|<All Image Files> (*.bmp;*.tga;)|*.bmp;*.tga;|<All Files> (*.*)|*.*||")}) {
        at = filter.find(group, at);
        ASSERT_NE(at, std::string::npos) << group << "\n" << filter;
    }
    EXPECT_TRUE(filter.ends_with("*.*||"));
    EXPECT_EQ(filter.find("Real Media Files"), std::string::npos);
    EXPECT_EQ(BuildOpenFilter().rfind("All Supported Files (", 0), 0u);
}
