#include "skin/MemGlyphText.h"

#include "platform/DC.h"
#include "skin/SkinImage.h"

#include <cctype>

bool CMemGlyphText::CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n) {
    return Create(pParent, nID, n[0], n[1], n[2], n[3], pImage, n[4], n[5], n[6], n[7], n[8]);
}

bool CMemGlyphText::Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy,
                           CSkinImage* pImage, int nGlyphWidth, int nGlyphHeight, int nPerRow,
                           int nRows, int nGap) {
    if (nPerRow <= 0 || nRows <= 0)
        return false;
    CMemCtrl::Create(pParent, nID, x, y, cx, cy, pImage, SkinPoint{0, 0}, SkinPoint{}, SkinPoint{});
    m_nGlyphWidth = nGlyphWidth;
    m_nGlyphHeight = nGlyphHeight;
    m_nPerRow = nPerRow;
    m_nRows = nRows;
    m_nGap = nGap;
    return true;
}

void CMemGlyphText::SetText(const std::string& s) {
    m_strText = s;
    for (char& c : m_strText)
        c = char(std::toupper(static_cast<unsigned char>(c)));
}

CPoint CMemGlyphText::CellOf(char ch) const {
    const std::size_t k = m_strAlphabet.find(ch);
    if (k == std::string::npos)
        return {m_nPerRow - 1, m_nRows - 1};
    return {int(k % std::size_t(m_nPerRow)), int(k / std::size_t(m_nPerRow))};
}

void CMemGlyphText::Draw(CDC& dc) {
    if (!m_pImage || m_nPerRow <= 0 || m_nRows <= 0)
        return;
    const int right = m_x + m_cx;
    int pen = m_x;
    for (char ch : m_strText) {
        if (pen >= right)
            break;
        const CPoint cell = CellOf(ch);
        dc.BitBlt(pen, m_y, m_nGlyphWidth, m_nGlyphHeight, *m_pImage, cell.x * m_nGlyphWidth,
                  cell.y * m_nGlyphHeight);
        pen += m_nGlyphWidth + m_nGap;
    }
}
