#include "skin/MemSlider.h"

#include "platform/DC.h"
#include "platform/RegisteredMessages.h"
#include "skin/SkinImage.h"

#include <algorithm>

namespace {

// Rounds half up (values here are never negative).
int Round(double v) {
    return int(v + 0.5);
}

} // namespace

bool CMemSlider::CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n) {
    Create(pParent, nID, n[0], n[1], n[2], n[3], pImage, LinePoint(n, 0), LinePoint(n, 1), n[8],
           n[9], LinePoint(n, 3), LinePoint(n, 4));
    return true;
}

void CMemSlider::Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                        SkinPoint normal, SkinPoint inactive, int nThumbWidth, int nThumbHeight,
                        SkinPoint thumb, SkinPoint thumbPressed) {
    CMemCtrl::Create(pParent, nID, x, y, cx, cy, pImage, normal, inactive, SkinPoint{});
    m_nThumbWidth = nThumbWidth;
    m_nThumbHeight = nThumbHeight;
    m_thumb = thumb;
    m_thumbPressed = thumbPressed;
    m_bDragging = false;
    SetValue(m_nValue);
}

int CMemSlider::TrackLength() const {
    return m_bHorizontal ? m_cx - m_nThumbWidth : m_cy - m_nThumbHeight;
}

double CMemSlider::GetScale() const {
    if (m_nMax == m_nMin)
        return 0.0;
    return double(TrackLength()) / double(m_nMax - m_nMin);
}

void CMemSlider::SetValue(int nValue) {
    m_nValue = nValue;
    const int along = m_nMax == m_nMin ? 0 : Round(nValue * GetScale());
    // A value outside the range keeps the thumb at the end of its track instead of drawing it
    // over other parts of the window.
    const int track = std::max(0, TrackLength());
    m_nOffset = std::clamp(GrowsUpwards() ? track - along : along, 0, track);
}

CPoint CMemSlider::ThumbPos() const {
    return m_bHorizontal ? CPoint{m_x + m_nOffset, m_y} : CPoint{m_x, m_y + m_nOffset};
}

CRect CMemSlider::GetRect() const {
    const CPoint p = ThumbPos();
    return {p.x, p.y, p.x + m_nThumbWidth, p.y + m_nThumbHeight};
}

void CMemSlider::Draw(CDC& dc) {
    if (!m_pImage || m_nThumbWidth == 0 || m_nThumbHeight == 0)
        return;
    const SkinPoint src = m_bDragging ? m_thumbPressed : m_thumb;
    const CPoint p = ThumbPos();
    if (src.IsSet())
        dc.BitBlt(p.x, p.y, m_nThumbWidth, m_nThumbHeight, *m_pImage, src.x, src.y);
}

void CMemSlider::MoveThumb(CPoint pt) {
    const int d = m_bHorizontal ? pt.x - m_x : pt.y - m_y;
    const int grab = m_bHorizontal ? m_grab.x : m_grab.y;
    const int track = TrackLength();
    if (d < grab)
        m_nOffset = 0;
    else if (d > track + grab)
        m_nOffset = track;
    else
        m_nOffset = d - grab;
}

void CMemSlider::UpdateValue() {
    // A slider without a range or without a track has no scale: it stays at the minimum.
    const double scale = GetScale();
    int v = scale > 0.0 ? Round(m_nOffset / scale) : 0;
    if (GrowsUpwards())
        v = (m_nMax - m_nMin) - v;
    if (v == m_nValue)
        return;
    m_nValue = v;
    PostToParent(WM_REG_SLIDERPOS, reinterpret_cast<WPARAM>(this), v);
}

void CMemSlider::OnLButtonDown(UINT nFlags, CPoint pt) {
    const CRect thumb = GetRect();
    if (thumb.PtInRect(pt)) {
        m_grab = {pt.x - thumb.left, pt.y - thumb.top};
    } else {
        m_grab = {m_nThumbWidth / 2, m_nThumbHeight / 2};
        MoveThumb(pt);
        UpdateValue();
    }
    m_bDragging = true;
    PostToParent(WM_REG_SLIDERHOLD, reinterpret_cast<WPARAM>(this), 1);
    CMemCtrl::OnLButtonDown(nFlags, pt);
}

void CMemSlider::OnMouseMove(UINT, CPoint pt) {
    if (!m_bDragging)
        return;
    MoveThumb(pt);
    UpdateValue();
    Invalidate();
}

void CMemSlider::OnLButtonUp(UINT nFlags, CPoint pt) {
    m_bDragging = false;
    PostToParent(WM_REG_SLIDERHOLD, reinterpret_cast<WPARAM>(this), 0);
    CMemCtrl::OnLButtonUp(nFlags, pt);
}

void CMemSlider::Cancel() {
    m_bDragging = false;
    PostToParent(WM_REG_SLIDERHOLD, reinterpret_cast<WPARAM>(this), 0);
    CMemCtrl::Cancel();
}
