// Glyph text: a bitmap font laid out as a grid of cells in the image. Each character is drawn
// with the cell of its first occurrence in the alphabet; an unknown one with the grid's last
// cell.
#pragma once

#include "skin/MemCtrl.h"

#include <string>

class CMemGlyphText : public CMemCtrl {
public:
    // x, y, width, height, glyph width, glyph height, glyphs per row, rows, gap.
    static constexpr int kLineNumbers = 9;
    // False for a grid without cells (no columns or no rows).
    bool CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n);

    bool Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                int nGlyphWidth, int nGlyphHeight, int nPerRow, int nRows, int nGap);
    void Draw(CDC& dc) override;

    void SetAlphabet(const std::string& s) { m_strAlphabet = s; }
    const std::string& GetAlphabet() const { return m_strAlphabet; }
    // Stores the text in upper case; the window redraws the control afterwards.
    void SetText(const std::string& s);
    const std::string& GetText() const { return m_strText; }
    // The grid cell (column, row) that shows ch.
    CPoint CellOf(char ch) const;

private:
    int m_nGlyphWidth = 0;
    int m_nGlyphHeight = 0;
    int m_nPerRow = 0;
    int m_nRows = 0;
    int m_nGap = 0;
    std::string m_strAlphabet;
    std::string m_strText;
};
