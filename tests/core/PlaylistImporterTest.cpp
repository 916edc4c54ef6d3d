#include "core/PlaylistImporter.h"
#include "tests/core/CoreTestSupport.h"

#include <climits>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Path, title and length.
using Entry = std::tuple<std::string, std::string, std::uint32_t>;

std::vector<Entry> ReadAs(const std::string& path, const std::string& text) {
    PlaylistImporter imp;
    EXPECT_TRUE(imp.ReadText(path, text)) << path;
    std::vector<Entry> out;
    for (std::size_t i = 0; i < imp.GetCount(); ++i)
        out.push_back({imp.GetPath(i), imp.GetTitle(i), imp.GetLength(i)});
    return out;
}

} // namespace

// Playlists with drive-letter and POSIX paths, and the way other programs write them: headers
// without information lines, option and album lines, blank lines, URIs, Latin-1 text and PLS
// keys in any order and case.
TEST(PlaylistImporter, ReadsM3uPlsAndXspfAsWritten) {
    struct Case {
        std::string path, text, expected; // expected: path|title|length lines
    };
    const std::vector<Case> cases = {
        {"C:\\Music\\a.m3u",
         "#EXTM3U\r\n#EXTINF:61,Song One\r\nsong.mp3\r\n#EXTINF:7,Two, with comma\r\n"
         "D:\\x\\y.mp3\r\n#EXTINF:abc,No length\r\nsub\\z.mp3",
         "C:\\Music\\song.mp3|Song One|61\nD:\\x\\y.mp3|Two, with "
         "comma|7\nC:\\Music\\sub\\z.mp3|No length|0\n"},
        {"/music/list.M3U",
         "\xEF\xBB\xBF#extm3u\n#EXTINF:-1,Stream\nsong.mp3\n#EXTINF:99999999999,Huge\n/abs/b.ogg\n"
         "./x/../two.mp3\n#EXTINF:5,Sub\nsub\\dir\\c.mp3\n#EXTINF:3 no comma\nd.mp3\n"
         "#EXTINF:4,unpaired\n",
         "/music/song.mp3|Stream|0\n/abs/b.ogg|Huge|2147483647\n/music/two.mp3||0\n/music/sub/dir/"
         "c.mp3|Sub|5\n/music/d.mp3||3\n"},
        {"list.m3u", "#EXTM3U\n#EXTINF:1,T\na\\b.mp3\n", "a/b.mp3|T|1\n"},
        {"/p/list.m3u",
         "C:\\a\\first.mp3\nsong.mp3\nC:\\a\\noext\n/music/x.ogg\nsub\\y.mp3\n\n  \n#comment.mp3\n",
         "C:\\a\\first.mp3||0\n/p/song.mp3||0\nC:\\a\\noext||0\n/music/x.ogg||0\n/p/sub/"
         "y.mp3||0\n"},
        {"/p/bom.m3u", "\xEF\xBB\xBF/music/a.mp3\n", "/music/a.mp3||0\n"},
        {"/p/empty.m3u", "", ""},
        {"C:\\lists\\x.pls",
         "[playlist]\r\nFile1=C:\\a.mp3\r\nTitle1=A\r\nLength1=61\r\nNumberOfEntries=1\r\n",
         "C:\\a.mp3|A|61\n"},
        {"/lists/y.PLS",
         "[Playlist]\nFile1=rel\\b.mp3\nTitle1=B=b\nLength1=-1\nFile2=/abs/c.mp3\nTitle2=\n"
         "Length2=5\nNumberOfEntries=2\n",
         "/lists/rel/b.mp3|B=b|0\n/abs/c.mp3||5\n"},
        {"/l/a.m3u",
         "#EXTM3U\n#PLAYLIST:Mix\n#EXTALB:Album\n\n#EXTINF:10,A\n#EXTVLCOPT:network-caching=1000\n"
         "a.mp3\n \t\n#EXTINF:20,B\r\nb.mp3\r\n/m/c.mp3\n",
         "/l/a.mp3|A|10\n/l/b.mp3|B|20\n/m/c.mp3||0\n"},
        {"/l/u.m3u8",
         "#EXTM3U\n#EXTINF:5,Enc\nfile:///m/My%20Song%c3%A9%zz.mp3\nfile://localhost/m/x.ogg\n"
         "file:/m/y.ogg\nhttp://radio.example/stream\nfile://other/x.mp3\nfile:///a%00b.mp3\n",
         "/m/My "
         "Song\xC3\xA9%zz.mp3|Enc|5\n/m/x.ogg||0\n/m/y.ogg||0\nhttp://radio.example/"
         "stream||0\nfile://other/x.mp3||0\nfile:///a%00b.mp3||0\n"},
        {"/l/x.M3U8", "#EXTINF:1,Caf\xE9\n\xE9t\xE9.mp3\n",
         "/l/\xC3\xA9t\xC3\xA9.mp3|Caf\xC3\xA9|1\n"},
        {"/l/p.pls",
         "[playlist]\nTitle3=C\nfile3=file:///m/c%20d.mp3\nLENGTH3=-1\nFile1=a.mp3\n"
         "NumberOfEntries=2\nTitle1=A\nlength1=5\nTitle2=no file\nVersion=2\nFile=x\n"
         "File99999999999=y\n",
         "/l/a.mp3|A|5\n/m/c d.mp3|C|0\n"},
        {"/l/x.xspf",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<playlist version=\"1\" "
         "xmlns=\"http://xspf.org/ns/0/\"><title>P</title><trackList><track><location>"
         "file:///m/a%20b.ogg</location><title>A &amp; B</title><duration>61500</duration>"
         "<extension application=\"x\"><location>no</location></extension></track>"
         "<track><title>no location</title></track><track><location>sub/c%C3%A9.flac"
         "</location></track><track><location>http://radio.example/s</location>"
         "<duration>x</duration></track></trackList></playlist>",
         "/m/a b.ogg|A & B|61\n/l/sub/c\xC3\xA9.flac||0\nhttp://radio.example/s||0\n"},
    };
    for (const Case& c : cases) {
        std::string listed;
        for (const auto& [path, title, length] : ReadAs(c.path, c.text))
            listed += path + "|" + title + "|" + std::to_string(length) + "\n";
        EXPECT_EQ(listed, c.expected) << c.text;
    }
}

