#include "core/Archive.h"
#include "skin/MemList.h"
#include "tests/skin/SkinTestSupport.h"

#include <string>

using namespace skintest;

namespace {

constexpr COLORREF kRow = RGB(0, 0, 0);
constexpr COLORREF kSelectedRow = RGB(0, 0, 160);
constexpr COLORREF kText = RGB(0, 255, 0);
constexpr COLORREF kCursorText = RGB(255, 255, 255);

// The list at (10, 20), 200 × 160: ten rows of 16 pixels.
class MemListTest : public SkinFixture {
protected:
    void SetUp() override {
        SkinFixture::SetUp();
        m_list.Create(m_host.get(), 30, 10, 20, 200, 160, nullptr, kRow, kSelectedRow, kText,
                      kCursorText);
        m_list.AddColumn(0, CMemList::ALIGN_LEFT, 150);
        m_list.AddColumn(1, CMemList::ALIGN_RIGHT, 50);
    }
    void Fill(int n) {
        m_items.resize(std::size_t(n));
        for (int i = 0; i < n; ++i) {
            const int r = m_list.AppendRow(&m_items[std::size_t(i)]);
            m_list.SetText(r, 0, "Row " + std::to_string(i));
        }
    }
    // Which original row (by item) stands at each index.
    std::vector<int> Order() const {
        std::vector<int> out;
        for (int r = 0; r < m_list.GetRowCount(); ++r)
            out.push_back(int(static_cast<int*>(m_list.GetItem(r)) - m_items.data()));
        return out;
    }
    std::vector<int> Selected() const {
        std::vector<int> out;
        for (int r = 0; r < m_list.GetRowCount(); ++r)
            if (m_list.IsSelected(r))
                out.push_back(r);
        return out;
    }
    // A point on the visible row at index i of the page.
    static CPoint OnLine(int i) { return {20, 20 + i * 16 + 8}; }
    Msg Top() const { return Of(WM_REG_TOPINDEXCHANGED, m_list, m_list.GetTopRow()); }
    std::vector<Msg> OnlyOf(UINT message) {
        std::vector<Msg> out;
        for (const Msg& m : Posted())
            if (m.message == message)
                out.push_back(m);
        return out;
    }

    std::vector<int> m_items;
    CMemList m_list;
};

} // namespace

TEST_F(MemListTest, GeometryOfRowsAndPoints) {
    Fill(30);
    EXPECT_EQ(m_list.GetRowsVisible(), 10);
    EXPECT_EQ(m_list.GetLargestTopRow(), 20);
    EXPECT_EQ(m_list.RowAtPoint({0, 20}), 0) << "x is not checked";
    EXPECT_EQ(m_list.RowAtPoint({20, 19}), -1);
    EXPECT_EQ(m_list.RowAtPoint({20, 20 + 160}), -1);
    m_list.SetTopRow(25);
    EXPECT_EQ(m_list.GetTopRow(), 20);
    EXPECT_EQ(m_list.RowAtPoint(OnLine(3)), 23);
    EXPECT_EQ(m_list.GetCellRect(23, 1), (CRect{160, 68, 210, 84}));
    EXPECT_EQ(m_list.GetText(99, 0), "");
    EXPECT_EQ(m_list.GetText(0, 5), "");
    EXPECT_EQ(m_list.GetText(0, 0), "Row 0");
}

TEST_F(MemListTest, ClickBelowTheLastRowDoesNothing) {
    Fill(3);
    m_list.SetSelected(1, true);
    m_list.OnLButtonDown(0, OnLine(5));
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_TRUE(Posted().empty());
    EXPECT_FALSE(m_list.IsLeftPressed());
}

TEST_F(MemListTest, CtrlClickFlipsAndShiftClickSelectsTheRangeFromIt) {
    Fill(10);
    m_list.OnLButtonDown(0, OnLine(2));
    m_list.OnLButtonUp(0, OnLine(2));
    m_list.OnLButtonDown(MK_CONTROL, OnLine(5));
    m_list.OnLButtonUp(MK_CONTROL, OnLine(5));
    EXPECT_EQ(Selected(), (std::vector<int>{2, 5}));
    m_list.OnLButtonDown(MK_CONTROL, OnLine(5));
    m_list.OnLButtonUp(MK_CONTROL, OnLine(5));
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    m_list.OnLButtonDown(MK_SHIFT, OnLine(8));
    EXPECT_EQ(Selected(), (std::vector<int>{5, 6, 7, 8}));
    m_list.OnLButtonDown(MK_SHIFT, OnLine(3));
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 5}));
    const std::vector<Msg> msgs = Posted();
    EXPECT_EQ(msgs.front(), Code(m_list, 2)) << "the base press is passed on";
}

