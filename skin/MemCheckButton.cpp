#include "skin/MemCheckButton.h"

bool CMemCheckButton::CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n) {
    Create(pParent, nID, n[0], n[1], n[2], n[3], pImage, LinePoint(n, 0), LinePoint(n, 1),
           LinePoint(n, 2), LinePoint(n, 5));
    m_checkedNormal = LinePoint(n, 3);
    m_checkedPressed = LinePoint(n, 4);
    m_checkedHover = LinePoint(n, 6);
    return true;
}

SkinPoint CMemCheckButton::GetHoverSource() const {
    return m_bChecked ? m_checkedHover : m_hover;
}

void CMemCheckButton::Draw(CDC& dc) {
    SkinPoint src;
    if (UseHoverImage())
        src = GetHoverSource();
    else if (m_bLPressed)
        src = m_bChecked ? m_checkedPressed : m_pressed;
    else
        src = m_bChecked ? m_checkedNormal : m_normal;
    CopyFromImage(dc, src);
}

void CMemCheckButton::OnLButtonUp(UINT nFlags, CPoint pt) {
    // The new state is set before the parent hears of the click.
    if (m_bLPressed)
        m_bChecked = !m_bChecked;
    CMemButton::OnLButtonUp(nFlags, pt);
}
