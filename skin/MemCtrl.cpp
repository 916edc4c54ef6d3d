#include "skin/MemCtrl.h"

#include "platform/RegisteredMessages.h"
#include "skin/SkinImage.h"

#include <algorithm>

CMemCtrl* CMemCtrl::s_pCaptured = nullptr;
CMemCtrl* CMemCtrl::s_pHot = nullptr;

namespace {

// Skin files may give any 32-bit number; held within a million pixels either way, a
// control's sums and differences of coordinates stay far from overflowing.
constexpr int kMaxCoordinate = 1 << 20;

int Coordinate(int value) {
    return std::clamp(value, -kMaxCoordinate, kMaxCoordinate);
}

SkinPoint Coordinates(SkinPoint point) {
    return point.IsSet() ? SkinPoint{Coordinate(point.x), Coordinate(point.y)} : point;
}

} // namespace

CMemCtrl::~CMemCtrl() {
    // The process-wide pointers never outlive the control they name.
    if (s_pCaptured == this)
        s_pCaptured = nullptr;
    if (s_pHot == this)
        s_pHot = nullptr;
}

void CMemCtrl::Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                      SkinPoint normal, SkinPoint inactive, SkinPoint hover) {
    m_pParent = pParent;
    m_nID = nID;
    m_x = Coordinate(x);
    m_y = Coordinate(y);
    m_cx = Coordinate(cx);
    m_cy = Coordinate(cy);
    m_pImage = pImage;
    m_normal = Coordinates(normal);
    m_inactive = inactive.IsSet() ? Coordinates(inactive) : m_normal;
    m_hover = Coordinates(hover);
    m_nRightOffset = m_x < 0 ? -m_x : 0;
    m_nBottomOffset = m_y < 0 ? -m_y : 0;
}

void CMemCtrl::CopyFromImage(CDC& dc, SkinPoint src) const {
    if (m_pImage && src.IsSet())
        dc.BitBlt(m_x, m_y, m_cx, m_cy, *m_pImage, src.x, src.y);
}

void CMemCtrl::Draw(CDC& dc) {
    if (!m_pImage || !m_normal.IsSet())
        return;
    SkinPoint src =
        (m_bWindowInactive && m_bDimsWhenInactive) || !m_bEnabled ? m_inactive : m_normal;
    if (UseHoverImage())
        src = GetHoverSource();
    CopyFromImage(dc, src);
}

bool CMemCtrl::HitTest(CPoint pt) const {
    return GetCtrlRect().PtInRect(pt);
}

void CMemCtrl::PostToParent(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (m_pParent)
        m_pParent->PostMessage(message, wParam, lParam);
}

void CMemCtrl::PostCode(WPARAM code) const {
    PostToParent(WM_REG_MEMCTRL, code, reinterpret_cast<LPARAM>(this));
}

void CMemCtrl::Press(bool& bPressed, WPARAM code) {
    bPressed = true;
    s_pCaptured = this;
    Invalidate();
    PostCode(code);
}

void CMemCtrl::Release(bool& bPressed, WPARAM upCode, WPARAM clickCode) {
    if (!bPressed)
        return;
    bPressed = false;
    if (s_pCaptured == this)
        s_pCaptured = nullptr;
    Invalidate();
    PostCode(upCode);
    PostCode(clickCode);
}

void CMemCtrl::OnLButtonDown(UINT, CPoint) {
    Press(m_bLPressed, MEMCTRL_LDOWN);
}

void CMemCtrl::OnLButtonUp(UINT, CPoint) {
    Release(m_bLPressed, MEMCTRL_LUP, MEMCTRL_CLICK);
}

void CMemCtrl::OnRButtonDown(UINT, CPoint) {
    Press(m_bRPressed, MEMCTRL_RDOWN);
}

void CMemCtrl::OnRButtonUp(UINT, CPoint) {
    Release(m_bRPressed, MEMCTRL_RUP, MEMCTRL_RCLICK);
}

void CMemCtrl::Cancel() {
    m_bLPressed = false;
    m_bRPressed = false;
    if (s_pCaptured == this)
        s_pCaptured = nullptr;
    Invalidate();
    PostCode(MEMCTRL_LUP);
    PostCode(MEMCTRL_RUP);
}

void CMemCtrl::OnMouseMove(UINT, CPoint) {}

bool CMemCtrl::OnMouseWheel(UINT, int, CPoint) {
    return true;
}

void CMemCtrl::OnLButtonDblClk(UINT, CPoint) {
    Invalidate();
}

void CMemCtrl::OnRButtonDblClk(UINT, CPoint) {
    Invalidate();
}

void CMemCtrl::SetPosition(int x, int y) {
    if (x != -1)
        m_x = Coordinate(x);
    if (y != -1)
        m_y = Coordinate(y);
}

void CMemCtrl::SetSize(int cx, int cy) {
    if (cx != -1)
        m_cx = Coordinate(cx);
    if (cy != -1)
        m_cy = Coordinate(cy);
}

CRect CMemCtrl::GetRect() const {
    return GetCtrlRect();
}

void CMemCtrl::MouseEnter() {
    Invalidate();
}

void CMemCtrl::MouseLeave() {
    Invalidate();
}

bool CMemCtrl::IsHot() const {
    return s_pHot == this;
}

bool CMemCtrl::UseHoverImage() const {
    if (!GetHoverSource().IsSet())
        return false;
    return IsHot() != m_bLPressed;
}

SkinPoint CMemCtrl::GetHoverSource() const {
    return m_hover;
}

void CMemCtrl::Invalidate() {
    if (auto* pHost = dynamic_cast<IMemCtrlHost*>(m_pParent))
        pHost->RedrawControl(this, false);
}