TEST_F(MemListTest, PressOnOneOfSeveralSelectedRowsWithoutMovingKeepsOnlyIt) {
    Fill(10);
    for (int r : {1, 3, 4})
        m_list.SetSelected(r, true);
    m_list.OnLButtonDown(0, OnLine(3));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3, 4})) << "the press keeps the selection";
    m_list.OnLButtonUp(0, OnLine(3));
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    EXPECT_EQ(Posted(), (std::vector<Msg>{Code(m_list, 2), Code(m_list, 3), Code(m_list, 1)}));
}

TEST_F(MemListTest, DraggingTwoSelectedRowsDownMovesThemBelowTheNextRow) {
    Fill(6);
    m_list.SetSelected(1, true);
    m_list.SetSelected(2, true);
    m_list.OnLButtonDown(0, OnLine(1));
    m_list.OnMouseMove(MK_LBUTTON, OnLine(2));
    EXPECT_EQ(Order(), (std::vector<int>{0, 3, 1, 2, 4, 5}));
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
    EXPECT_EQ(m_list.GetText(1, 0), "Row 3") << "texts move with their rows";
    // Far beyond the end: the block stops at the last row.
    m_list.OnMouseMove(MK_LBUTTON, OnLine(5));
    m_list.OnMouseMove(MK_LBUTTON, OnLine(5));
    EXPECT_EQ(Order(), (std::vector<int>{0, 3, 4, 5, 1, 2}));
    m_list.OnLButtonUp(0, OnLine(5));
    EXPECT_EQ(Selected(), (std::vector<int>{4, 5})) << "a moved block stays selected";
    EXPECT_FALSE(m_list.IsDragging());
    const auto tops = OnlyOf(WM_REG_TOPINDEXCHANGED);
    EXPECT_EQ(tops.size(), 3u) << "posted after every drag step, moved or not";
}

TEST_F(MemListTest, DragKeepsUnselectedRowsInsideTheBlockInPlace) {
    Fill(5);
    m_list.SetSelected(0, true);
    m_list.SetSelected(2, true);
    m_list.OnLButtonDown(0, OnLine(0));
    m_list.OnMouseMove(MK_LBUTTON, OnLine(1));
    EXPECT_EQ(Order(), (std::vector<int>{1, 0, 3, 2, 4}));
    m_list.OnMouseMove(MK_LBUTTON, OnLine(0));
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(MemListTest, DragBeyondAnEdgeScrollsOneRowPerMouseMessage) {
    Fill(30);
    m_list.SetTopRow(10);
    m_list.OnLButtonDown(0, OnLine(0)); // row 10
    Posted();
    m_list.OnMouseMove(MK_LBUTTON, {20, 5});
    EXPECT_EQ(m_list.GetTopRow(), 9);
    EXPECT_EQ(Order()[9], 10);
    m_list.OnMouseMove(MK_LBUTTON, {20, 5});
    EXPECT_EQ(m_list.GetTopRow(), 8);
    EXPECT_EQ(Order()[8], 10);
    EXPECT_EQ(OnlyOf(WM_REG_TOPINDEXCHANGED),
              (std::vector<Msg>{Of(WM_REG_TOPINDEXCHANGED, m_list, 9),
                                Of(WM_REG_TOPINDEXCHANGED, m_list, 8)}));
    m_list.OnMouseMove(MK_LBUTTON, {20, 400});
    EXPECT_EQ(m_list.GetTopRow(), 9);
    EXPECT_EQ(Order()[9], 10);
    // At the first row the block cannot move: nothing changes and nothing is posted.
    m_list.SetTopRow(0);
    for (int i = 0; i < 12; ++i)
        m_list.OnMouseMove(MK_LBUTTON, {20, 5});
    EXPECT_EQ(Order()[0], 10);
    EXPECT_EQ(m_list.GetTopRow(), 0);
    Posted();
    m_list.OnMouseMove(MK_LBUTTON, {20, 5});
    EXPECT_TRUE(Posted().empty());
    // Releasing below the rows ends the drag without shrinking the selection.
    m_list.Cancel();
    EXPECT_FALSE(m_list.IsDragging());
}

TEST_F(MemListTest, ReleaseOffTheRowsStillEndsTheDrag) {
    Fill(3);
    m_list.OnLButtonDown(0, OnLine(0));
    m_list.OnLButtonUp(0, OnLine(7));
    EXPECT_FALSE(m_list.IsDragging());
    EXPECT_FALSE(m_list.IsLeftPressed());
    EXPECT_EQ(Posted(), (std::vector<Msg>{Code(m_list, 2), Code(m_list, 3), Code(m_list, 1)}));
    m_list.OnMouseMove(MK_LBUTTON, OnLine(2));
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2})) << "no drag after the release";
}

