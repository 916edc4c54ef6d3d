#include "skin/MemList.h"

#include "core/Archive.h"
#include "core/RowOrder.h"
#include "platform/DC.h"
#include "platform/RegisteredMessages.h"

#include <algorithm>
#include <numeric>

namespace {

// Cells beyond this column are refused, so a stray index cannot make a huge row.
constexpr int kMaxColumns = 256;

} // namespace

void CMemList::Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                      COLORREF c1, COLORREF c2, COLORREF c3, COLORREF c4) {
    CMemCtrl::Create(pParent, nID, x, y, cx, cy, pImage, SkinPoint{}, SkinPoint{}, SkinPoint{});
    SetColors(c1, c2, c3, c4);
}

void CMemList::SetColors(COLORREF c1, COLORREF c2, COLORREF c3, COLORREF c4) {
    m_color1 = c1;
    m_color2 = c2;
    m_color3 = c3;
    m_color4 = c4;
}

// ---- columns and rows ----

int CMemList::AddColumn(int nValue, int nAlign, int nWidth) {
    m_columns.push_back({nAlign, nWidth, nValue});
    return GetColumnCount() - 1;
}

void CMemList::SetColumnWidth(int nCol, int nWidth) {
    if (nCol >= 0 && nCol < GetColumnCount())
        m_columns[std::size_t(nCol)].nWidth = nWidth;
}

int CMemList::GetColumnWidth(int nCol) const {
    return nCol >= 0 && nCol < GetColumnCount() ? m_columns[std::size_t(nCol)].nWidth : 0;
}

int CMemList::InsertRow(int nRow, Item item) {
    if (nRow < 0 || nRow > GetRowCount())
        nRow = GetRowCount();
    m_rows.insert(m_rows.begin() + nRow, Row{kNormal, item, true, {}});
    // The cursor keeps marking the same row.
    if (m_nCursor >= nRow)
        ++m_nCursor;
    ForgetRange();
    return nRow;
}

int CMemList::AppendRow(Item item) {
    return InsertRow(GetRowCount(), item);
}

void CMemList::SetText(int nRow, int nCol, const std::string& s) {
    if (!IsRow(nRow) || nCol < 0 || nCol >= kMaxColumns)
        return;
    auto& texts = m_rows[std::size_t(nRow)].texts;
    if (texts.size() <= std::size_t(nCol))
        texts.resize(std::size_t(nCol) + 1);
    texts[std::size_t(nCol)] = s;
}

std::string CMemList::GetText(int nRow, int nCol) const {
    if (!IsRow(nRow) || nCol < 0)
        return {};
    const auto& texts = m_rows[std::size_t(nRow)].texts;
    return std::size_t(nCol) < texts.size() ? texts[std::size_t(nCol)] : std::string();
}

void CMemList::SetItem(int nRow, Item item) {
    if (IsRow(nRow))
        m_rows[std::size_t(nRow)].item = item;
}

CMemList::Item CMemList::GetItem(int nRow) const {
    return IsRow(nRow) ? m_rows[std::size_t(nRow)].item : nullptr;
}

void CMemList::SetPlayable(int nRow, bool b) {
    if (IsRow(nRow))
        m_rows[std::size_t(nRow)].bPlayable = b;
}

bool CMemList::IsPlayable(int nRow) const {
    return IsRow(nRow) && m_rows[std::size_t(nRow)].bPlayable;
}

int CMemList::FindRow(Item item) const {
    for (int r = 0; r < GetRowCount(); ++r)
        if (m_rows[std::size_t(r)].item == item)
            return r;
    return -1;
}

void CMemList::ForgetRange() {
    m_nAnchor = -1;
    m_nRangeEnd = -1;
    m_drag = {};
}

void CMemList::DeleteRow(int nRow) {
    if (!IsRow(nRow))
        return;
    m_rows.erase(m_rows.begin() + nRow);
    if (m_nCursor == nRow)
        m_nCursor = -1;
    else if (m_nCursor > nRow)
        --m_nCursor;
    ForgetRange();
    SetTopRow(m_nTop);
}

