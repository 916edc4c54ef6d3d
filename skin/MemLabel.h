// Label: one line of text in the system title font on a solid background, ending in an
// ellipsis when it does not fit.
#pragma once

#include "platform/DC.h"
#include "skin/MemDraw.h"

#include <string>

class CMemLabel : public CMemDraw {
public:
    // x, y, width, height, a number that is not used, font height in pixels.
    static constexpr int kLineNumbers = 6;
    bool CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n);

    void Redraw() override;

    // Stores the text and re-renders; the window redraws the control afterwards.
    void SetText(const std::string& s);
    const std::string& GetText() const { return m_strText; }
    void SetTextColor(COLORREF c) { m_textColor = c; }
    void SetBkColor(COLORREF c) { m_bkColor = c; }
    void SetFlags(UINT nFlags) { m_nFlags = nFlags; }
    void SetFontHeight(int n) { m_nFontHeight = n; }
    int GetFontHeight() const { return m_nFontHeight; }

private:
    UINT m_nFlags = DT_END_ELLIPSIS;
    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_bkColor = RGB(255, 255, 255);
    int m_nFontHeight = 12;
    std::string m_strText;
};