TEST_F(MemListTest, RightPressSelectsAnUnselectedRowAndDoubleClickSetsTheCursor) {
    Fill(5);
    m_list.SetSelected(1, true);
    m_list.SetSelected(2, true);
    m_list.OnRButtonDown(0, OnLine(2));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
    m_list.OnRButtonDown(0, OnLine(4));
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    Posted();
    m_list.OnLButtonDblClk(0, OnLine(3));
    EXPECT_EQ(m_list.GetCursorRow(), 3);
    EXPECT_EQ(Posted(), (std::vector<Msg>{{WM_REG_CTRLDBLCLICKED, reinterpret_cast<WPARAM>(&m_list),
                                           reinterpret_cast<LPARAM>(&m_items[3])}}));
    m_list.OnLButtonDblClk(0, OnLine(8));
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(m_list.GetCursorRow(), 3);
}

TEST_F(MemListTest, WheelScrollsByNotchesWithinTheRows) {
    Fill(30);
    m_list.SetTopRow(5);
    m_list.OnMouseWheel(0, -120, {});
    EXPECT_EQ(m_list.GetTopRow(), 6) << "one notch toward the user scrolls down one row";
    m_list.OnMouseWheel(0, 240, {});
    EXPECT_EQ(m_list.GetTopRow(), 4);
    m_list.OnMouseWheel(0, 1200, {});
    EXPECT_EQ(m_list.GetTopRow(), 0);
    m_list.OnMouseWheel(0, -60, {});
    EXPECT_EQ(m_list.GetTopRow(), 0) << "less than a notch does not scroll";
    m_list.OnMouseWheel(0, -120 * 50, {});
    EXPECT_EQ(m_list.GetTopRow(), 20);
    EXPECT_EQ(OnlyOf(WM_REG_TOPINDEXCHANGED).size(), 5u);
}

TEST_F(MemListTest, PageDownNearTheEndStopsAtTheLastPage) {
    Fill(30);
    // Top 25 is reachable only while the list was shorter.
    m_list.SetSize(-1, 80);
    m_list.SetTopRow(25);
    m_list.SetSize(-1, 160);
    ASSERT_EQ(m_list.GetTopRow(), 25);
    m_list.PageDown(0);
    EXPECT_EQ(m_list.GetTopRow(), 20);
    m_list.PageUp(0);
    EXPECT_EQ(m_list.GetTopRow(), 10);
    m_list.PageUp(0);
    m_list.PageUp(0);
    EXPECT_EQ(m_list.GetTopRow(), 0);
    EXPECT_EQ(OnlyOf(WM_REG_TOPINDEXCHANGED),
              (std::vector<Msg>{
                  Of(WM_REG_TOPINDEXCHANGED, m_list, 20), Of(WM_REG_TOPINDEXCHANGED, m_list, 10),
                  Of(WM_REG_TOPINDEXCHANGED, m_list, 0), Of(WM_REG_TOPINDEXCHANGED, m_list, 0)}));
}