void CMemList::DeleteSelectedRows() {
    // The cursor follows its row: it moves up by the selected rows above it, and goes when its
    // own row is deleted.
    int newCursor = -1;
    if (IsRow(m_nCursor) && !IsSelected(m_nCursor))
        newCursor =
            m_nCursor - int(std::count_if(m_rows.begin(), m_rows.begin() + m_nCursor,
                                          [](const Row& r) { return r.nState == kSelected; }));
    std::erase_if(m_rows, [](const Row& r) { return r.nState == kSelected; });
    ForgetRange();
    SetTopRow(m_nTop);
    SetCursorRow(newCursor);
}

void CMemList::DeleteAllRows() {
    m_rows.clear();
    m_nCursor = -1;
    m_nTop = 0;
    ForgetRange();
}

void CMemList::SelectAll(bool bSelect) {
    for (Row& r : m_rows)
        r.nState = bSelect ? kSelected : kNormal;
}

void CMemList::InvertSelection() {
    for (Row& r : m_rows)
        r.nState = r.nState == kSelected ? kNormal : kSelected;
}

bool CMemList::Crop() {
    const int selected = GetSelectedCount();
    if (selected == 0 || selected == GetRowCount())
        return false;
    InvertSelection();
    DeleteSelectedRows();
    return true;
}

bool CMemList::IsSelected(int nRow) const {
    return IsRow(nRow) && m_rows[std::size_t(nRow)].nState == kSelected;
}

void CMemList::SetSelected(int nRow, bool b) {
    if (IsRow(nRow))
        m_rows[std::size_t(nRow)].nState = b ? kSelected : kNormal;
}

int CMemList::GetSelectedCount() const {
    return int(std::count_if(m_rows.begin(), m_rows.end(),
                             [](const Row& r) { return r.nState == kSelected; }));
}

void CMemList::SetRowHeight(int n) {
    if (n > 0)
        m_nRowHeight = n;
}

void CMemList::Sort(const CompareFn& less) {
    std::vector<std::size_t> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return less(m_rows[a].item, m_rows[b].item); });
    core::ApplyRowOrder(m_rows, order, m_nCursor, -1);
    ForgetRange();
}

// ---- geometry ----

int CMemList::GetRowsVisible() const {
    const int page = m_cy / m_nRowHeight;
    return std::max(0, std::min(m_nTop + page, GetRowCount()) - m_nTop);
}

int CMemList::PageRows() const {
    return std::min(m_cy / m_nRowHeight, GetRowCount());
}

int CMemList::GetLargestTopRow() const {
    return std::max(0, GetRowCount() - m_cy / m_nRowHeight);
}

void CMemList::SetTopRow(int nTop) {
    m_nTop = std::clamp(nTop, 0, GetLargestTopRow());
}

int CMemList::RowAtPoint(CPoint pt) const {
    if (pt.y < m_y)
        return -1;
    const int i = (pt.y - m_y) / m_nRowHeight;
    if (i >= GetRowsVisible() || i >= GetRowCount())
        return -1;
    return m_nTop + i;
}

CRect CMemList::GetRowRect(int nRow) const {
    const int top = m_y + (nRow - m_nTop) * m_nRowHeight;
    return {m_x, top, m_x + m_cx, top + m_nRowHeight};
}

CRect CMemList::GetCellRect(int nRow, int nCol) const {
    CRect rect = GetRowRect(nRow);
    for (int c = 0; c < nCol && c < GetColumnCount(); ++c)
        rect.left += m_columns[std::size_t(c)].nWidth;
    rect.right = rect.left + GetColumnWidth(nCol);
    return rect;
}

// ---- drawing ----

void CMemList::Draw(CDC& dc) {
    CMemCtrl::Draw(dc);
    const int end = m_nTop + GetRowsVisible();
    for (int r = m_nTop; r < end; ++r)
        DrawRow(dc, r);
    // Below the last row, rows that were removed must not stay on screen: without an image
    // the empty part takes the row background.
    if (!m_pImage || !m_normal.IsSet()) {
        const CRect empty{m_x, m_y + (end - m_nTop) * m_nRowHeight, m_x + m_cx, m_y + m_cy};
        if (!empty.IsRectEmpty())
            dc.FillSolidRect(empty, m_color1);
    }
}

