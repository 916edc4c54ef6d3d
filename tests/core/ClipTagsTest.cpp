// Tag texts made into row titles.
#include "core/ClipTags.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(ClipTagsTest, TagTextBecomesOneBoundedLineOfWholeCharacters) {
    EXPECT_EQ(core::CleanTagText("  Line one\r\nline\ttwo\x7f ", 100), "Line one  line two");
    EXPECT_EQ(core::CleanTagText("\n\t ", 100), "");
    // "é" is two bytes: a limit inside it keeps the text before it.
    EXPECT_EQ(core::CleanTagText("abc\xc3\xa9", 4), "abc");
    EXPECT_EQ(core::CleanTagText("abc\xc3\xa9", 5), "abc\xc3\xa9");
    // Bytes that are not UTF-8 are dropped, the rest stays.
    EXPECT_EQ(core::CleanTagText("a\xff\xc3z", 100), "az");
    EXPECT_EQ(core::CleanTagText(std::string(100000, 'x'), 512).size(), 512u);
}

TEST(ClipTagsTest, DisplayTitleNeedsATitle) {
    EXPECT_EQ(core::TagDisplayTitle("Artist", "Title"), "Artist - Title");
    EXPECT_EQ(core::TagDisplayTitle("", "Title"), "Title");
    EXPECT_EQ(core::TagDisplayTitle("Artist", ""), "");
}

TEST(ClipTagsTest, LengthsRoundToTheNearestWholeSecond) {
    EXPECT_EQ(core::WholeSeconds(9.98), 10);
    EXPECT_EQ(core::WholeSeconds(9.49), 9);
    EXPECT_EQ(core::WholeSeconds(0.4), 0);
    EXPECT_EQ(core::WholeSeconds(-3.0), 0);
    EXPECT_EQ(core::WholeSeconds(std::nan("")), 0);
    EXPECT_EQ(core::WholeSeconds(1e300), 2000000000);
}