TEST_F(MemListTest, ShiftPagesExtendTheRange) {
    Fill(30);
    m_list.OnLButtonDown(0, OnLine(2));
    m_list.OnLButtonUp(0, OnLine(2));
    m_list.PageDown(MK_SHIFT);
    EXPECT_EQ(m_list.GetTopRow(), 10);
    EXPECT_EQ(Selected().front(), 2);
    EXPECT_EQ(Selected().back(), 12);
    m_list.PageDown(MK_SHIFT);
    m_list.PageDown(MK_SHIFT);
    EXPECT_EQ(Selected().back(), 29);
    m_list.PageUp(MK_SHIFT);
    EXPECT_EQ(Selected().back(), 19);
}

TEST_F(MemListTest, DownAndUpMoveAOneRowSelectionAndScroll) {
    Fill(30);
    m_list.Down(0);
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    m_list.Down(0);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    for (int i = 0; i < 8; ++i)
        m_list.Down(0);
    EXPECT_EQ(Selected(), (std::vector<int>{9}));
    EXPECT_EQ(m_list.GetTopRow(), 0);
    m_list.Down(0);
    EXPECT_EQ(Selected(), (std::vector<int>{10}));
    EXPECT_EQ(m_list.GetTopRow(), 1);
    m_list.Up(0);
    EXPECT_EQ(Selected(), (std::vector<int>{9}));
    m_list.SetTopRow(9);
    m_list.Up(0);
    EXPECT_EQ(Selected(), (std::vector<int>{8}));
    EXPECT_EQ(m_list.GetTopRow(), 8);
    EXPECT_EQ(m_list.GetAnchorRow(), 8);
    EXPECT_EQ(OnlyOf(WM_REG_TOPINDEXCHANGED).size(), 13u);
}

TEST_F(MemListTest, ShiftAndCtrlArrows) {
    Fill(30);
    m_list.OnLButtonDown(0, OnLine(5));
    m_list.OnLButtonUp(0, OnLine(5));
    m_list.Down(MK_SHIFT);
    m_list.Down(MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{5, 6, 7}));
    m_list.Up(MK_SHIFT);
    m_list.Up(MK_SHIFT);
    m_list.Up(MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{4, 5}));
    m_list.Down(MK_CONTROL);
    EXPECT_EQ(Order()[4], 6);
    EXPECT_EQ(Selected(), (std::vector<int>{5, 6}));
    m_list.Up(MK_CONTROL);
    m_list.Up(MK_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4}));
    EXPECT_EQ(Order()[3], 4);
    // Moving a block past the top row scrolls to it.
    m_list.SetTopRow(4);
    m_list.Up(MK_CONTROL);
    EXPECT_EQ(m_list.GetTopRow(), 2);
}

TEST_F(MemListTest, HomeAndEnd) {
    Fill(30);
    m_list.End(0);
    EXPECT_EQ(m_list.GetTopRow(), 20);
    EXPECT_EQ(Selected(), (std::vector<int>{29}));
    m_list.Home(MK_SHIFT);
    EXPECT_EQ(m_list.GetTopRow(), 0);
    EXPECT_EQ(Selected().size(), 30u);
    m_list.Home(0);
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    m_list.End(MK_SHIFT);
    EXPECT_EQ(Selected().size(), 30u);
    EXPECT_EQ(OnlyOf(WM_REG_TOPINDEXCHANGED).size(), 4u);
}

TEST_F(MemListTest, KeyboardDoesNothingOnAnEmptyList) {
    for (auto op : {&CMemList::Up, &CMemList::Down, &CMemList::PageUp, &CMemList::PageDown,
                    &CMemList::Home, &CMemList::End})
        (m_list.*op)(0);
    EXPECT_TRUE(Posted().empty());
    EXPECT_EQ(m_list.GetTopRow(), 0);
}

TEST_F(MemListTest, CursorRowFollowsThePlayingRow) {
    Fill(30);
    m_list.SetCursorRow(0);
    m_list.SetCursorRow(29); // a wrap from the first row backwards
    EXPECT_EQ(m_list.GetTopRow(), 20);
    m_list.SetCursorRow(0); // a wrap from the last row forwards
    EXPECT_EQ(m_list.GetTopRow(), 0);
    m_list.SetCursorRow(5);
    EXPECT_EQ(m_list.GetTopRow(), 0) << "a visible row does not scroll";
    m_list.SetCursorRow(12);
    EXPECT_EQ(m_list.GetTopRow(), 10);
    m_list.SetTopRow(20);
    m_list.SetCursorRow(3);
    EXPECT_EQ(m_list.GetTopRow(), 10) << "above the old cursor: one page up";
    m_list.SetCursorRow(99);
    EXPECT_EQ(m_list.GetCursorRow(), -1);
}

