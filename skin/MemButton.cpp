#include "skin/MemButton.h"

bool CMemButton::CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n) {
    Create(pParent, nID, n[0], n[1], n[2], n[3], pImage, LinePoint(n, 0), LinePoint(n, 1),
           LinePoint(n, 2), LinePoint(n, 3));
    return true;
}

void CMemButton::Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                        SkinPoint normal, SkinPoint inactive, SkinPoint pressed, SkinPoint hover) {
    CMemCtrl::Create(pParent, nID, x, y, cx, cy, pImage, normal, inactive, hover);
    m_pressed = pressed;
}

void CMemButton::Draw(CDC& dc) {
    if (!m_bLPressed || !m_pressed.IsSet()) {
        CMemCtrl::Draw(dc);
        return;
    }
    CopyFromImage(dc, UseHoverImage() ? GetHoverSource() : m_pressed);
}
