#include "core/PlaylistRows.h"
#include "core/Archive.h"
#include "core/AttribClip.h"
#include "core/ObjListClip.h"
#include "core/ShuffleOrder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

using Clips = std::vector<CAttribClip*>;

// A playlist of n clips and rows for them in playlist order.
struct Fixture {
    CObjListClip list;
    CPlaylistRows rows;
    bool repeat = true;

    explicit Fixture(int n) {
        rows.SetRepeatQuery([this] { return repeat; });
        for (int i = 0; i < n; ++i)
            rows.AppendRow(list.Add(std::make_unique<CAttribClip>()));
    }
    // Clip i of the playlist; null for -1.
    CAttribClip* Clip(int i) const { return i < 0 ? nullptr : list.GetAt(std::size_t(i)); }
    Clips ClipsAt(const std::vector<int>& indexes) const {
        Clips out;
        for (int i : indexes)
            out.push_back(Clip(i));
        return out;
    }
    Clips RowClips() const {
        Clips out;
        for (int r = 0; r < rows.GetRowCount(); ++r)
            out.push_back(rows.GetClip(r));
        return out;
    }
};

} // namespace

TEST(PlaylistNavigation, NextAndPreviousWrapOnlyWithRepeat) {
    for (bool repeat : {true, false}) {
        Fixture f(3);
        f.repeat = repeat;
        EXPECT_EQ(f.rows.CurrentClip(), nullptr);
        EXPECT_EQ(f.rows.Navigate(NavigateNext), f.Clip(0)); // no cursor: row 0
        EXPECT_EQ(f.rows.Navigate(NavigateNext), f.Clip(1));
        EXPECT_EQ(f.rows.Navigate(NavigateLast), f.Clip(2));
        EXPECT_EQ(f.rows.CanNavigate(NavigateNext), repeat);
        EXPECT_EQ(f.rows.Navigate(NavigateNext), f.Clip(repeat ? 0 : -1));
        EXPECT_EQ(f.rows.GetCursorRow(), repeat ? 0 : 2);
        EXPECT_EQ(f.rows.Navigate(NavigateFirst), f.Clip(0));
        EXPECT_TRUE(f.rows.CanNavigate(NavigatePrevious) == repeat &&
                    f.rows.CanNavigate(NavigateNext));
        EXPECT_EQ(f.rows.Navigate(NavigatePrevious), f.Clip(repeat ? 2 : -1));
        EXPECT_EQ(f.rows.CurrentClip(), f.Clip(repeat ? 2 : 0));
    }
    Fixture empty(0), f(3), one(1);
    for (NavigateMode m : {NavigateFirst, NavigatePrevious, NavigateNext, NavigateLast})
        EXPECT_TRUE(!empty.rows.Navigate(m) && !empty.rows.CanNavigate(m));
    f.repeat = one.repeat = false;
    EXPECT_EQ(f.rows.Navigate(NavigatePrevious), f.Clip(2)); // no cursor: from the end
    EXPECT_FALSE(f.rows.Navigate(NavigateMode(3)) || f.rows.CanNavigate(NavigateMode(3)));
    one.rows.SetCursorRow(0);
    EXPECT_FALSE(one.rows.CanNavigate(NavigateNext) || one.rows.CanNavigate(NavigatePrevious));
    one.repeat = true;
    EXPECT_EQ(one.rows.Navigate(NavigateNext), one.Clip(0));
}