TEST_F(MemListTest, DeleteCropAndSortKeepTheCursorOnItsRow) {
    Fill(6);
    m_list.SetCursorRow(3);
    m_list.SetSelected(1, true);
    m_list.SetSelected(4, true);
    m_list.DeleteSelectedRows();
    EXPECT_EQ(Order(), (std::vector<int>{0, 2, 3, 5}));
    EXPECT_EQ(m_list.GetCursorRow(), 2);
    m_list.SetSelected(2, true);
    m_list.DeleteSelectedRows();
    EXPECT_EQ(m_list.GetCursorRow(), -1) << "the cursor's row went";

    m_list.SetCursorRow(2); // item 5
    m_list.SelectAll(true);
    EXPECT_FALSE(m_list.Crop()) << "all selected: nothing to crop";
    m_list.SelectAll(false);
    EXPECT_FALSE(m_list.Crop());
    m_list.SetSelected(0, true);
    m_list.SetSelected(2, true);
    EXPECT_TRUE(m_list.Crop());
    EXPECT_EQ(Order(), (std::vector<int>{0, 5}));
    EXPECT_EQ(m_list.GetCursorRow(), 1);

    m_list.AppendRow(&m_items[1]);
    m_list.SetText(2, 0, "Row 1");
    m_list.SetPlayable(0, false);
    m_list.Sort([](void* a, void* b) { return a > b; });
    EXPECT_EQ(Order(), (std::vector<int>{5, 1, 0}));
    EXPECT_EQ(m_list.GetCursorRow(), 0);
    EXPECT_EQ(m_list.GetText(1, 0), "Row 1");
    EXPECT_FALSE(m_list.IsPlayable(2)) << "flags move with their rows";
    EXPECT_EQ(m_list.FindRow(&m_items[0]), 2);
    m_list.DeleteRow(0);
    EXPECT_EQ(m_list.GetCursorRow(), -1);
    m_list.DeleteAllRows();
    EXPECT_EQ(m_list.GetRowCount(), 0);
}

TEST_F(MemListTest, InsertKeepsTheCursorOnItsRow) {
    Fill(4);
    m_list.SetCursorRow(2);
    m_list.InsertRow(1, nullptr);
    EXPECT_EQ(m_list.GetCursorRow(), 3);
    m_list.InsertRow(-5, nullptr);
    EXPECT_EQ(m_list.GetRowCount(), 6);
    EXPECT_EQ(m_list.GetItem(5), nullptr);
    EXPECT_EQ(m_list.GetCursorRow(), 3);
}

namespace {

bool IsNear(COLORREF p, COLORREF c, int tolerance) {
    return std::abs(GetRValue(p) - GetRValue(c)) <= tolerance &&
           std::abs(GetGValue(p) - GetGValue(c)) <= tolerance &&
           std::abs(GetBValue(p) - GetBValue(c)) <= tolerance;
}

int CountNear(const CDC& dc, const CRect& r, COLORREF c, int tolerance = 40) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += IsNear(dc.GetPixel(x, y), c, tolerance);
    return n;
}

bool SameArea(const CDC& a, const CDC& b, const CRect& r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y))
                return false;
    return true;
}

} // namespace

TEST_F(MemListTest, DrawsRowColoursCursorTextAndOnlyTheVisibleRows) {
    Fill(30);
    m_list.SetTopRow(10);
    m_list.SetSelected(11, true);
    m_list.SetCursorRow(12);
    m_list.Draw(m_host->m_surface);
    const CDC& s = m_host->m_surface;
    EXPECT_EQ(At(205, 20), kRow);
    EXPECT_EQ(At(205, 36), kSelectedRow);
    EXPECT_EQ(At(205, 20 + 160 - 1), kRow);
    EXPECT_EQ(At(205, 20 + 160), kBackground) << "nothing below the last visible row";
    EXPECT_GT(CountNear(s, m_list.GetCellRect(10, 0), kText), 0);
    EXPECT_EQ(CountNear(s, m_list.GetCellRect(10, 0), kCursorText), 0);
    EXPECT_GT(CountNear(s, m_list.GetCellRect(12, 0), kCursorText), 0);
    EXPECT_EQ(CountNear(s, m_list.GetCellRect(12, 0), kText), 0);
    // Emptied, the list leaves none of its old rows on the surface.
    m_list.DeleteAllRows();
    m_list.Draw(m_host->m_surface);
    EXPECT_EQ(CountNear(s, {10, 20, 210, 180}, kText), 0);
    EXPECT_EQ(CountNear(s, {10, 20, 210, 180}, kCursorText), 0);
    EXPECT_EQ(At(205, 36), kRow);
}

