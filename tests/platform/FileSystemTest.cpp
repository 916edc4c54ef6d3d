#include "platform/FileSystem.h"

#include <gtest/gtest.h>

TEST(FileSystem, MatchesPatternIgnoresCase) {
    EXPECT_TRUE(platform::MatchesPattern("Track01.CDA", "*.cda"));
    EXPECT_TRUE(platform::MatchesPattern("a.mp3", "?.MP3"));
    EXPECT_FALSE(platform::MatchesPattern("ab.mp3", "?.mp3"));
    EXPECT_TRUE(platform::MatchesPattern("x", "*"));
    EXPECT_FALSE(platform::MatchesPattern("song.mp3x", "*.mp3"));
}
