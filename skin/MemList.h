// The owner-drawn list of the playlist window: rows of text columns on solid row colours, a
// multiple selection, one cursor row (the row that plays), a top row for scrolling, drag
// reordering of the selected rows, and the keyboard operations. A row's item is an opaque
// pointer the owner supplies (its clip); the list only stores it, hands it back and sorts by it,
// so it does not depend on what the rows stand for.
#pragma once

#include "skin/MemCtrl.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CArchive;

class CMemList : public CMemCtrl {
public:
    using Item = void*;
    // Strict weak ordering of two items ("a goes before b").
    using CompareFn = std::function<bool(Item a, Item b)>;

    enum Align { ALIGN_LEFT = 0, ALIGN_RIGHT = 1 }; // any other value centres
    static constexpr int kNormal = 0;
    static constexpr int kSelected = 2;
    static constexpr COLORREF kUnplayableColor = RGB(192, 0, 0);

    void Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                COLORREF c1, COLORREF c2, COLORREF c3, COLORREF c4);
    void SetColors(COLORREF c1, COLORREF c2, COLORREF c3, COLORREF c4);

    void Draw(CDC& dc) override;
    void OnLButtonDown(UINT nFlags, CPoint pt) override;
    void OnLButtonUp(UINT nFlags, CPoint pt) override;
    void OnMouseMove(UINT nFlags, CPoint pt) override;
    void OnRButtonDown(UINT nFlags, CPoint pt) override;
    void OnLButtonDblClk(UINT nFlags, CPoint pt) override;
    bool OnMouseWheel(UINT nFlags, int nDelta, CPoint pt) override;
    void Cancel() override;

    // Columns.
    int AddColumn(int nValue, int nAlign, int nWidth);
    void SetColumnWidth(int nCol, int nWidth);
    int GetColumnWidth(int nCol) const;
    int GetColumnCount() const { return int(m_columns.size()); }

    // Rows. Insert at an index outside 0 … row count appends. Both return the new row.
    int InsertRow(int nRow, Item item);
    int AppendRow(Item item);
    void SetText(int nRow, int nCol, const std::string& s);
    std::string GetText(int nRow, int nCol) const; // empty when the cell does not exist
    void SetItem(int nRow, Item item);
    Item GetItem(int nRow) const; // null when the row does not exist
    void SetPlayable(int nRow, bool b);
    bool IsPlayable(int nRow) const;
    int FindRow(Item item) const;
    void DeleteRow(int nRow);
    void DeleteSelectedRows();
    void DeleteAllRows();
    void SelectAll(bool bSelect);
    void InvertSelection();
    // Keeps only the selected rows when some but not all are selected; whether it did so.
    bool Crop();
    bool IsSelected(int nRow) const;
    void SetSelected(int nRow, bool b);
    int GetSelectedCount() const;
    int GetRowCount() const { return int(m_rows.size()); }
    int GetRowsVisible() const;
    int GetTopRow() const { return m_nTop; }
    void SetTopRow(int nTop); // limited to 0 … largest top row
    int GetCursorRow() const { return m_nCursor; }
    // Sets the cursor row and scrolls toward it when it is out of sight.
    void SetCursorRow(int nRow);
    // The saved state of the list is its cursor row, one 32-bit integer; a damaged record
    // leaves the cursor row as it was.
    void Serialize(CArchive& ar);
    void SetRowHeight(int n);
    int GetRowHeight() const { return m_nRowHeight; }
    void SetShowNumbers(bool b) { m_bShowNumbers = b; }
    bool IsShowingNumbers() const { return m_bShowNumbers; }
    void SetFontHeight(int n) { m_nFontHeight = n; }
    int GetFontHeight() const { return m_nFontHeight; }
    // Reorders the rows by their items; each row keeps its texts, flags and selection and the
    // cursor row moves with its item.
    void Sort(const CompareFn& less);

    // Keyboard operations; nModifiers holds MK_SHIFT and MK_CONTROL as the window read them
    // from the key state.
    void Up(UINT nModifiers);
    void Down(UINT nModifiers);
    void PageUp(UINT nModifiers);
    void PageDown(UINT nModifiers);
    void Home(UINT nModifiers);
    void End(UINT nModifiers);

    // Geometry.
    int RowAtPoint(CPoint pt) const; // -1 for none
    CRect GetRowRect(int nRow) const;
    CRect GetCellRect(int nRow, int nCol) const;
    int GetLargestTopRow() const;

    int GetAnchorRow() const { return m_nAnchor; }
    bool IsDragging() const { return m_drag.bDragging; }

private:
    struct Column {
        int nAlign = ALIGN_LEFT;
        int nWidth = 0;
        int nValue = 0;
    };
    struct Row {
        int nState = kNormal;
        Item item = nullptr;
        bool bPlayable = true;
        std::vector<std::string> texts;
    };
    struct DragState {
        bool bDragging = false;
        bool bMoved = false;
        int nStart = -1;
        int nCurrent = -1;
        int nFirst = -1;
        int nLast = -1;
    };

    bool IsRow(int n) const { return n >= 0 && n < GetRowCount(); }
    int PageRows() const;
    int FirstSelected() const;
    int LastSelected() const;
    void SelectOnly(int nRow);
    void SelectRange(int nFrom, int nTo);
    void SetAnchor(int nRow);
    bool AnyVisibleSelected() const;
    void ScrollIntoView(int nRow);
    void PostTopIndex();
    void Page(int nDirection, UINT nModifiers);
    void Jump(bool bEnd, UINT nModifiers);
    // Moves the block m_drag.nFirst … m_drag.nLast by up to d rows; whether anything moved.
    bool MoveSelection(int d);
    bool MoveBlockOneStep(bool bDown);
    void MoveSelectedRows(bool bDown);
    void DrawRow(CDC& dc, int nRow);
    void ForgetRange();

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    COLORREF m_color1 = RGB(0, 0, 0);
    COLORREF m_color2 = RGB(0, 0, 128);
    COLORREF m_color3 = RGB(0, 255, 0);
    COLORREF m_color4 = RGB(255, 255, 255);
    int m_nRowHeight = 16;
    int m_nTop = 0;
    int m_nCursor = -1;
    int m_nAnchor = -1;
    int m_nRangeEnd = -1;
    DragState m_drag;
    bool m_bShowNumbers = false;
    int m_nFontHeight = 12;
};
