#include "core/PlaylistRows.h"
#include "core/Archive.h"
#include "core/AttribClip.h"
#include "core/ObjListClip.h"
#include "core/ShuffleOrder.h"

#include <gtest/gtest.h>
#include <set>

namespace {

// A playlist of n clips named "c0" … and rows for them in playlist order.
struct Fixture {
    CObjListClip list;
    CPlaylistRows rows;
    bool repeat = true;

    explicit Fixture(int n) {
        rows.SetRepeatQuery([this] { return repeat; });
        for (int i = 0; i < n; ++i) {
            auto clip = std::make_unique<CAttribClip>();
            clip->SetPath("/m/c" + std::to_string(i) + ".mp3");
            rows.AppendRow(list.Add(std::move(clip)));
        }
    }
    CAttribClip* Clip(int i) const { return list.GetAt(std::size_t(i)); }
    void Select(std::initializer_list<int> which) {
        for (int r : which)
            rows.SetSelected(r, true);
    }
    std::vector<CAttribClip*> RowClips() const {
        std::vector<CAttribClip*> out;
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
        EXPECT_EQ(f.rows.Navigate(NavigateNext), repeat ? f.Clip(0) : nullptr);
        EXPECT_EQ(f.rows.GetCursorRow(), repeat ? 0 : 2);

        EXPECT_EQ(f.rows.Navigate(NavigateFirst), f.Clip(0));
        EXPECT_EQ(f.rows.CanNavigate(NavigatePrevious), repeat);
        EXPECT_TRUE(f.rows.CanNavigate(NavigateNext));
        EXPECT_EQ(f.rows.Navigate(NavigatePrevious), repeat ? f.Clip(2) : nullptr);
        EXPECT_EQ(f.rows.GetCursorRow(), repeat ? 2 : 0);
        EXPECT_EQ(f.rows.CurrentClip(), repeat ? f.Clip(2) : f.Clip(0));
    }
}

TEST(PlaylistNavigation, EmptyListsAndMissingCursor) {
    Fixture empty(0);
    for (NavigateMode m : {NavigateFirst, NavigatePrevious, NavigateNext, NavigateLast}) {
        EXPECT_EQ(empty.rows.Navigate(m), nullptr);
        EXPECT_FALSE(empty.rows.CanNavigate(m));
    }
    EXPECT_EQ(empty.rows.CurrentClip(), nullptr);

    Fixture f(3);
    f.repeat = false;
    EXPECT_TRUE(f.rows.CanNavigate(NavigatePrevious));
    EXPECT_EQ(f.rows.Navigate(NavigatePrevious), f.Clip(2)); // no cursor: from the end
    EXPECT_EQ(f.rows.Navigate(NavigateMode(3)), nullptr);    // not a navigation mode
    EXPECT_FALSE(f.rows.CanNavigate(NavigateMode(3)));

    Fixture one(1);
    one.repeat = false;
    one.rows.SetCursorRow(0);
    EXPECT_FALSE(one.rows.CanNavigate(NavigateNext));
    EXPECT_FALSE(one.rows.CanNavigate(NavigatePrevious));
    one.repeat = true;
    EXPECT_EQ(one.rows.Navigate(NavigateNext), one.Clip(0));
}

TEST(PlaylistRows, InsertAndDeleteKeepTheCursorOnItsRow) {
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
    EXPECT_EQ(f.rows.GetText(0, 9), "");
    EXPECT_EQ(f.rows.GetText(-1, 0), "");
    EXPECT_EQ(f.rows.FindRow(f.Clip(2)), 1);
}

TEST(PlaylistRows, RemoveSelectedChoosesTheNextCurrentClip) {
    struct Case {
        const char* what;
        int rows, cursor;
        std::vector<int> selected;
        int nextCurrent; // clip index, -1 for none
        std::vector<int> left;
    };
    const Case cases[] = {
        {"nothing selected: the cursor clip stays", 4, 2, {}, 2, {0, 1, 2, 3}},
        {"the cursor row goes: the row taking its place", 4, 1, {1, 2}, 3, {0, 3}},
        {"the removed rows were at the end: the last row", 4, 3, {2, 3}, 1, {0, 1}},
        {"the cursor stays, shifted up", 4, 3, {0}, 3, {1, 2, 3}},
        {"everything removed: nothing to play", 2, 0, {0, 1}, -1, {}},
    };
    for (const Case& c : cases) {
        Fixture f(c.rows);
        f.rows.SetCursorRow(c.cursor);
        for (int r : c.selected)
            f.rows.SetSelected(r, true);
        const auto r = f.rows.RemoveSelected();
        std::vector<CAttribClip*> removed, left;
        for (int i : c.selected)
            removed.push_back(f.Clip(i));
        for (int i : c.left)
            left.push_back(f.Clip(i));
        EXPECT_EQ(r.removed, removed) << c.what;
        EXPECT_EQ(r.nextCurrent, c.nextCurrent < 0 ? nullptr : f.Clip(c.nextCurrent)) << c.what;
        EXPECT_EQ(f.RowClips(), left) << c.what;
        const bool cursorKept = std::count(c.selected.begin(), c.selected.end(), c.cursor) == 0;
        EXPECT_TRUE(!cursorKept || f.rows.CurrentClip() == f.Clip(c.cursor)) << c.what;
    }
}

TEST(PlaylistRows, CropAndSelectionCommands) {
    Fixture f(4);
    f.Select({1, 3});
    f.rows.Crop();
    EXPECT_EQ(f.RowClips(), (std::vector<CAttribClip*>{f.Clip(1), f.Clip(3)}));

    Fixture all(3);
    all.rows.SelectAll(true);
    EXPECT_TRUE(all.rows.Crop().removed.empty());
    EXPECT_EQ(all.rows.GetRowCount(), 3);

    Fixture none(3);
    EXPECT_EQ(none.rows.Crop().removed.size(), 3u);
    EXPECT_EQ(none.rows.GetRowCount(), 0);

    Fixture s(3);
    s.Select({0});
    s.rows.InvertSelection();
    EXPECT_EQ(s.rows.GetSelectedCount(), 2);
    EXPECT_FALSE(s.rows.IsSelected(0));
    s.rows.SelectAll(false);
    EXPECT_EQ(s.rows.GetSelectedCount(), 0);
}

TEST(PlaylistSort, SameKeyFlipsOtherKeyRestartsAscending) {
    Fixture f(3);
    const int durations[] = {20, 5, 10};
    for (int i = 0; i < 3; ++i)
        f.Clip(i)->SetDuration(durations[i]);
    f.rows.Sort(CPlaylistRows::SortByDuration);
    EXPECT_TRUE(f.rows.IsSortAscending());
    EXPECT_EQ(f.RowClips(), (std::vector<CAttribClip*>{f.Clip(1), f.Clip(2), f.Clip(0)}));
    f.rows.Sort(CPlaylistRows::SortByDuration);
    EXPECT_FALSE(f.rows.IsSortAscending());
    EXPECT_EQ(f.RowClips(), (std::vector<CAttribClip*>{f.Clip(0), f.Clip(2), f.Clip(1)}));
    f.rows.Sort(CPlaylistRows::SortBySize);
    f.rows.Sort(CPlaylistRows::SortByDuration);
    EXPECT_TRUE(f.rows.IsSortAscending());
    EXPECT_EQ(f.rows.GetSortKey(), CPlaylistRows::SortByDuration);
    EXPECT_EQ(f.RowClips(), (std::vector<CAttribClip*>{f.Clip(1), f.Clip(2), f.Clip(0)}));
    f.rows.Sort(7); // not a key: nothing changes
    EXPECT_EQ(f.rows.GetSortKey(), CPlaylistRows::SortByDuration);
}

TEST(PlaylistSort, TextKeysUseRowTextsWithoutCaseAndSizesAsUnsigned) {
    Fixture f(4);
    const char* titles[] = {"beta", "Alpha", "", "gamma"};
    for (int r = 0; r < 4; ++r) {
        f.rows.SetText(r, 0, titles[r]);
        f.rows.SetText(r, 4, r % 2 ? ".MP3" : ".avi");
    }
    f.rows.SetCursorRow(0);
    f.rows.SetSelected(3, true);
    f.rows.Sort(CPlaylistRows::SortByInfo);
    EXPECT_EQ(f.RowClips(),
              (std::vector<CAttribClip*>{f.Clip(2), f.Clip(1), f.Clip(0), f.Clip(3)}));
    EXPECT_EQ(f.rows.CurrentClip(), f.Clip(0)); // the cursor and selection move with their rows
    EXPECT_TRUE(f.rows.IsSelected(3));
    EXPECT_EQ(f.rows.GetText(3, 0), "gamma");
    // Column 2 was never filled: equal rows keep their order.
    f.rows.Sort(CPlaylistRows::SortByName);
    EXPECT_EQ(f.RowClips(),
              (std::vector<CAttribClip*>{f.Clip(2), f.Clip(1), f.Clip(0), f.Clip(3)}));
    f.rows.Sort(CPlaylistRows::SortByType);
    EXPECT_EQ(f.RowClips(),
              (std::vector<CAttribClip*>{f.Clip(2), f.Clip(0), f.Clip(1), f.Clip(3)}));

    f.Clip(0)->SetFileSize(std::int32_t(0xC0000000u)); // 3 GiB: low 32 bits read as negative
    f.Clip(1)->SetFileSize(10);
    f.Clip(2)->SetFileSize(0);
    f.Clip(3)->SetFileSize(0x7FFFFFFF);
    f.rows.Sort(CPlaylistRows::SortBySize);
    EXPECT_EQ(f.RowClips(),
              (std::vector<CAttribClip*>{f.Clip(2), f.Clip(1), f.Clip(3), f.Clip(0)}));
}

TEST(PlaylistSort, SortingLeavesTheSavedOrderAlone) {
    Fixture f(5);
    for (int i = 0; i < 5; ++i)
        f.Clip(i)->SetDuration(5 - i);
    CArchive before;
    f.list.Serialize(before);
    f.rows.Sort(CPlaylistRows::SortByDuration);
    EXPECT_EQ(f.rows.GetClip(0), f.Clip(4));
    CArchive after;
    f.list.Serialize(after);
    EXPECT_EQ(before.GetBuffer(), after.GetBuffer());
}

TEST(PlaylistRows, DisplayTitleFallsBackToTheFileName) {
    CAttribClip clip;
    clip.SetPath("C:\\Music\\My Song.mp3");
    EXPECT_EQ(clip.GetDisplayTitle(), "My Song");
    clip.SetPath("/music/other.song.ogg");
    EXPECT_EQ(clip.GetDisplayTitle(), "other.song");
    clip.SetTitle("Named");
    EXPECT_EQ(clip.GetDisplayTitle(), "Named");
}

// The shuffled order over the rows' clips: one pass visits each clip once, Previous walks
// back, clips added meanwhile join the unplayed part, removed ones leave it, and each pass with
// repeat is a new order.
TEST(ShuffleOrder, EachPassVisitsEveryClipOnceAndPreviousWalksBack) {
    Fixture f(8);
    core::CShuffleOrder order(42);
    auto clips = f.RowClips();
    std::vector<CAttribClip*> pass{f.Clip(0)};
    for (CAttribClip* c = order.Next(clips, f.Clip(0), false); c;
         c = order.Next(clips, pass.back(), false))
        pass.push_back(c);
    EXPECT_EQ(std::set<CAttribClip*>(pass.begin(), pass.end()).size(), 8u);
    EXPECT_EQ(pass.size(), 8u) << "no clip comes twice, the pass ends without repeat";
    EXPECT_NE(pass, clips) << "the order is not the rows' order";
    EXPECT_FALSE(order.CanNext(clips, pass.back(), false));
    EXPECT_TRUE(order.CanNext(clips, pass.back(), true));
    // Back through the pass, then forward again along the same clips.
    EXPECT_EQ(order.Previous(clips, pass[7]), pass[6]);
    EXPECT_EQ(order.Previous(clips, pass[6]), pass[5]);
    EXPECT_EQ(order.Next(clips, pass[5], false), pass[6]);
    // With repeat a new pass starts after the last clip, in another order, without it.
    std::vector<CAttribClip*> second{order.Next(clips, pass[6], false)};
    for (int i = 0; i < 7; ++i)
        second.push_back(order.Next(clips, second.back(), true));
    EXPECT_EQ(second[0], pass[7]);
    EXPECT_EQ(std::set<CAttribClip*>(second.begin(), second.end()).size(), 8u);
    EXPECT_NE(second, pass);
    EXPECT_EQ(order.Previous(clips, second[1]), pass[7]) << "the new pass starts there";
}

TEST(ShuffleOrder, AddedClipsJoinTheUnplayedPartAndRemovedOnesLeaveIt) {
    Fixture f(4);
    core::CShuffleOrder order(7);
    auto clips = f.RowClips();
    CAttribClip* first = order.Next(clips, nullptr, false);
    CAttribClip* second = order.Next(clips, first, false);
    // Two clips come in, one unplayed clip goes.
    auto extra = std::make_unique<CAttribClip>();
    CAttribClip* added = f.list.Add(std::move(extra));
    clips.push_back(added);
    CAttribClip* gone = nullptr;
    for (CAttribClip* c : clips)
        if (c != first && c != second && c != added && !gone)
            gone = c;
    std::erase(clips, gone);
    std::vector<CAttribClip*> rest;
    for (CAttribClip* c = order.Next(clips, second, false); c;
         c = order.Next(clips, rest.back(), false))
        rest.push_back(c);
    EXPECT_EQ(rest.size(), 2u);
    EXPECT_NE(std::find(rest.begin(), rest.end(), added), rest.end());
    EXPECT_EQ(std::find(rest.begin(), rest.end(), gone), rest.end());
    EXPECT_EQ(std::find(rest.begin(), rest.end(), first), rest.end());
    EXPECT_EQ(core::CShuffleOrder(1).Next({}, nullptr, true), nullptr);
}
