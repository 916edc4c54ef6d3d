#include "skin/MemList.h"
#include "core/Archive.h"
#include "tests/skin/SkinTestSupport.h"

#include <string>

using namespace skintest;
using Rows = std::vector<int>;

namespace {

constexpr COLORREF kRow = RGB(0, 0, 0), kSelectedRow = RGB(0, 0, 160);
constexpr COLORREF kText = RGB(0, 255, 0), kCursorText = RGB(255, 255, 255);

// The list at (10, 20), 200 × 160: ten rows of 16 pixels.
class MemListTest : public SkinFixture {
protected:
    MemListTest() {
        m_list.Create(m_host.get(), 30, 10, 20, 200, 160, nullptr, kRow, kSelectedRow, kText,
                      kCursorText);
        m_list.AddColumn(0, CMemList::ALIGN_LEFT, 150);
        m_list.AddColumn(1, CMemList::ALIGN_RIGHT, 50);
    }
    void Fill(int n) {
        for (int i = 0; i < n; ++i)
            m_list.SetText(m_list.AppendRow(&m_items[i]), 0, "Row " + std::to_string(i));
    }
    // Which original row (by item) stands at each index, or the selected indexes.
    Rows Order(bool bSelected = false) const {
        Rows out;
        for (int r = 0; r < m_list.GetRowCount(); ++r)
            if (!bSelected || m_list.IsSelected(r))
                out.push_back(bSelected ? r : int(static_cast<int*>(m_list.GetItem(r)) - m_items));
        return out;
    }
    Rows Selected() const { return Order(true); }
    void Select(Rows rows) {
        m_list.SelectAll(false);
        for (int r : rows)
            m_list.SetSelected(r, true);
    }
    static CPoint OnLine(int i) { return {20, 20 + i * 16 + 8}; }
    void LeftClick(UINT flags, int line) {
        m_list.OnLButtonDown(flags, OnLine(line));
        m_list.OnLButtonUp(flags, OnLine(line));
    }
    // The top rows the list announced since the last call.
    std::vector<LPARAM> Tops() {
        std::vector<LPARAM> out;
        for (const auto& [message, list, top] : Posted())
            if (message == WM_REG_TOPINDEXCHANGED && list == WPARAM(&m_list))
                out.push_back(top);
        return out;
    }

    int m_items[30] = {};
    CMemList m_list;
};

} // namespace

TEST_F(MemListTest, ClicksSelectFlipAndExtendAndDoubleClickSetsTheCursor) {
    Fill(10);
    LeftClick(0, 2);
    LeftClick(MK_CONTROL, 5);
    EXPECT_EQ(Selected(), (Rows{2, 5}));
    LeftClick(MK_CONTROL, 5);
    EXPECT_EQ(Selected(), (Rows{2}));
    m_list.OnLButtonDown(MK_SHIFT, OnLine(8));
    EXPECT_EQ(Selected(), (Rows{5, 6, 7, 8})) << "from the last flipped row";
    m_list.OnLButtonDown(MK_SHIFT, OnLine(3));
    EXPECT_EQ(Selected(), (Rows{3, 4, 5}));
    EXPECT_EQ(Posted(), Codes(m_list, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 2));
    // A click on one of several selected rows keeps only it (the press keeps them for a drag).
    m_list.SetSelected(1, true);
    LeftClick(0, 3);
    EXPECT_EQ(Selected(), (Rows{3}));
    // A right press selects an unselected row only.
    m_list.SetSelected(4, true);
    m_list.OnRButtonDown(0, OnLine(4));
    EXPECT_EQ(Selected(), (Rows{3, 4}));
    m_list.OnRButtonDown(0, OnLine(6));
    EXPECT_EQ(Selected(), (Rows{6}));
    m_list.OnLButtonDblClk(0, OnLine(3));
    std::vector<Msg> posted = Codes(m_list, 2, 3, 1, 6, 6);
    posted.emplace_back(WM_REG_CTRLDBLCLICKED, WPARAM(&m_list), LPARAM(&m_items[3]));
    EXPECT_EQ(Posted(), posted);
    // Below the last row nothing happens.
    m_list.SetSize(-1, 300);
    m_list.OnLButtonDown(0, OnLine(12));
    m_list.OnLButtonDblClk(0, OnLine(12));
    EXPECT_EQ(Selected(), (Rows{6}));
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(m_list.GetCursorRow(), 3);
}

