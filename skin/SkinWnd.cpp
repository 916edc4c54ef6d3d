#include "skin/SkinWnd.h"

#include "core/Archive.h"
#include "core/ObjBase.h"
#include "platform/RegisteredMessages.h"
#include "skin/SnapGeometry.h"
#include "skin/WndStateStore.h"

#include <QCursor>
#include <QWidget>
#include <algorithm>

namespace {

// Lets the store serialise a window's saved-state record like any persisted object.
class CStateRecord : public CObjBase {
public:
    explicit CStateRecord(SkinWnd& wnd) : m_wnd(wnd) {}
    void Serialize(CArchive& ar) override { m_wnd.SerializeState(ar); }

private:
    SkinWnd& m_wnd;
};

// A stored rectangle is used only when it is a plausible window.
bool Plausible(const CRect& r) {
    constexpr int kLimit = 1 << 20;
    return r.Width() > 0 && r.Height() > 0 && r.Width() < kLimit && r.Height() < kLimit &&
           std::abs(r.left) < kLimit && std::abs(r.top) < kLimit;
}

CRect Union(const CRect& a, const CRect& b) {
    if (a.IsRectEmpty())
        return b;
    if (b.IsRectEmpty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

} // namespace

SkinWnd::~SkinWnd() {
    if (CMemCtrl::GetHotControl() && CMemCtrl::GetHotControl()->GetParent() == this)
        CMemCtrl::SetHotControl(nullptr);
    SetBackBuffer(nullptr);
}

bool SkinWnd::CreateSkinWindow(const std::string& strTitle) {
    if (!CreateTopLevel(m_rcWindow, strTitle))
        return false;
    m_pCursorPlayer = std::make_unique<CCursorPlayer>();
    RefreshCachedRect();
    RebuildBuffers(true);
    return true;
}

// Skins ---------------------------------------------------------------------------------------

bool SkinWnd::LoadSkin(const std::string& strFolder) {
    ReleaseImages();
    m_bSkinFromFiles = true;
    if (!LoadSkinFiles(strFolder)) {
        m_bSkinFromFiles = false;
        return false;
    }
    InitControls();
    FinishSkin();
    SkinApplied(0);
    return true;
}

void SkinWnd::LoadBuiltInSkin() {
    ReleaseImages();
    m_bSkinFromFiles = false;
    LoadBuiltInImages();
    InitControls();
    FinishSkin();
    SkinApplied(1);
}

void SkinWnd::FinishSkin() {
    EnforceMinimumSize();
    m_rcWindow.bottom = m_rcWindow.top + (m_bShaded ? m_nShadeHeight : m_nExpandedHeight);
    if (IsWindow())
        MoveWindow(m_rcWindow);
    PlaceControls();
    ActivateTooltips();
    UpdateToolRects();
    RebuildBuffers(true);
}

void SkinWnd::EnforceMinimumSize() {
    const CSize minimum = GetMinimumSize();
    if (m_rcWindow.Width() < minimum.cx)
        m_rcWindow.right = m_rcWindow.left + minimum.cx;
    if (m_rcWindow.Height() < minimum.cy)
        m_rcWindow.bottom = m_rcWindow.top + minimum.cy;
}

// Controls ------------------------------------------------------------------------------------

bool SkinWnd::HitTestControls(CPoint pt, CMemCtrl*& pCtrl) {
    for (CMemCtrl* c : m_controls)
        if (c->IsVisible() && c->IsEnabled() && c->HitTest(pt)) {
            pCtrl = c;
            return true;
        }
    pCtrl = nullptr;
    return false;
}

CMemCtrl* SkinWnd::ControlAt(CPoint pt) {
    CMemCtrl* c = nullptr;
    HitTestControls(pt, c);
    return c;
}

bool SkinWnd::PointInClient(CPoint pt) {
    return GetClientRect().PtInRect(pt);
}

void SkinWnd::PlaceControls() {
    const CRect client = GetClientRect();
    for (CMemCtrl* c : m_controls)
        c->SetPosition(c->GetRightOffset() ? client.right - c->GetRightOffset() : -1,
                       c->GetBottomOffset() ? client.bottom - c->GetBottomOffset() : -1);
}

void SkinWnd::UpdateControls() {
    for (CMemCtrl* c : std::vector<CMemCtrl*>(m_controls))
        if (c->IsVisible())
            SendMessage(WM_REG_MEMCTRL, MEMCTRL_UPDATE, reinterpret_cast<LPARAM>(c));
    Repaint();
}

void SkinWnd::SetActive(bool bActive) {
    m_bActive = bActive;
    for (CMemCtrl* c : m_controls)
        if (c->IsVisible())
            c->SetWindowInactive(!bActive);
    Repaint();
}

// Painting ------------------------------------------------------------------------------------

void SkinWnd::RebuildBuffers(bool bForce) {
    const CRect client = GetClientRect();
    if (client.IsRectEmpty())
        return;
    auto fits = [&](const std::unique_ptr<CSkinImage>& p) {
        return p && p->GetWidth() == client.Width() && p->GetHeight() == client.Height();
    };
    const bool sameSize = fits(m_pBuffer) && (UsesBackgroundCache() ? fits(m_pCache) : !m_pCache);
    if (!sameSize) {
        MakeBuffer(client);
        m_pCache = UsesBackgroundCache() ? std::make_unique<CSkinImage>(nullptr, client) : nullptr;
    } else if (!bForce) {
        return;
    }
    PlaceControls();
    UpdateToolRects();
    Repaint();
}

void SkinWnd::RepaintBuffer() {
    if (!m_pBuffer)
        return;
    CDC& target = m_pCache ? static_cast<CDC&>(*m_pCache) : *m_pBuffer;
    PaintBackground(target);
    PaintFrame(target, true);
    target.ResetClip();
    if (m_pCache)
        m_pBuffer->BitBlt(0, 0, m_pBuffer->Width(), m_pBuffer->Height(), *m_pCache, 0, 0);
    PaintControls(*m_pBuffer);
}

void SkinWnd::Repaint() {
    RepaintBuffer();
    Invalidate();
}

void SkinWnd::ReleaseBuffer() {
    SetBackBuffer(nullptr);
    m_pBuffer.reset();
    m_bBufferReleased = true;
}

// Composes a released buffer again, without asking for another paint: called while painting.
void SkinWnd::RestoreBuffer() {
    const CRect client = GetClientRect();
    if (!m_bBufferReleased || client.IsRectEmpty())
        return;
    m_bBufferReleased = false;
    if (m_pBuffer) // built again meanwhile
        return;
    MakeBuffer(client);
    RepaintBuffer();
}

void SkinWnd::MakeBuffer(const CRect& client) {
    m_pBuffer = std::make_unique<CSkinImage>(nullptr, client);
    SetBackBuffer(m_pBuffer.get());
}

void SkinWnd::PaintControls(CDC& dc) {
    for (CMemCtrl* c : m_controls)
        if (c->IsVisible())
            c->Draw(dc);
}

// While the user resizes, the buffers are not rebuilt for every step: the window draws into
// a plain surface of the new size, controls first, then the frame around them.
void SkinWnd::PaintDirect() {
    const CRect client = GetClientRect();
    if (client.IsRectEmpty())
        return;
    if (!m_pBuffer || m_pBuffer->GetWidth() != client.Width() ||
        m_pBuffer->GetHeight() != client.Height())
        MakeBuffer(client);
    PlaceControls();
    PaintControls(*m_pBuffer);
    CRect controls;
    for (CMemCtrl* c : m_controls)
        if (c->IsVisible())
            controls = Union(controls, c->GetCtrlRect());
    if (!controls.IsRectEmpty())
        m_pBuffer->ExcludeClipRect(controls);
    PaintBackground(*m_pBuffer);
    PaintFrame(*m_pBuffer, true);
    m_pBuffer->ResetClip();
}

void SkinWnd::RedrawControl(CMemCtrl* pCtrl, bool) {
    if (pCtrl)
        RestoreBuffer();
    if (!m_pBuffer || !pCtrl)
        return;
    const CRect r = pCtrl->GetCtrlRect();
    if (m_pCache)
        m_pBuffer->BitBlt(r.left, r.top, r.Width(), r.Height(), *m_pCache, r.left, r.top);
    if (pCtrl->IsVisible())
        pCtrl->Draw(*m_pBuffer);
    InvalidateRect(r);
    UpdateWindow();
}

bool SkinWnd::PieceSize(int nIndex, CSize& size) {
    CSkinImage* pImage = nullptr;
    int sx = 0, sy = 0;
    return GetFramePiece(nIndex, pImage, sx, sy, size.cx, size.cy) && pImage && size.cx > 0 &&
           size.cy > 0;
}

void SkinWnd::DrawPiece(CDC& dc, int nIndex, int x, int y, bool bExclude) {
    CSkinImage* pImage = nullptr;
    int sx = 0, sy = 0, cx = 0, cy = 0;
    if (!GetFramePiece(nIndex, pImage, sx, sy, cx, cy) || !pImage || cx <= 0 || cy <= 0)
        return;
    dc.BitBlt(x, y, cx, cy, *pImage, sx, sy);
    if (bExclude)
        dc.ExcludeClipRect({x, y, x + cx, y + cy});
}

void SkinWnd::TilePiece(CDC& dc, int nIndex, int x, int y, bool bHorizontal, int nLimit,
                        bool bExclude) {
    CSize size;
    if (!PieceSize(nIndex, size))
        return;
    const int step = bHorizontal ? size.cx : size.cy;
    for (int pos = bHorizontal ? x : y; pos <= nLimit; pos += step)
        DrawPiece(dc, nIndex, bHorizontal ? pos : x, bHorizontal ? y : pos, bExclude);
}

// The left piece at (0, 0), the right piece right-aligned, the centre piece centred, then the
// edge tiled along the top.
void SkinWnd::PaintTopRow(CDC& dc, int nLeft, int nCentre, int nEdge, int nRight, bool bExclude) {
    const int w = GetClientRect().Width();
    CSize size;
    DrawPiece(dc, nLeft, 0, 0, bExclude);
    if (PieceSize(nRight, size))
        DrawPiece(dc, nRight, w - size.cx, 0, bExclude);
    if (PieceSize(nCentre, size))
        DrawPiece(dc, nCentre, (w - size.cx) / 2, 0, bExclude);
    TilePiece(dc, nEdge, 0, 0, true, w, bExclude);
}

void SkinWnd::PaintFrame(CDC& dc, bool bExclude) {
    const int set = m_bActive ? 0 : PIECE_INACTIVE_OFFSET;
    if (m_bShaded) {
        PaintTopRow(dc, PIECE_SHADE_LEFT + set, PIECE_SHADE_CENTRE + set, PIECE_SHADE_BAR + set,
                    PIECE_SHADE_RIGHT + set, bExclude);
    } else {
        PaintTopRow(dc, PIECE_TOP_LEFT + set, PIECE_TOP_CENTRE + set, PIECE_TOP_EDGE + set,
                    PIECE_TOP_RIGHT + set, bExclude);
        PaintSidesAndBody(dc, bExclude);
    }
    if (bExclude)
        dc.ResetClip();
}

void SkinWnd::PaintSidesAndBody(CDC& dc, bool bExclude) {
    const CRect client = GetClientRect();
    const int w = client.Width(), h = client.Height();
    CSize size;
    if (PieceSize(PIECE_BOTTOM_LEFT, size))
        DrawPiece(dc, PIECE_BOTTOM_LEFT, 0, h - size.cy, bExclude);
    if (PieceSize(PIECE_BOTTOM_RIGHT, size))
        DrawPiece(dc, PIECE_BOTTOM_RIGHT, w - size.cx, h - size.cy, bExclude);
    if (PieceSize(PIECE_BOTTOM_EDGE, size))
        TilePiece(dc, PIECE_BOTTOM_EDGE, 0, h - size.cy, true, w, bExclude);
    TilePiece(dc, PIECE_LEFT_EDGE, 0, 0, false, h, bExclude);
    if (PieceSize(PIECE_RIGHT_EDGE, size))
        TilePiece(dc, PIECE_RIGHT_EDGE, w - size.cx, 0, false, h, bExclude);
    if (PieceSize(PIECE_BODY, size))
        for (int y = 0; y < h; y += size.cy)
            TilePiece(dc, PIECE_BODY, 0, y, true, w, false);
}

// Shade, zoom, rearranging ----------------------------------------------------------------------

void SkinWnd::MoveWindowsBelow(int dy) {
    std::vector<CRect> rects;
    std::vector<CSnapWnd*> wnds;
    std::size_t self = SIZE_MAX;
    for (const SnapRecord& rec : GetRegistry()) {
        CSnapWnd* w = FromSnapHandle(rec.hWnd);
        if (!w)
            continue;
        if (w == this)
            self = wnds.size();
        wnds.push_back(w);
        rects.push_back(w->GetWindowRect());
    }
    if (self == SIZE_MAX) {
        self = wnds.size();
        wnds.push_back(this);
        rects.push_back(GetWindowRect());
    }
    for (std::size_t i : snap::WindowsBelow(rects, self)) {
        wnds[i]->RefreshCachedRect();
        wnds[i]->MoveBy(0, dy);
    }
}

void SkinWnd::ToggleShade() {
    RefreshCachedRect();
    const int width = m_rcWindow.Width();
    m_bShaded = !m_bShaded;
    int height = 0;
    if (!m_bShaded) {
        LayoutForExpanded();
        height = m_nExpandedHeight;
    } else {
        LayoutForShade();
        m_nExpandedHeight = m_rcWindow.Height();
        height = m_nShadeHeight;
    }
    const int dy =
        m_bShaded ? -(m_nExpandedHeight - m_nShadeHeight) : m_nExpandedHeight - m_nShadeHeight;
    // The windows below are found by this window's bottom before the change.
    MoveWindowsBelow(dy);
    SetWindowSize(width, height);
    UpdateToolRects();
    RefreshCachedRect();
    UpdateControls();
    RebuildBuffers(true);
    PostMessage(WM_REG_REARRANGEALLWINDOWS);
}

void SkinWnd::SetZoomed(bool bZoomed) {
    if (bZoomed == m_bZoomed)
        return; // zooming twice would lose the rectangle to come back to
    m_bZoomed = bZoomed;
    if (bZoomed) {
        m_rcBeforeZoom = GetWindowRect();
        if (!m_bShaded) {
            m_rcWindow = GetDesktopRect();
            MoveWindow(m_rcWindow);
        }
    } else {
        if (!m_bShaded) {
            m_rcWindow = m_rcBeforeZoom;
            MoveWindow(m_rcWindow);
        }
        PostMessage(WM_REG_REARRANGEALLWINDOWS);
    }
    ZoomChanged(bZoomed);
}

bool SkinWnd::HitTestResizeEdge(CPoint pt, int& nKind) {
    return !m_bShaded && CSnapWnd::HitTestResizeEdge(pt, nKind);
}

bool SkinWnd::CanResize(int nKind) {
    return !(m_bShaded && nKind == RESIZE_BOTTOM);
}

// Saved state ----------------------------------------------------------------------------------

void SkinWnd::SerializeState(CArchive& ar) {
    if (ar.IsStoring()) {
        // A zoomed window is remembered at the place it returns to.
        const CRect r = m_bZoomed ? m_rcBeforeZoom : IsWindow() ? GetWindowRect() : m_rcWindow;
        for (int v :
             {r.left, r.top, r.right, r.bottom, m_nStored, int(m_bShaded), m_nExpandedHeight})
            ar.WriteInt32(v);
        return;
    }
    CRect r;
    r.left = ar.ReadInt32();
    r.top = ar.ReadInt32();
    r.right = ar.ReadInt32();
    r.bottom = ar.ReadInt32();
    const int stored = ar.ReadInt32();
    const int shaded = ar.ReadInt32();
    const int expanded = ar.ReadInt32();
    // A short or damaged record, or one that is no window, leaves the defaults.
    if (ar.Failed() || !Plausible(r) || expanded >= (1 << 20))
        return;
    m_rcWindow = r;
    m_nStored = stored;
    m_bShaded = shaded != 0;
    m_nExpandedHeight = std::max(expanded, m_nExpandedHeight);
    if (!m_bShaded)
        m_rcWindow.bottom = m_rcWindow.top + m_nExpandedHeight;
}

void SkinWnd::LoadState() {
    m_rcWindow = DefaultRect();
    CStateRecord record(*this);
    m_bStateLoaded = skin::LoadWndState(record, WindowName());
}

bool SkinWnd::SaveState() {
    CStateRecord record(*this);
    return skin::SaveWndState(record, WindowName());
}

// Tooltips and cursors -----------------------------------------------------------------------

void SkinWnd::ActivateTooltips() {
    m_bTooltipsOn = TooltipsActive();
}

void SkinWnd::UpdateToolRects() {
    m_tools.clear();
    for (CMemCtrl* c : m_controls)
        m_tools.push_back({c->GetCtrlRect(), c->GetID(), c->GetTooltipText()});
}

void SkinWnd::UpdateTooltip(CPoint pt) {
    std::string text;
    if (m_bTooltipsOn)
        for (const Tool& t : m_tools)
            if (t.rect.PtInRect(pt)) {
                text = t.strText;
                break;
            }
    if (text == m_strTooltip)
        return;
    m_strTooltip = text;
    if (GetWidget())
        GetWidget()->setToolTip(QString::fromStdString(text));
}

std::shared_ptr<CSkinCursor> SkinWnd::DefaultCursor() {
    return CSkinCursors::Get(5);
}

std::shared_ptr<CSkinCursor> SkinWnd::CursorForControl(CMemCtrl* pCtrl) {
    return pCtrl && pCtrl->GetCursor() ? pCtrl->GetCursor() : DefaultCursor();
}

std::shared_ptr<CSkinCursor> SkinWnd::CursorForWindowArea(CPoint pt) {
    int kind = RESIZE_NONE;
    if (HitTestResizeEdge(pt, kind))
        return CSkinCursors::Get(kind == RESIZE_CORNER ? 4 : kind == RESIZE_RIGHT ? 1 : 2);
    return CSkinCursors::Get(0);
}

void SkinWnd::OnSetCursor() {
    if (!GetWidget())
        return;
    const QPoint q = GetWidget()->mapFromGlobal(QCursor::pos());
    const CPoint pt{q.x(), q.y()};
    CMemCtrl* c = ControlAt(pt);
    std::shared_ptr<CSkinCursor> cursor = c ? CursorForControl(c) : CursorForWindowArea(pt);
    if (!cursor) {
        if (m_pCursorPlayer)
            m_pCursorPlayer->Show(nullptr, nullptr);
        SetCursorShape(CursorShape::Arrow);
    } else if (m_pCursorPlayer && m_pCursorPlayer->GetCursor() != cursor.get()) {
        m_pCursorPlayer->Show(this, cursor);
    }
}

// Mouse routing ---------------------------------------------------------------------------------

void SkinWnd::SetHot(CMemCtrl* pCtrl) {
    CMemCtrl* old = CMemCtrl::GetHotControl();
    if (old == pCtrl)
        return;
    CMemCtrl::SetHotControl(pCtrl);
    if (old)
        old->MouseLeave();
    if (pCtrl)
        pCtrl->MouseEnter();
}

void SkinWnd::OnLButtonDown(UINT nFlags, CPoint pt) {
    m_bLButtonDown = true;
    SetFocus();
    CMemCtrl* c = ControlAt(pt);
    m_pPressed = c;
    if (!c) {
        DragButtonDown(pt);
        return;
    }
    SetCapture();
    c->OnLButtonDown(nFlags, pt);
    if (IsGripControl(c))
        StartResize(RESIZE_RIGHT, pt);
}

void SkinWnd::ReleaseOver(CPoint pt, bool bLeft, UINT nFlags) {
    CMemCtrl* c = ControlAt(pt);
    CMemCtrl* captured = CMemCtrl::GetCapturedControl();
    if (!c) {
        if (captured)
            captured->Cancel();
        SetHot(nullptr);
        Repaint();
    } else if (c == captured || !captured) {
        if (bLeft)
            c->OnLButtonUp(nFlags, pt);
        else
            c->OnRButtonUp(nFlags, pt);
        if (bLeft)
            SetHot(nullptr);
    } else {
        captured->Cancel();
    }
}

void SkinWnd::EndDrag(bool bDoubleClick) {
    const bool wasResizing = m_bResizing;
    if (bDoubleClick)
        DragDoubleClick();
    else
        DragButtonUp();
    // The window painted directly while it was resized; now its buffers follow the size.
    if (wasResizing)
        RebuildBuffers(true);
}

void SkinWnd::OnLButtonUp(UINT nFlags, CPoint pt) {
    m_bLButtonDown = false;
    EndDrag(false);
    ReleaseCapture();
    ReleaseOver(pt, true, nFlags);
    m_pPressed = nullptr;
}

void SkinWnd::OnRButtonDown(UINT nFlags, CPoint pt) {
    m_bRButtonDown = true;
    SetCapture();
    if (CMemCtrl* c = ControlAt(pt))
        c->OnRButtonDown(nFlags, pt);
}

void SkinWnd::OnRButtonUp(UINT nFlags, CPoint pt) {
    m_bRButtonDown = false;
    ReleaseCapture();
    ReleaseOver(pt, false, nFlags);
}

void SkinWnd::OnMouseMove(UINT nFlags, CPoint pt) {
    DragMouseMove(pt);
    if (!PointInClient(pt)) {
        SetHot(nullptr);
        if (!m_bLButtonDown && !m_pPressed)
            ReleaseCapture();
    } else {
        SetHot(ControlAt(pt));
    }
    if (m_pPressed)
        m_pPressed->OnMouseMove(nFlags, pt);
    UpdateTooltip(pt);
}

void SkinWnd::OnMouseWheel(UINT nFlags, int nDelta, CPoint ptScreen) {
    const CRect w = GetWindowRect();
    const CPoint pt{ptScreen.x - w.left, ptScreen.y - w.top};
    if (CMemCtrl* c = ControlAt(pt))
        c->OnMouseWheel(nFlags, nDelta, pt);
}

LRESULT SkinWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CPoint pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const UINT flags = UINT(LOWORD(wParam));
    if (message == WM_REG_REARRANGEALLWINDOWS) {
        RearrangeAllWindows();
        return 0;
    }
    switch (message) {
    case WM_PAINT:
        if (PaintsDirectly())
            PaintDirect();
        else
            RestoreBuffer();
        return 0;
    case WM_SIZE:
        if (!PaintsDirectly())
            RebuildBuffers();
        return 0;
    case WM_SETFOCUS:
        SetActive(true);
        return 0;
    case WM_KILLFOCUS:
        SetActive(false);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(flags, pt);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(flags, pt);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDown(flags, pt);
        if (m_pPressed)
            m_pPressed->OnLButtonDblClk(flags, pt);
        else
            EndDrag(true);
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(flags, pt);
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(flags, pt);
        return 0;
    case WM_RBUTTONDBLCLK:
        OnRButtonDown(flags, pt);
        if (CMemCtrl* c = ControlAt(pt))
            c->OnRButtonDblClk(flags, pt);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(flags, pt);
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(flags, std::int16_t(HIWORD(wParam)), pt);
        return 0;
    case WM_MOUSELEAVE:
        if (!m_bLButtonDown && !m_pPressed)
            SetHot(nullptr);
        return 0;
    case WM_SETCURSOR:
        OnSetCursor();
        return 0;
    default:
        break;
    }
    return CSnapWnd::WindowProc(message, wParam, lParam);
}