void CMemList::DrawRow(CDC& dc, int nRow) {
    const Row& row = m_rows[std::size_t(nRow)];
    dc.FillSolidRect(GetRowRect(nRow), row.nState == kSelected ? m_color2 : m_color1);
    for (int c = 0; c < GetColumnCount(); ++c) {
        const Column& col = m_columns[std::size_t(c)];
        if (col.nWidth == 0)
            continue;
        const CRect cell = GetCellRect(nRow, c);
        if (c == 1 && !row.bPlayable) {
            dc.DrawText("!", cell, kUnplayableColor, m_nFontHeight,
                        DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
            continue;
        }
        std::string text = GetText(nRow, c);
        if (c == 0 && m_bShowNumbers)
            text = std::to_string(nRow + 1) + ". " + text;
        const UINT align = col.nAlign == ALIGN_LEFT    ? DT_LEFT
                           : col.nAlign == ALIGN_RIGHT ? DT_RIGHT
                                                       : DT_CENTER;
        dc.DrawText(text, cell, nRow == m_nCursor ? m_color4 : m_color3, m_nFontHeight,
                    align | DT_VCENTER | DT_END_ELLIPSIS | DT_SINGLELINE);
    }
}

// ---- selection helpers ----

int CMemList::FirstSelected() const {
    for (int r = 0; r < GetRowCount(); ++r)
        if (IsSelected(r))
            return r;
    return -1;
}

int CMemList::LastSelected() const {
    for (int r = GetRowCount() - 1; r >= 0; --r)
        if (IsSelected(r))
            return r;
    return -1;
}

void CMemList::SelectOnly(int nRow) {
    SelectAll(false);
    SetSelected(nRow, true);
}

void CMemList::SelectRange(int nFrom, int nTo) {
    const int lo = std::min(nFrom, nTo);
    const int hi = std::max(nFrom, nTo);
    for (int r = 0; r < GetRowCount(); ++r)
        SetSelected(r, r >= lo && r <= hi);
}

void CMemList::SetAnchor(int nRow) {
    m_nAnchor = nRow;
    m_nRangeEnd = nRow;
}

bool CMemList::AnyVisibleSelected() const {
    const int end = m_nTop + GetRowsVisible();
    for (int r = m_nTop; r < end; ++r)
        if (IsSelected(r))
            return true;
    return false;
}

void CMemList::ScrollIntoView(int nRow) {
    const int page = std::max(1, m_cy / m_nRowHeight);
    if (nRow < m_nTop)
        m_nTop = nRow;
    else if (nRow >= m_nTop + page)
        m_nTop = nRow - page + 1;
    m_nTop = std::max(0, m_nTop);
}

void CMemList::PostTopIndex() {
    PostToParent(WM_REG_TOPINDEXCHANGED, reinterpret_cast<WPARAM>(this), m_nTop);
}

// ---- moving blocks of selected rows ----

bool CMemList::MoveBlockOneStep(bool bDown) {
    DragState& d = m_drag;
    if (d.nFirst < 0 || (bDown ? d.nLast >= GetRowCount() - 1 : d.nFirst <= 0))
        return false;
    // Each selected row of the block trades places with its neighbour; unselected rows inside
    // the block stay where they are relative to the moves.
    if (bDown) {
        for (int i = d.nLast; i >= d.nFirst; --i)
            if (IsSelected(i))
                std::swap(m_rows[std::size_t(i)], m_rows[std::size_t(i + 1)]);
    } else {
        for (int i = d.nFirst; i <= d.nLast; ++i)
            if (IsSelected(i))
                std::swap(m_rows[std::size_t(i)], m_rows[std::size_t(i - 1)]);
    }
    const int step = bDown ? 1 : -1;
    d.nFirst += step;
    d.nLast += step;
    d.nCurrent += step;
    d.bMoved = true;
    return true;
}

bool CMemList::MoveSelection(int d) {
    bool moved = false;
    for (; d > 0 && MoveBlockOneStep(true); --d)
        moved = true;
    for (; d < 0 && MoveBlockOneStep(false); ++d)
        moved = true;
    return moved;
}

void CMemList::MoveSelectedRows(bool bDown) {
    const DragState saved = m_drag;
    m_drag = {false, false, -1, FirstSelected(), FirstSelected(), LastSelected()};
    MoveBlockOneStep(bDown);
    m_drag = saved;
}

// ---- mouse ----

void CMemList::OnLButtonDown(UINT nFlags, CPoint pt) {
    const int r = RowAtPoint(pt);
    if (r < 0)
        return;
    if (nFlags & MK_CONTROL) {
        SetSelected(r, !IsSelected(r));
        SetAnchor(r);
    } else if (nFlags & MK_SHIFT) {
        if (IsRow(m_nAnchor)) {
            m_nRangeEnd = r;
            SelectRange(m_nAnchor, r);
        }
    } else {
        if (!IsSelected(r))
            SelectOnly(r);
        m_drag = {true, false, r, r, FirstSelected(), LastSelected()};
        SetAnchor(r);
    }
    CMemCtrl::OnLButtonDown(nFlags, pt);
}

void CMemList::OnMouseMove(UINT nFlags, CPoint pt) {
    if (!m_drag.bDragging)
        return;
    const int q = RowAtPoint(pt);
    if (q >= 0) {
        if (MoveSelection(q - m_drag.nCurrent))
            Invalidate();
        PostTopIndex();
        CMemCtrl::OnMouseMove(nFlags, pt);
        return;
    }
    // Beyond an edge each mouse message moves the block and scrolls by one row.
    if (pt.y < m_y && MoveSelection(-1)) {
        m_nTop = std::max(0, m_nTop - 1);
    } else if (pt.y >= m_y + m_cy && MoveSelection(1)) {
        m_nTop = std::min(m_nTop + 1, GetRowCount() - 1);
    } else {
        return;
    }
    Invalidate();
    PostTopIndex();
}

void CMemList::OnLButtonUp(UINT nFlags, CPoint pt) {
    if (m_drag.bDragging) {
        // A press on one of several selected rows that did not move them keeps only that row.
        const int r = RowAtPoint(pt);
        if (r >= 0 && !m_drag.bMoved && r == m_drag.nStart)
            SelectOnly(m_nAnchor);
        m_drag = {};
    }
    CMemCtrl::OnLButtonUp(nFlags, pt);
}

void CMemList::Cancel() {
    m_drag = {};
    CMemCtrl::Cancel();
}

void CMemList::OnRButtonDown(UINT nFlags, CPoint pt) {
    const int r = RowAtPoint(pt);
    if (r >= 0 && !IsSelected(r)) {
        SelectOnly(r);
        SetAnchor(r);
    }
    CMemCtrl::OnRButtonDown(nFlags, pt);
}

void CMemList::OnLButtonDblClk(UINT nFlags, CPoint pt) {
    const int r = RowAtPoint(pt);
    if (r >= 0)
        m_nCursor = r;
    CMemCtrl::OnLButtonDblClk(nFlags, pt);
    if (r >= 0)
        PostToParent(WM_REG_CTRLDBLCLICKED, reinterpret_cast<WPARAM>(this),
                     reinterpret_cast<LPARAM>(GetItem(r)));
}

bool CMemList::OnMouseWheel(UINT, int nDelta, CPoint) {
    const int n = nDelta / 120;
    if (n >= 1) {
        m_nTop = std::max(0, m_nTop - n);
    } else {
        const int limit = GetRowCount() - GetRowsVisible();
        m_nTop -= n;
        if (limit >= 0 && m_nTop > limit)
            m_nTop = limit;
    }
    Invalidate();
    PostTopIndex();
    return true;
}

// ---- keyboard ----

void CMemList::Up(UINT nModifiers) {
    if (m_rows.empty())
        return;
    if (nModifiers & MK_CONTROL) {
        MoveSelectedRows(false);
        const int first = FirstSelected();
        if (first >= 0 && first < m_nTop)
            m_nTop = first;
    } else if (nModifiers & MK_SHIFT) {
        if (IsRow(m_nAnchor)) {
            m_nRangeEnd = std::max(0, m_nRangeEnd - 1);
            ScrollIntoView(m_nRangeEnd);
            SelectRange(m_nAnchor, m_nRangeEnd);
        }
    } else {
        if (!AnyVisibleSelected()) {
            SetSelected(m_nTop, true);
        } else if (!IsSelected(m_nTop)) {
            SelectOnly(std::max(0, FirstSelected() - 1));
        } else {
            SelectOnly(std::max(0, m_nTop - 1));
            m_nTop = std::max(0, m_nTop - 1);
        }
        SetAnchor(FirstSelected());
    }
    Invalidate();
    PostTopIndex();
}

void CMemList::Down(UINT nModifiers) {
    if (m_rows.empty())
        return;
    const int last = GetRowCount() - 1;
    if (nModifiers & MK_CONTROL) {
        MoveSelectedRows(true);
        if (LastSelected() >= 0)
            ScrollIntoView(LastSelected());
    } else if (nModifiers & MK_SHIFT) {
        if (IsRow(m_nAnchor)) {
            m_nRangeEnd = std::min(last, m_nRangeEnd + 1);
            ScrollIntoView(m_nRangeEnd);
            SelectRange(m_nAnchor, m_nRangeEnd);
        }
    } else {
        const int visible = GetRowsVisible();
        if (!AnyVisibleSelected()) {
            SelectOnly(m_nTop);
        } else if (!IsSelected(m_nTop + visible - 1)) {
            SelectOnly(std::min(last, FirstSelected() + 1));
        } else {
            SelectOnly(std::min(last, m_nTop + visible));
            m_nTop = std::max(0, std::min(m_nTop + 1, GetRowCount() - visible));
        }
        SetAnchor(FirstSelected());
    }
    Invalidate();
    PostTopIndex();
}

void CMemList::PageUp(UINT nModifiers) {
    Page(-1, nModifiers);
}

void CMemList::PageDown(UINT nModifiers) {
    Page(1, nModifiers);
}

void CMemList::Page(int nDirection, UINT nModifiers) {
    if (m_rows.empty())
        return;
    const int page = PageRows();
    const int last = GetRowCount() - 1;
    m_nTop = std::clamp(m_nTop + nDirection * page, 0, std::max(0, GetRowCount() - page));
    if ((nModifiers & MK_SHIFT) && IsRow(m_nAnchor)) {
        m_nRangeEnd = std::clamp(m_nRangeEnd + nDirection * page, 0, last);
        SelectRange(m_nAnchor, m_nRangeEnd);
    }
    Invalidate();
    PostTopIndex();
}

void CMemList::Home(UINT nModifiers) {
    Jump(false, nModifiers);
}

void CMemList::End(UINT nModifiers) {
    Jump(true, nModifiers);
}

void CMemList::Jump(bool bEnd, UINT nModifiers) {
    if (m_rows.empty())
        return;
    const int target = bEnd ? GetRowCount() - 1 : 0;
    m_nTop = bEnd ? GetRowCount() - PageRows() : 0;
    if (!(nModifiers & MK_SHIFT)) {
        SelectOnly(target);
        SetAnchor(target);
    } else if (IsRow(m_nAnchor)) {
        m_nRangeEnd = target;
        SelectRange(m_nAnchor, target);
    }
    Invalidate();
    PostTopIndex();
}

// ---- cursor row ----

void CMemList::SetCursorRow(int nRow) {
    const int old = m_nCursor;
    m_nCursor = IsRow(nRow) ? nRow : -1;
    if (m_nCursor < 0)
        return;
    if (nRow >= m_nTop && nRow < m_nTop + GetRowsVisible())
        return;
    // Follow the playing row; a wrap between the first and the last row jumps to the end or
    // the start.
    const int last = GetRowCount() - 1;
    if (old == 0)
        End(0);
    else if (old == last)
        Home(0);
    else if (nRow < old)
        PageUp(0);
    else
        PageDown(0);
}

void CMemList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteInt32(m_nCursor);
        return;
    }
    const std::int32_t nCursor = ar.ReadInt32();
    if (!ar.Failed())
        m_nCursor = nCursor; // the rows may arrive later, so the number is kept as stored
}