TEST(PlaylistRows, InsertDeleteCropAndSelectionKeepTheCursorOnItsRow) {
    Fixture f(3);
    f.rows.SetCursorRow(1);
    CAttribClip extra;
    EXPECT_EQ(f.rows.InsertRow(0, &extra), 0);
    EXPECT_EQ(f.rows.GetCursorRow(), 2);
    EXPECT_EQ(f.rows.InsertRow(99, &extra), 4);
    f.rows.DeleteRow(0);
    EXPECT_EQ(f.rows.CurrentClip(), f.Clip(1));
    f.rows.DeleteRow(1);
    EXPECT_EQ(f.rows.GetCursorRow(), CPlaylistRows::kNoRow);
    f.rows.SetCursorRow(7);
    EXPECT_EQ(f.rows.GetCursorRow(), CPlaylistRows::kNoRow);
    EXPECT_EQ(f.rows.GetText(0, 9) + f.rows.GetText(-1, 0), "");
    EXPECT_EQ(f.rows.FindRow(f.Clip(2)), 1);

    Fixture crop(4);
    crop.rows.SetSelected(1, true);
    crop.rows.SetSelected(3, true);
    crop.rows.Crop();
    EXPECT_EQ(crop.RowClips(), crop.ClipsAt({1, 3}));
    crop.rows.SelectAll(true);
    EXPECT_TRUE(crop.rows.Crop().removed.empty() && crop.rows.GetRowCount() == 2);
    crop.rows.SelectAll(false);
    crop.rows.SetSelected(0, true);
    crop.rows.InvertSelection();
    EXPECT_TRUE(!crop.rows.IsSelected(0) && crop.rows.GetSelectedCount() == 1);
    crop.rows.SelectAll(false);
    EXPECT_TRUE(crop.rows.Crop().removed.size() == 2u && crop.rows.GetRowCount() == 0);
}

TEST(PlaylistRows, RemoveSelectedChoosesTheNextCurrentClip) {
    const struct {
        const char* what;
        int rows, cursor;
        std::vector<int> selected;
        int nextCurrent; // clip index, -1 for none
        std::vector<int> left;
    } cases[] = {
        {"nothing selected: the cursor clip stays", 4, 2, {}, 2, {0, 1, 2, 3}},
        {"the cursor row goes: the row taking its place", 4, 1, {1, 2}, 3, {0, 3}},
        {"the removed rows were at the end: the last row", 4, 3, {2, 3}, 1, {0, 1}},
        {"the cursor stays, shifted up", 4, 3, {0}, 3, {1, 2, 3}},
        {"everything removed: nothing to play", 2, 0, {0, 1}, -1, {}},
    };
    for (const auto& c : cases) {
        Fixture f(c.rows);
        f.rows.SetCursorRow(c.cursor);
        for (int r : c.selected)
            f.rows.SetSelected(r, true);
        const auto r = f.rows.RemoveSelected();
        EXPECT_EQ(r.removed, f.ClipsAt(c.selected)) << c.what;
        EXPECT_EQ(r.nextCurrent, f.Clip(c.nextCurrent)) << c.what;
        EXPECT_EQ(f.RowClips(), f.ClipsAt(c.left)) << c.what;
        const bool cursorKept = std::count(c.selected.begin(), c.selected.end(), c.cursor) == 0;
        EXPECT_TRUE(!cursorKept || f.rows.CurrentClip() == f.Clip(c.cursor)) << c.what;
    }
}

// The same key flips the direction, another starts ascending; text keys use the row texts
// without case, sizes are unsigned, and the saved order stays.
TEST(PlaylistSort, KeysDirectionsAndTheSavedOrder) {
    Fixture f(4);
    const char* titles[] = {"beta", "Alpha", "", "gamma"};
    // 3 GiB as the first size: its low 32 bits read as negative.
    const std::int32_t durations[] = {20, 5, 10, 30}, sizes[] = {-1073741824, 10, 0, 0x7FFFFFFF};
    for (int r = 0; r < 4; ++r) {
        f.rows.SetText(r, 0, titles[r]);
        f.rows.SetText(r, 4, r % 2 ? ".MP3" : ".avi");
        f.Clip(r)->SetDuration(durations[r]);
        f.Clip(r)->SetFileSize(sizes[r]);
    }
    f.rows.SetCursorRow(0);
    f.rows.SetSelected(3, true);
    CArchive before;
    f.list.Serialize(before);
    const std::tuple<int, bool, std::vector<int>> steps[] = {
        {CPlaylistRows::SortByDuration, true, {1, 2, 0, 3}},
        {CPlaylistRows::SortByDuration, false, {3, 0, 2, 1}},
        {CPlaylistRows::SortBySize, true, {2, 1, 3, 0}},
        {CPlaylistRows::SortByInfo, true, {2, 1, 0, 3}},
        {CPlaylistRows::SortByName, true, {2, 1, 0, 3}}, // column 2 is empty: the order stays
        {CPlaylistRows::SortByType, true, {2, 0, 1, 3}},
        {7, true, {2, 0, 1, 3}}}; // not a key: nothing changes
    for (const auto& [key, ascending, order] : steps) {
        f.rows.Sort(key);
        EXPECT_EQ(f.rows.IsSortAscending(), ascending) << key;
        EXPECT_EQ(f.RowClips(), f.ClipsAt(order)) << key;
    }
    EXPECT_EQ(f.rows.GetSortKey(), CPlaylistRows::SortByType);
    EXPECT_EQ(f.rows.CurrentClip(), f.Clip(0)); // the cursor and selection move with their rows
    EXPECT_TRUE(f.rows.IsSelected(f.rows.FindRow(f.Clip(3))));
    EXPECT_EQ(f.rows.GetText(f.rows.FindRow(f.Clip(3)), 0), "gamma");
    CArchive after;
    f.list.Serialize(after);
    EXPECT_EQ(before.GetBuffer(), after.GetBuffer());
}

