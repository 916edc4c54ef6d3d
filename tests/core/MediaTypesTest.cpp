#include "core/MediaTypes.h"
#include "res/StringTable.h"

#include <gtest/gtest.h>

using namespace core;

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
