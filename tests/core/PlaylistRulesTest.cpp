#include "core/PlaylistRules.h"

#include "core/AttribClip.h"

#include <gtest/gtest.h>

TEST(PlaylistRules, DurationTexts) {
    EXPECT_EQ(core::FormatDuration(3725), "1:02:05");
    EXPECT_EQ(core::FormatDuration(65), "1:05");
    EXPECT_EQ(core::FormatDuration(5), "05");
    EXPECT_EQ(core::FormatDuration(3600), "1:00:00");
    EXPECT_EQ(core::FormatDuration(60), "1:00");
    EXPECT_EQ(core::DurationText(0), "");
    EXPECT_EQ(core::DurationText(-7), ""); // a damaged record shows no nonsense
    EXPECT_EQ(core::DurationText(59), "59");
}

TEST(PlaylistRules, RowAfterRemoval) {
    EXPECT_EQ(core::RowAfterRemoval(core::kNoRowTarget, 3), 0);
    EXPECT_EQ(core::RowAfterRemoval(1, 3), 1);
    EXPECT_EQ(core::RowAfterRemoval(5, 3), 2);
    EXPECT_EQ(core::RowAfterRemoval(0, 0), core::kNoRowTarget);
}

TEST(PlaylistRules, SortDirectionFlipsOnlyForTheSameKey) {
    core::CSortDirection d;
    EXPECT_EQ(d.GetKey(), core::kNoRowTarget);
    EXPECT_TRUE(d.Next(core::SortByName));
    EXPECT_FALSE(d.Next(core::SortByName));
    EXPECT_TRUE(d.Next(core::SortBySize));
    EXPECT_TRUE(d.Next(core::SortByName));
    EXPECT_EQ(d.GetKey(), core::SortByName);
}

TEST(PlaylistRules, SortPrecedesByKey) {
    CAttribClip a, b;
    a.SetDuration(10);
    b.SetDuration(20);
    a.SetFileSize(-1); // above 2 GiB: the low 32 bits of a large size
    b.SetFileSize(5);
    EXPECT_TRUE(core::SortPrecedes(core::SortByDuration, a, "z", b, "a"));
    EXPECT_FALSE(core::SortPrecedes(core::SortBySize, a, "", b, ""));
    EXPECT_TRUE(core::SortPrecedes(core::SortByInfo, a, "abc", b, "ABD"));
    EXPECT_FALSE(core::SortPrecedes(core::SortByType, a, ".MP3", b, ".mp3"));
}
