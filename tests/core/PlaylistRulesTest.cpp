// The text rules of playlist rows (durations, tag texts, paths and UTF-8 sequences) and finding
// rows by typed words.
#include "core/PlaylistRules.h"
#include "core/ClipSearch.h"
#include "core/ClipTags.h"
#include "core/PlaylistPaths.h"
#include "core/TextEncoding.h"

#include <cmath>
#include <gtest/gtest.h>

// The sort direction and key order are tested through the rows that use them (PlaylistSort).
TEST(PlaylistRules, DurationTextsAndRowAfterRemoval) {
    const std::pair<int, const char*> durations[] = {
        {3725, "1:02:05"}, {65, "1:05"}, {5, "05"}, {3600, "1:00:00"}, {60, "1:00"}};
    for (const auto& [seconds, text] : durations)
        EXPECT_EQ(core::FormatDuration(seconds), text);
    // A damaged record shows no nonsense.
    EXPECT_EQ(core::DurationText(0) + core::DurationText(-7) + core::DurationText(59), "59");
    EXPECT_TRUE(core::RowAfterRemoval(core::kNoRowTarget, 3) == 0 &&
                core::RowAfterRemoval(1, 3) == 1 && core::RowAfterRemoval(5, 3) == 2 &&
                core::RowAfterRemoval(0, 0) == core::kNoRowTarget);
}

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

    EXPECT_EQ(core::TagDisplayTitle("Artist", "Title") + "|" + core::TagDisplayTitle("", "Title") +
                  "|" + core::TagDisplayTitle("Artist", ""),
              "Artist - Title|Title|");

    const std::pair<double, int> lengths[] = {{9.98, 10}, {9.49, 9},         {0.4, 0},
                                              {-3.0, 0},  {std::nan(""), 0}, {1e300, 2000000000}};
    for (const auto& [seconds, whole] : lengths)
        EXPECT_EQ(core::WholeSeconds(seconds), whole) << seconds;
}

TEST(PlaylistPaths, SplitsDriveLetterAndPosixPathsAndChecksUtf8Strictly) {
    const std::pair<std::string_view, std::string_view> parts[] = {
        {core::Extension("C:\\Music\\list.M3U"), "M3U"},
        {core::Extension("/a.b/list"), ""},
        {core::ExtensionWithDot("/x/song.tar.mp3"), ".mp3"},
        {core::FileTitle("C:\\Music\\My Song.mp3"), "My Song"},
        {core::FileTitle("/m/.hidden"), ""},
        {core::FolderPart("C:\\Music\\list.m3u"), "C:\\Music\\"},
        {core::FolderPart("/music/list.m3u"), "/music/"},
        {core::FolderPart("list.m3u"), ""},
    };
    for (const auto& [got, expected] : parts)
        EXPECT_EQ(got, expected);
    // Numbers compare by value, leading zeros on either side aside. Which files are playlists is
    // the adding test's.
    EXPECT_TRUE(core::NaturalLess("a9", "a010") && core::NaturalLess("a12", "a13"));
    EXPECT_FALSE(core::NaturalLess("a010", "a9"));
    // UTF-8 sequences are checked strictly.
    for (const std::string valid : {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"})
        EXPECT_EQ(core::Utf8SequenceLength(valid, 0), valid.size()) << valid;
    for (const std::string bad : {"\x80", "\xC0\xAF", "\xC3", "\xE0\x80\x80", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "\xF8\x88\x80\x80", "\xE2\x82"})
        EXPECT_EQ(core::Utf8SequenceLength(bad, 0), 0u) << bad;
}

#include "core/ClipSearch.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kRows = {
    "Éléonore - Café Noir\n/music/Ambient/cafe.mp3",
    "STRASSE\n/music/Straße/01.ogg",
    "Night Drive\n/music/synth/Œuvre.flac",
    "Radio One\nhttp://127.0.0.1/stream",
};

std::vector<int> Find(core::CClipSearch& search, const char* query, std::size_t limit = 10) {
    std::size_t total = 0;
    std::vector<int> rows = search.Find(query, limit, total);
    EXPECT_GE(total, rows.size()) << query;
    return rows;
}

} // namespace

TEST(ClipSearch, FoldsCaseAndAccentsMatchesWordsInAnyOrderAndNarrowsGrowingQueries) {
    EXPECT_EQ(core::FoldForSearch("Éléonore ŁÓDŹ Straße Œuvre ×"),
              "eleonore lodz strasse oeuvre ×");
    core::CClipSearch search;
    search.SetRows(kRows);
    const std::vector<std::pair<const char*, std::vector<int>>> cases = {
        {"", {0, 1, 2, 3}},       {"eleonore", {0}},
        {"NOIR cafe", {0}},    // any order, case ignored
        {"café ambient", {0}}, // title and path words together
        {"strasse", {1}},      // ß is "ss"; both rows' spellings
        {"oeuvre synth", {2}},    {"music mp3", {0}},
        {"music", {0, 1, 2}},     {"noir drive", {}},  // every word must match the same row
        {"127.0.0.1 radio", {3}}, {"mp3\n/music", {}}, // one row's fields never join the next row's
    };
    for (const auto& [query, expected] : cases)
        EXPECT_EQ(Find(search, query), expected) << query;

    // Growing queries narrow, and a limit keeps the total.
    std::size_t total = 0;
    EXPECT_EQ(search.Find("m", 2, total), (std::vector<int>{0, 1}));
    EXPECT_EQ(total, 4u);
    // Each step extends the last query and must still agree with a fresh search.
    for (const char* query : {"mu", "mus", "music ", "music s", "music st", "music str"}) {
        core::CClipSearch fresh;
        fresh.SetRows(kRows);
        EXPECT_EQ(Find(search, query), Find(fresh, query)) << query;
    }
    EXPECT_EQ(Find(search, "music str"), (std::vector<int>{1}));
    // Deleting letters widens again.
    EXPECT_EQ(Find(search, "music"), (std::vector<int>{0, 1, 2}));
    search.SetRows({"Other"});
    EXPECT_EQ(Find(search, "music"), (std::vector<int>{}));
}