TEST_F(MemListTest, DraggingMovesTheSelectedRowsAndKeepsOthersInsideTheBlockInPlace) {
    Fill(6);
    Select({1, 2});
    m_list.OnLButtonDown(0, OnLine(1));
    m_list.OnMouseMove(MK_LBUTTON, OnLine(2));
    EXPECT_EQ(Order(), (Rows{0, 3, 1, 2, 4, 5}));
    // Far beyond the end: the block stops at the last row.
    m_list.OnMouseMove(MK_LBUTTON, OnLine(5));
    m_list.OnMouseMove(MK_LBUTTON, OnLine(5));
    EXPECT_EQ(Order(), (Rows{0, 3, 4, 5, 1, 2}));
    m_list.OnLButtonUp(0, OnLine(5));
    EXPECT_EQ(Selected(), (Rows{4, 5})) << "a moved block stays selected";
    EXPECT_EQ(Tops().size(), 3u) << "after every step, moved or not";
    Select({0, 2});
    m_list.OnLButtonDown(0, OnLine(0));
    m_list.OnMouseMove(MK_LBUTTON, OnLine(1));
    EXPECT_EQ(Order(), (Rows{3, 0, 5, 4, 1, 2}));
    m_list.OnMouseMove(MK_LBUTTON, OnLine(0));
    EXPECT_EQ(Order(), (Rows{0, 3, 4, 5, 1, 2}));
    m_list.OnLButtonUp(0, OnLine(0));
    // A release off the rows still ends the press, with a click.
    Posted();
    m_list.OnLButtonDown(0, OnLine(1));
    m_list.OnLButtonUp(0, OnLine(7));
    EXPECT_FALSE(m_list.IsDragging() || m_list.IsLeftPressed());
    EXPECT_EQ(Posted(), Codes(m_list, 2, 3, 1));

    // Beyond an edge the drag scrolls one row per mouse message.
    m_list.DeleteAllRows();
    Fill(30);
    m_list.SetTopRow(10);
    m_list.OnLButtonDown(0, OnLine(0)); // row 10
    m_list.OnMouseMove(MK_LBUTTON, {20, 5});
    m_list.OnMouseMove(MK_LBUTTON, {20, 5});
    EXPECT_EQ(Order()[8], 10);
    EXPECT_EQ(Tops(), (std::vector<LPARAM>{9, 8}));
    m_list.OnMouseMove(MK_LBUTTON, {20, 400});
    EXPECT_EQ(m_list.GetTopRow(), 9);
    EXPECT_EQ(Order()[9], 10);
    // At the first row the block cannot move: nothing changes and nothing is posted.
    m_list.SetTopRow(0);
    for (int i = 0; i < 12; ++i)
        m_list.OnMouseMove(MK_LBUTTON, {20, 5});
    EXPECT_EQ(Order()[0], 10);
    Posted();
    m_list.OnMouseMove(MK_LBUTTON, {20, 5});
    EXPECT_TRUE(Posted().empty());
    m_list.Cancel();
    EXPECT_FALSE(m_list.IsDragging());
}