TEST_F(MemListTest, UnplayableRowShowsARedMarkRightAligned) {
    Fill(2);
    m_list.SetText(0, 1, "3:05");
    m_list.SetText(1, 1, "3:05");
    m_list.SetPlayable(1, false);
    m_list.Draw(m_host->m_surface);
    const CDC& s = m_host->m_surface;
    const CRect cell = m_list.GetCellRect(1, 1);
    const CRect leftHalf{cell.left, cell.top, cell.left + 25, cell.bottom};
    const CRect rightHalf{cell.left + 25, cell.top, cell.right, cell.bottom};
    EXPECT_GT(CountNear(s, rightHalf, CMemList::kUnplayableColor, 60), 0);
    EXPECT_EQ(CountNear(s, leftHalf, CMemList::kUnplayableColor, 60), 0);
    EXPECT_EQ(CountNear(s, cell, kText), 0) << "the mark replaces the text";
    EXPECT_EQ(CountNear(s, m_list.GetCellRect(0, 1), CMemList::kUnplayableColor, 60), 0);
    EXPECT_GT(CountNear(s, m_list.GetCellRect(0, 1), kText), 0);
}

TEST_F(MemListTest, RowNumbersPrefixTheFirstColumn) {
    Fill(1);
    m_list.SetText(0, 0, "Song");
    m_list.SetShowNumbers(true);
    m_list.Draw(m_host->m_surface);
    CTestHost other;
    CMemList plain;
    plain.Create(&other, 1, 10, 20, 200, 160, nullptr, kRow, kSelectedRow, kText, kCursorText);
    plain.AddColumn(0, 0, 150);
    plain.AddColumn(0, 1, 50);
    plain.AppendRow(nullptr);
    plain.SetText(0, 0, "1. Song");
    plain.Draw(other.m_surface);
    EXPECT_TRUE(SameArea(m_host->m_surface, other.m_surface, {10, 20, 210, 36}));
    plain.SetText(0, 0, "Song");
    plain.Draw(other.m_surface);
    EXPECT_FALSE(SameArea(m_host->m_surface, other.m_surface, {10, 20, 210, 36}));
}

TEST_F(MemListTest, LongTextEndsInAnEllipsisInsideItsCell) {
    Fill(1);
    m_list.SetColumnWidth(0, 40);
    m_list.SetColumnWidth(1, 0);
    m_list.SetText(0, 0, "A title much longer than forty pixels");
    m_list.SetText(0, 1, "9:99");
    m_list.Draw(m_host->m_surface);
    const CDC& s = m_host->m_surface;
    EXPECT_GT(CountNear(s, {10, 20, 50, 36}, kText), 0);
    EXPECT_EQ(CountNear(s, {50, 20, 210, 36}, kText), 0) << "a width-0 column is not drawn";
}

TEST_F(MemListTest, SavedStateIsTheCursorRowAndADamagedRecordKeepsIt) {
    Fill(5);
    m_list.SetCursorRow(3);
    CArchive out;
    m_list.Serialize(out);
    EXPECT_EQ(out.GetBuffer(), std::string("\x03\x00\x00\x00", 4));

    m_list.SetCursorRow(1);
    const std::string saved = out.GetBuffer();
    CArchive in(saved);
    m_list.Serialize(in);
    EXPECT_EQ(m_list.GetCursorRow(), 3);

    CArchive cut(std::string_view(saved).substr(0, 2));
    m_list.Serialize(cut);
    EXPECT_TRUE(cut.Failed());
    EXPECT_EQ(m_list.GetCursorRow(), 3);
}
