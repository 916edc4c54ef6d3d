// Tag texts made into row titles.
#include "core/ClipTags.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(ClipTagsTest, TagTextsTitlesAndLengths) {
    const struct {
        std::string text;
        std::size_t limit;
        std::string clean;
    } texts[] = {
        {"  Line one\r\nline\ttwo\x7f ", 100, "Line one  line two"},
        {"\n\t ", 100, ""},
        {"abc\xc3\xa9", 4, "abc"}, // a limit inside "é" keeps the text before it
        {"abc\xc3\xa9", 5, "abc\xc3\xa9"},
        {"a\xff\xc3z", 100, "az"}, // bytes that are not UTF-8 are dropped
    };
    for (const auto& t : texts)
        EXPECT_EQ(core::CleanTagText(t.text, t.limit), t.clean) << t.text;
    EXPECT_EQ(core::CleanTagText(std::string(100000, 'x'), 512).size(), 512u);

    EXPECT_EQ(core::TagDisplayTitle("Artist", "Title"), "Artist - Title");
    EXPECT_EQ(core::TagDisplayTitle("", "Title"), "Title");
    EXPECT_EQ(core::TagDisplayTitle("Artist", ""), "");

    const std::pair<double, int> lengths[] = {{9.98, 10}, {9.49, 9},         {0.4, 0},
                                              {-3.0, 0},  {std::nan(""), 0}, {1e300, 2000000000}};
    for (const auto& [seconds, whole] : lengths)
        EXPECT_EQ(core::WholeSeconds(seconds), whole) << seconds;
}