TEST_F(MemListTest, KeysAndTheWheelMoveTheSelectionAndScrollWithinTheRows) {
    using Op = void (CMemList::*)(UINT);
    const Op up = &CMemList::Up, down = &CMemList::Down, pageUp = &CMemList::PageUp,
             pageDown = &CMemList::PageDown, home = &CMemList::Home, end = &CMemList::End;
    Fill(30);
    LeftClick(0, 2);
    // Key, modifiers, the selection after (first, last, count), the top row after, times pressed
    // and the top row set before (-1: none). Shift extends from the anchor; Down and Up scroll
    // only past the page; Ctrl moves the selected block, scrolling to it.
    const std::tuple<Op, UINT, int, int, int, int, int, int> steps[] = {
        {pageDown, MK_SHIFT, 2, 12, 11, 10, 1, -1},
        {pageDown, MK_SHIFT, 2, 22, 21, 20, 1, -1},
        {pageDown, MK_SHIFT, 2, 29, 28, 20, 1, -1},
        {pageUp, MK_SHIFT, 2, 19, 18, 10, 1, -1},
        {end, 0, 29, 29, 1, 20, 1, -1},
        {home, MK_SHIFT, 0, 29, 30, 0, 1, -1},
        {home, 0, 0, 0, 1, 0, 1, -1},
        {down, 0, 9, 9, 1, 0, 9, -1},
        {down, 0, 10, 10, 1, 1, 1, -1},
        {up, 0, 9, 9, 1, 9, 1, 10},
        {down, MK_SHIFT, 9, 11, 3, 9, 2, -1},
        {up, MK_SHIFT, 8, 9, 2, 8, 3, -1},
        {down, MK_CONTROL, 9, 10, 2, 8, 1, -1},
        {up, MK_CONTROL, 7, 8, 2, 7, 2, 9},
    };
    for (const auto& step : steps) {
        const auto& [op, flags, first, last, count, top, times, topBefore] = step;
        if (topBefore >= 0)
            m_list.SetTopRow(topBefore);
        for (int i = 0; i < times; ++i)
            (m_list.*op)(flags);
        const Rows sel = Selected();
        ASSERT_FALSE(sel.empty());
        EXPECT_EQ((Rows{sel.front(), sel.back(), int(sel.size()), m_list.GetTopRow()}),
                  (Rows{first, last, count, top}))
            << "step " << &step - steps;
    }
    const Rows order = Order();
    EXPECT_EQ(Rows(order.begin() + 7, order.begin() + 11), (Rows{8, 9, 7, 10}))
        << "the block moved down, then up twice";

    Posted();
    // The wheel scrolls by whole notches, toward the user down.
    m_list.SetTopRow(5);
    for (int delta : {-120, 240, 1200, -60, -6000})
        m_list.OnMouseWheel(0, short(delta), {});
    EXPECT_EQ(Tops(), (std::vector<LPARAM>{6, 4, 0, 0, 20}));
    m_list.DeleteAllRows();
    for (Op op : {up, down, pageUp, pageDown, home, end})
        (m_list.*op)(0);
    EXPECT_TRUE(Posted().empty()) << "nothing on an empty list";
}