// Refused: PLS without its header, broken XSPF, NUL bytes, and control characters in numbers
// no text holds. Hostile text stays bounded.
TEST(PlaylistImporter, HostileTextStaysBoundedAndBinaryDataIsNoPlaylist) {
    PlaylistImporter imp;
    EXPECT_FALSE(imp.ReadText("/l/x.pls", "File1=/a.mp3\nTitle1=A\nLength1=1\n"));
    EXPECT_FALSE(imp.ReadText("/l/x.pls", ""));
    EXPECT_FALSE(imp.ReadText("/l/x.xspf", "<playlist><trackList><track>"));
    EXPECT_FALSE(imp.ReadText("/l/x.xspf", "<html/>"));
    EXPECT_FALSE(imp.ReadText("/l/x.m3u", std::string("#EXTM3U\n/x\0y.mp3\n", 17)));
    std::string random(4096, '\0');
    std::uint32_t seed = 7;
    for (char& c : random)
        c = char((seed = seed * 1103515245u + 12345u) >> 24);
    EXPECT_FALSE(imp.ReadText("/l/x.m3u", random));
    EXPECT_FALSE(imp.ReadText("/l/x.pls", "[playlist]\n" + random));
    std::replace(random.begin(), random.end(), '\0', '\x01');
    EXPECT_FALSE(imp.ReadText("/l/x.m3u", random));

    // A 10 MB title is cut (never inside a character), a path beyond the system's longest is
    // left out; bare carriage returns are kept as data, never as structure.
    const std::string huge = "a" + std::string(10u << 20, '\xE2');
    auto big = ReadAs("/l/x.m3u", "#EXTM3U\n#EXTINF:1," + huge + "\n/a.mp3\n/" + huge + ".mp3\n/" +
                                      std::string(PATH_MAX - 2, 'p') + "\n");
    ASSERT_EQ(big.size(), 2u);
    EXPECT_LE(std::get<1>(big[0]).size(), PlaylistImporter::kMaxTitleBytes);
    EXPECT_GE(std::get<1>(big[0]).size(), PlaylistImporter::kMaxTitleBytes - 2);
    EXPECT_TRUE(std::get<1>(big[0]).starts_with("a\xC3\xA2\xC3\xA2")); // taken as Latin-1
    EXPECT_NE(std::get<1>(big[0]).back(), '\xC3');                     // whole characters
    EXPECT_EQ(std::get<0>(big[1]).size(), std::size_t(PATH_MAX - 1));  // the longest kept
    EXPECT_EQ(ReadAs("/l/x.m3u", "#EXTM3U\n#EXTINF:1,a\tb\n/xy.mp3\r\r\n"),
              (std::vector<Entry>{{"/xy.mp3\r", "a\tb", 1}}));
}
