#include "core/MediaTypes.h"
#include "res/StringTable.h"

#include <gtest/gtest.h>

using namespace core;

TEST(MediaTypes, PatternListsKeepTheirIrregularSeparators) {
    EXPECT_EQ(res::LoadString(131), "*.mp3;*.wav;*.wma;*.mpa*.mp2;*.mid;*.rmi");
    EXPECT_EQ(res::LoadString(125), "*.bmp;*.tga;");
    EXPECT_EQ(res::LoadString(132), "*.asf;*.asx;*.mpg;*.mpeg;*.mpv;*.avi;*.dat;*.wmv;");
    EXPECT_EQ(res::LoadString(118), "*.cda");
    // The table is searched by halving, which only finds ids kept in ascending order.
    std::size_t count = 0;
    const std::uint32_t* ids = res::StringIds(count);
    for (std::size_t i = 1; i < count; ++i)
        EXPECT_LT(ids[i - 1], ids[i]);
    for (std::uint32_t id : {107u, 108u, 109u, 118u, 121u, 125u, 131u, 132u})
        EXPECT_FALSE(res::LoadString(id).empty()) << id;
}

TEST(MediaTypes, AllSupportedListOmitsPlaylistsAndJoinsInFixedOrder) {
    const std::string all = AllSupportedPatterns();
    EXPECT_EQ(all, res::LoadString(108) + ";" + res::LoadString(107) + ";" + res::LoadString(121) +
                       ";*.cda;" + res::LoadString(132) + ";" + res::LoadString(131) + ";" +
                       res::LoadString(125) + kAddedAudioPatterns + ";" + kAddedVideoPatterns);
    EXPECT_EQ(all.find("*.mpl"), std::string::npos);
    EXPECT_EQ(all.find("*.m3u"), std::string::npos);
    // Lists ending in ';' leave an empty item before the next list.
    EXPECT_NE(all.find("*.wmv;;*.mp3"), std::string::npos);
}

TEST(MediaTypes, FilterTextShape) {
    const std::string filter = BuildOpenFilter();
    const std::string all = AllSupportedPatterns();
    EXPECT_EQ(filter.rfind("All Supported Files (" + all + ")|" + all + "|", 0), 0u);
    EXPECT_TRUE(filter.ends_with("|All Files (*.*)|*.*||"));
    const std::string expected =
        "All Supported Files (" + all + ")|" + all + "|" +
        "Playlist Files (*.mpl;*.m3u;*.pls;*.m3u8;*.xspf)|*.mpl;*.m3u;*.pls;*.m3u8;*.xspf|" +
        "Windows Media Files (" + res::LoadString(108) + ";*.cda)|" + res::LoadString(108) +
        ";*.cda|" + "All Video Files (" + VideoPatterns() + ")|" + VideoPatterns() + "|" +
        "All Audio Files (" + AudioPatterns() + ")|" + AudioPatterns() + "|" +
        "All Image Files (*.bmp;*.tga;)|*.bmp;*.tga;|" + "All Files (*.*)|*.*||";
    EXPECT_EQ(filter, expected);
    // The groups hold every type the media engine decodes, each pattern once, joined by one ';'.
    for (const char* ext : {"ogg", "oga", "opus", "flac", "m4a", "aac", "mka", "wv", "ape", "mpc"})
        EXPECT_NE((AudioPatterns() + ";").find(std::string(";*.") + ext + ";"), std::string::npos);
    for (const char* ext : {"mp4", "m4v", "mkv", "webm", "3gp", "ts"})
        EXPECT_NE((VideoPatterns() + ";").find(std::string(";*.") + ext + ";"), std::string::npos);
    EXPECT_EQ(VideoPatterns().find(";;"), std::string::npos);
    // Real Media and QuickTime are not groups of their own.
    EXPECT_EQ(filter.find("Real Media Files"), std::string::npos);
    EXPECT_EQ(filter.find("QuickTime Media Files"), std::string::npos);
}

TEST(MediaTypes, FilterLabelsAreTranslated) {
    const std::string filter =
        BuildOpenFilter([](const std::string& text) { return "<" + text + ">"; });
    EXPECT_EQ(filter.rfind("<All Supported Files> (", 0), 0u);
    EXPECT_NE(filter.find("|<Playlist Files> (*.mpl;*.m3u;*.pls;*.m3u8;*.xspf)|"),
              std::string::npos);
    EXPECT_TRUE(filter.ends_with("|<All Files> (*.*)|*.*||"));
}