TEST_F(MemListTest, CursorRowFollowsThePlayingRowAndRowChangesAndIsTheSavedState) {
    Fill(30);
    // Wraps from the first row back and from the last forward; a visible row does not scroll;
    // a row above the old cursor scrolls one page up.
    const int steps[][3] = {{0, -1, 0}, {29, -1, 20}, {0, -1, 0},
                            {5, -1, 0}, {12, -1, 10}, {3, 20, 10}};
    for (const auto& [row, topBefore, top] : steps) {
        if (topBefore >= 0)
            m_list.SetTopRow(topBefore);
        m_list.SetCursorRow(row);
        EXPECT_EQ(m_list.GetTopRow(), top) << row;
    }
    m_list.SetCursorRow(99);
    EXPECT_EQ(m_list.GetCursorRow(), -1);
    // The saved state is the cursor row (restored in the window's tests); a damaged one is not.
    m_list.SetCursorRow(3);
    CArchive out;
    m_list.Serialize(out);
    EXPECT_EQ(out.GetBuffer(), std::string("\x03\x00\x00\x00", 4));
    CArchive cut(std::string_view(out.GetBuffer()).substr(0, 2));
    m_list.SetCursorRow(1);
    m_list.Serialize(cut);
    EXPECT_TRUE(cut.Failed());
    EXPECT_EQ(m_list.GetCursorRow(), 1);

    // Inserts, deletes, crops and sorts keep the cursor on its row; it goes with its row.
    m_list.DeleteAllRows();
    Fill(6);
    m_list.SetCursorRow(2);
    m_list.InsertRow(1, nullptr);
    EXPECT_EQ(m_list.GetCursorRow(), 3);
    m_list.DeleteRow(1);
    Select({1, 4});
    m_list.DeleteSelectedRows();
    EXPECT_EQ(Order(), (Rows{0, 2, 3, 5}));
    EXPECT_EQ(m_list.GetCursorRow(), 1);
    m_list.SetCursorRow(3);
    Select({0, 3});
    EXPECT_TRUE(m_list.Crop());
    EXPECT_EQ(Order(), (Rows{0, 5}));
    EXPECT_EQ(m_list.GetCursorRow(), 1);
    m_list.SelectAll(true);
    EXPECT_FALSE(m_list.Crop()) << "all selected: nothing to crop";
    m_list.AppendRow(&m_items[1]);
    m_list.Sort([](void* a, void* b) { return a > b; });
    EXPECT_EQ(Order(), (Rows{5, 1, 0}));
    EXPECT_EQ(m_list.GetCursorRow(), 0);
    EXPECT_EQ(m_list.GetText(99, 0) + m_list.GetText(0, 5), "") << "no such row or column";
    m_list.DeleteRow(0);
    EXPECT_EQ(m_list.GetCursorRow(), -1);
    Select({1});
    m_list.SetCursorRow(1);
    m_list.DeleteSelectedRows();
    EXPECT_EQ(m_list.GetCursorRow(), -1) << "the cursor's row went";
}

TEST_F(MemListTest, DrawsRowColoursCursorTextMarksAndOnlyTheVisibleRows) {
    Fill(30);
    m_list.SetTopRow(10);
    m_list.SetSelected(11, true);
    m_list.SetCursorRow(12);
    const CDC& s = m_host->m_surface;
    m_list.Draw(m_host->m_surface);
    EXPECT_EQ((std::vector{At(205, 20), At(205, 36), At(205, 179), At(205, 180)}),
              (std::vector{kRow, kSelectedRow, kRow, kBackground}));
    EXPECT_GT(CountNear(s, m_list.GetCellRect(10, 0), kText), 0);
    EXPECT_GT(CountNear(s, m_list.GetCellRect(12, 0), kCursorText), 0);
    // Emptied, the list leaves none of its old rows on the surface.
    m_list.DeleteAllRows();
    m_list.Draw(m_host->m_surface);
    const CRect all{10, 20, 210, 180};
    EXPECT_EQ(CountNear(s, all, kText) + CountNear(s, all, kCursorText), 0);
    EXPECT_EQ(At(205, 36), kRow);
    // An unplayable row shows a red mark right-aligned instead of its text.
    Fill(2);
    m_list.SetText(1, 1, "3:05");
    m_list.SetPlayable(1, false);
    m_list.Draw(m_host->m_surface);
    const auto red = [&](int left) {
        return CountNear(s, {left, 36, left + 25, 52}, CMemList::kUnplayableColor, 60);
    };
    EXPECT_EQ((std::pair{red(160), red(185) > 0}), (std::pair{0, true}));
    EXPECT_EQ(CountNear(s, {160, 36, 210, 52}, kText), 0);
    // Row numbers prefix the first column.
    m_list.SetShowNumbers(true);
    m_list.Draw(m_host->m_surface);
    const QImage numbered = s.Image().copy(10, 20, 200, 16);
    m_list.SetShowNumbers(false);
    m_list.SetText(0, 0, "1. Row 0");
    m_list.Draw(m_host->m_surface);
    EXPECT_TRUE(s.Image().copy(10, 20, 200, 16) == numbered);
}
