// Finding playlist rows by typed words: folding of case and accents, words in any order, and
// the narrowing of a query that only grows.
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
