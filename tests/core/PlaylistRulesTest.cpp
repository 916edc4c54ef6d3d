#include "core/PlaylistRules.h"

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
// The sort direction and key order are tested through the rows that use them (PlaylistSort).
