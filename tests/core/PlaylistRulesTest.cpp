#include "core/PlaylistRules.h"

#include <gtest/gtest.h>

// The sort direction and key order are tested through the rows that use them (PlaylistSort).
TEST(PlaylistRules, DurationTextsAndRowAfterRemoval) {
    const std::pair<int, const char*> durations[] = {
        {3725, "1:02:05"}, {65, "1:05"}, {5, "05"}, {3600, "1:00:00"}, {60, "1:00"}};
    for (const auto& [seconds, text] : durations)
        EXPECT_EQ(core::FormatDuration(seconds), text);
    EXPECT_EQ(core::DurationText(0), "");
    EXPECT_EQ(core::DurationText(-7), ""); // a damaged record shows no nonsense
    EXPECT_EQ(core::DurationText(59), "59");

    EXPECT_EQ(core::RowAfterRemoval(core::kNoRowTarget, 3), 0);
    EXPECT_EQ(core::RowAfterRemoval(1, 3), 1);
    EXPECT_EQ(core::RowAfterRemoval(5, 3), 2);
    EXPECT_EQ(core::RowAfterRemoval(0, 0), core::kNoRowTarget);
}
