#include "skin/MemLabel.h"

bool CMemLabel::CreateFromLine(CWnd* pParent, UINT nID, CSkinImage*, const int* n) {
    Create(pParent, nID, n[0], n[1], n[2], n[3]);
    m_nFontHeight = n[5];
    Redraw();
    return true;
}

void CMemLabel::Redraw() {
    if (!m_pOwnImage)
        return;
    m_pOwnImage->FillSolidRect(m_pOwnImage->GetRect(), m_bkColor);
    // Text is never wrapped: without word breaks it stays on one line.
    m_pOwnImage->DrawText(m_strText, CRect{2, -1, m_cx, m_cy}, m_textColor, m_nFontHeight,
                          m_nFlags | DT_SINGLELINE);
}

void CMemLabel::SetText(const std::string& s) {
    m_strText = s;
    Redraw();
}
