#include "skin/MemDraw.h"

void CMemDraw::Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy) {
    CMemCtrl::Create(pParent, nID, x, y, cx, cy, nullptr, SkinPoint{}, SkinPoint{}, SkinPoint{});
    ReleaseImage();
    CreateImage(cx, cy);
}

bool CMemDraw::CreateImage(int cx, int cy) {
    if (cx < 1 || cy <= 0)
        return false;
    m_pOwnImage = std::make_unique<CSkinImage>(nullptr, CRect{0, 0, cx, cy});
    if (m_pOwnImage->IsNull()) {
        m_pOwnImage.reset();
        return false;
    }
    return true;
}

void CMemDraw::ReleaseImage() {
    m_pOwnImage.reset();
}

void CMemDraw::ResizeImage(int cx, int cy) {
    if (m_pOwnImage && m_pOwnImage->GetWidth() == cx && m_pOwnImage->GetHeight() == cy)
        return;
    ReleaseImage();
    CreateImage(cx, cy);
    Redraw();
}

void CMemDraw::SetSize(int cx, int cy) {
    CMemCtrl::SetSize(cx, cy);
    if (m_pParent)
        ResizeImage(m_cx, m_cy);
}

void CMemDraw::CopyBackground(const CDC& dc) {
    if (m_pOwnImage)
        m_pOwnImage->BitBlt(0, 0, m_cx, m_cy, dc, m_x, m_y);
}

void CMemDraw::Draw(CDC& dc) {
    if (m_pOwnImage)
        dc.BitBlt(m_x, m_y, m_cx, m_cy, *m_pOwnImage, m_source.x, m_source.y);
}
