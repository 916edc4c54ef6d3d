// Runs the built corvella-playlist program.
#include "tests/core/CoreTestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

using testsupport::ScratchFolder;

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

// Runs the tool inside `dir` with the arguments (words the shell splits at blanks).
ToolRun Tool(const ScratchFolder& dir, const std::string& args) {
    const std::string cmd = "cd '" + dir.Path() +
                            "' && '" CORVELLA_BINARY_DIR "/corvella-playlist' " + args + " >'" +
                            (dir / "stdout") + "' 2>'" + (dir / "stderr") + "'";
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, coretest::Read(dir / "stdout"),
            coretest::Read(dir / "stderr")};
}

} // namespace

// Show prints one JSON object per clip; convert writes every format, relative to the output's
// folder where it can, reports unreadable inputs and converts the rest.
TEST(PlaylistTool, ShowsAndConvertsPlaylistsAndReportsUnreadableInputs) {
    ScratchFolder dir;
    dir.MakeFile("a.mp3", "1");
    dir.MakeFile("b.ogg", "22");
    // Not valid UTF-8, so the whole file is read as Latin-1.
    dir.MakeFile("l.m3u", "#EXTM3U\n#EXTINF:61,Caf\xE9 \"q\"\\\n a.mp3\n"
                          "#EXTINF:-1,bad\xFF\x01\nmissing\xE9.mp3\n");
    const ToolRun show = Tool(dir, "show l.m3u");
    EXPECT_EQ(show.exitCode, 0) << show.err;
    EXPECT_EQ(show.err, "");
    const std::string tail = "\"infoLoaded\":0,\"playable\":1,\"reserved\":0,\"fileSize\":0,"
                             "\"modified\":0,\"duration\":";
    EXPECT_EQ(show.out,
              "{\"class\":\"CAttribClip\",\"path\":\"" + dir.Path() +
                  "/ a.mp3\",\"typeName\":\"\",\"title\":\"Caf\xC3\xA9 \\\"q\\\"\\\\\"," + tail +
                  "61}\n{\"class\":\"CAttribClip\",\"path\":\"" + dir.Path() +
                  "/missing\xC3\xA9.mp3\",\"typeName\":\"\",\"title\":\"bad\xC3\xBF\\u0001\"," +
                  tail + "0}\n");

    ASSERT_EQ(Tool(dir, "convert a.mp3 b.ogg -o x.mpl").exitCode, 0);
    ASSERT_EQ(Tool(dir, "convert x.mpl -o y.M3U").exitCode, 0);
    EXPECT_EQ(coretest::Read(dir / "y.M3U"), "#EXTM3U\n#EXTINF:0,a\na.mp3\n#EXTINF:0,b\nb.ogg\n");
    ASSERT_EQ(Tool(dir, "convert y.M3U --output z.pls").exitCode, 0);
    EXPECT_EQ(coretest::Read(dir / "z.pls"),
              "[playlist]\nFile1=a.mp3\nTitle1=a\nLength1=0\nFile2=b.ogg\nTitle2=b\nLength2=0\n"
              "NumberOfEntries=2\nVersion=2\n");
    dir.MakeFolder("sub");
    ASSERT_EQ(Tool(dir, "convert z.pls -o sub/w.xspf").exitCode, 0);
    EXPECT_NE(coretest::Read(dir / "sub/w.xspf")
                  .find("<location>file://" + (dir / "a.mp3") + "</location><title>a</title>"),
              std::string::npos);
    ASSERT_EQ(Tool(dir, "convert sub/w.xspf -o v.m3u8").exitCode, 0);
    ASSERT_EQ(Tool(dir, "convert v.m3u8 -o back.mpl").exitCode, 0);
    EXPECT_EQ(Tool(dir, "show back.mpl").out, Tool(dir, "show z.pls").out);

    dir.MakeFile("bad.mpl", "junk");
    const ToolRun r = Tool(dir, "convert bad.mpl nothing.pls gone.mp3 a.mp3 -o o.m3u");
    EXPECT_EQ(r.exitCode, 1);
    for (const std::string& said :
         {"File Exception.\nCann't load file.\n\n " + dir / "bad.mpl",
          "Unrecognizable Playlist File Format. \n\n " + dir / "nothing.pls",
          std::string("gone.mp3")})
        EXPECT_NE(r.err.find(said), std::string::npos) << said;
    EXPECT_EQ(coretest::Read(dir / "o.m3u"), "#EXTM3U\n#EXTINF:0,a\na.mp3\n");
    const ToolRun save = Tool(dir, "convert a.mp3 -o nofolder/o.mpl");
    EXPECT_EQ(save.exitCode, 1);
    EXPECT_NE(save.err.find("Cann't save file.\n\n nofolder/o.mpl"), std::string::npos);

    // Usage errors.
    for (const char* args :
         {"", "show", "play a.mp3", "convert a.mp3", "convert a.mp3 -o", "convert a.mp3 -o x.txt",
          "convert a.mp3 -o u.mpl -o w.mpl", "show a.mp3 -o u.mpl", "show --frobnicate a.mp3"}) {
        const ToolRun usage = Tool(dir, args);
        EXPECT_EQ(usage.exitCode, 2) << args;
        EXPECT_NE(usage.err.find("--help"), std::string::npos);
        EXPECT_EQ(usage.out, "");
    }
    const ToolRun help = Tool(dir, "--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("convert FILE... -o OUT"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "u.mpl") || std::filesystem::exists(dir / "w.mpl"));
}