// One pass visits each clip once, Previous walks back, and each pass with repeat is a new order.
TEST(ShuffleOrder, EachPassVisitsEveryClipOnceAndPreviousWalksBack) {
    Fixture f(8);
    core::CShuffleOrder order(42);
    const Clips clips = f.RowClips();
    Clips pass{f.Clip(0)};
    for (CAttribClip* c; (c = order.Next(clips, pass.back(), false));)
        pass.push_back(c);
    EXPECT_TRUE(std::is_permutation(pass.begin(), pass.end(), clips.begin(), clips.end()));
    EXPECT_NE(pass, clips) << "the order is not the rows' order";
    EXPECT_TRUE(!order.CanNext(clips, pass.back(), false) &&
                order.CanNext(clips, pass.back(), true));
    EXPECT_EQ(order.Previous(clips, pass[7]), pass[6]);
    EXPECT_EQ(order.Previous(clips, pass[6]), pass[5]);
    EXPECT_EQ(order.Next(clips, pass[5], false), pass[6]); // forward along the same clips
    // With repeat a new pass starts after the last clip, in another order.
    Clips second{order.Next(clips, pass[6], false)};
    for (int i = 0; i < 7; ++i)
        second.push_back(order.Next(clips, second.back(), true));
    EXPECT_EQ(second[0], pass[7]);
    EXPECT_TRUE(std::is_permutation(second.begin(), second.end(), clips.begin(), clips.end()));
    EXPECT_NE(second, pass);
    EXPECT_EQ(order.Previous(clips, second[1]), pass[7]) << "the new pass starts there";
}

// One clip comes in and one unplayed clip goes: the rest of the pass is the unplayed clips,
// the added one among them, each once.
TEST(ShuffleOrder, AddedClipsJoinTheUnplayedPartAndRemovedOnesLeaveIt) {
    Fixture f(4);
    core::CShuffleOrder order(7);
    Clips clips = f.RowClips();
    CAttribClip* first = order.Next(clips, nullptr, false);
    CAttribClip* second = order.Next(clips, first, false);
    CAttribClip* added = clips.emplace_back(f.list.Add(std::make_unique<CAttribClip>()));
    std::set<CAttribClip*> unplayed(clips.begin(), clips.end());
    unplayed.erase(first);
    unplayed.erase(second);
    CAttribClip* gone =
        *std::find_if(unplayed.begin(), unplayed.end(), [&](auto* c) { return c != added; });
    unplayed.erase(gone);
    std::erase(clips, gone);
    std::multiset<CAttribClip*> rest;
    for (CAttribClip* c = second; (c = order.Next(clips, c, false));)
        rest.insert(c);
    EXPECT_EQ(rest, std::multiset<CAttribClip*>(unplayed.begin(), unplayed.end()));
    EXPECT_EQ(core::CShuffleOrder(1).Next({}, nullptr, true), nullptr);
}
