#include "skin/SnapWnd.h"

#include "skin/SnapGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

std::vector<SnapRecord>& Registry() {
    static std::vector<SnapRecord> records;
    return records;
}

CRect ToCRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

} // namespace

CSnapWnd::~CSnapWnd() {
    UnregisterWindow(m_hWnd);
}

void CSnapWnd::RegisterWindow(HWND hWnd, int nLeader, int nValue) {
    if (!hWnd)
        return;
    UnregisterWindow(hWnd); // one record per window
    Registry().push_back({hWnd, nLeader, nValue});
}

void CSnapWnd::UnregisterWindow(HWND hWnd) {
    auto& r = Registry();
    r.erase(std::remove_if(r.begin(), r.end(), [&](const SnapRecord& s) { return s.hWnd == hWnd; }),
            r.end());
}

void CSnapWnd::UnregisterAll() {
    Registry().clear();
}

const std::vector<SnapRecord>& CSnapWnd::GetRegistry() {
    return Registry();
}

CSnapWnd* CSnapWnd::FromSnapHandle(HWND hWnd) {
    return dynamic_cast<CSnapWnd*>(CWnd::FromHandle(hWnd));
}

bool CSnapWnd::IsLeader() const {
    for (const SnapRecord& r : Registry())
        if (r.hWnd == m_hWnd)
            return r.nLeader == 1;
    return false;
}

std::vector<CRect> CSnapWnd::GetScreenAreas() const {
    std::vector<CRect> areas;
    for (const QScreen* s : QGuiApplication::screens())
        areas.push_back(ToCRect(s->availableGeometry()));
    return areas;
}

CRect CSnapWnd::GetPrimaryScreenArea() const {
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    return pScreen ? ToCRect(pScreen->availableGeometry()) : CRect{};
}

CRect CSnapWnd::GetDesktopRect() const {
    std::vector<CRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens.push_back(ToCRect(s->geometry()));
    return snap::AreaOf(GetWindowRect(), screens);
}

bool CSnapWnd::UsesSystemMove() const {
    return QGuiApplication::platformName() == QStringLiteral("wayland");
}

void CSnapWnd::RearrangeAllWindows() {
    // A docked group first comes back as one, so no window of it ends up under another.
    for (const SnapRecord& rec : std::vector<SnapRecord>(Registry())) {
        CSnapWnd* w = FromSnapHandle(rec.hWnd);
        if (w && rec.nLeader == 1 && !w->UsesSystemMove())
            w->RearrangeGroup();
    }
    for (const SnapRecord& rec : std::vector<SnapRecord>(Registry())) {
        CSnapWnd* w = FromSnapHandle(rec.hWnd);
        if (!w || w->UsesSystemMove())
            continue;
        const CRect rect = w->GetWindowRect();
        const CPoint d = snap::RearrangeOffset(rect, snap::AreaOf(rect, w->GetScreenAreas()));
        if (d.x || d.y) {
            w->m_rcWindow = rect;
            w->MoveBy(d.x, d.y);
        }
    }
}

void CSnapWnd::RearrangeGroup() {
    ComputeGroups();
    CRect all = GetWindowRect();
    for (HWND h : m_touching)
        if (const CSnapWnd* w = FromSnapHandle(h)) {
            const CRect r = w->GetWindowRect();
            all = {std::min(all.left, r.left), std::min(all.top, r.top),
                   std::max(all.right, r.right), std::max(all.bottom, r.bottom)};
        }
    const CRect area = snap::AreaOf(all, GetScreenAreas());
    if (all.Width() > area.Width() || all.Height() > area.Height())
        return; // each window is then brought back on its own
    const CPoint d = snap::RearrangeOffset(all, area);
    if (d.x || d.y) {
        RefreshCachedRect();
        MoveGroupBy(d.x, d.y);
    }
}

void CSnapWnd::MoveBy(int dx, int dy) {
    m_rcWindow.OffsetRect(dx, dy);
    MoveWindow(m_rcWindow);
}

void CSnapWnd::MoveGroupBy(int dx, int dy) {
    MoveBy(dx, dy);
    for (HWND h : m_touching) {
        CSnapWnd* w = FromSnapHandle(h);
        if (w && w != this && w->MovesWithGroup()) {
            w->RefreshCachedRect();
            w->MoveBy(dx, dy);
        }
    }
}

void CSnapWnd::Move(int dx, int dy) {
    if (IsLeader() && !m_touching.empty())
        MoveGroupBy(dx, dy);
    else
        MoveBy(dx, dy);
}

void CSnapWnd::ComputeGroups() {
    const std::vector<SnapRecord> records = Registry();
    std::vector<snap::WindowInfo> infos;
    std::vector<CSnapWnd*> wnds;
    for (const SnapRecord& rec : records) {
        CSnapWnd* w = FromSnapHandle(rec.hWnd);
        wnds.push_back(w);
        infos.push_back(
            w ? snap::WindowInfo{w->GetWindowRect(), w->IsWindowVisible(), rec.nLeader == 1}
              : snap::WindowInfo{{}, false, false});
    }
    const auto lists = snap::TouchingLists(infos);
    auto handles = [&](const std::vector<std::size_t>& idx) {
        std::vector<HWND> out;
        for (std::size_t i : idx)
            out.push_back(records[i].hWnd);
        return out;
    };
    for (std::size_t i = 0; i < records.size(); ++i)
        if (wnds[i] && infos[i].bVisible)
            wnds[i]->m_touching = handles(lists[i]);
    for (std::size_t i = 0; i < records.size(); ++i)
        if (wnds[i] == this && infos[i].bLeader)
            m_touching = handles(snap::LeaderGroup(i, infos, lists));
}

bool CSnapWnd::SnapRect(CRect& r) {
    if (UsesSystemMove())
        return false;
    const CRect proposal = r;
    if (SnapToScreen())
        snap::SnapToArea(r, snap::AreaOf(r, GetScreenAreas()), ScreenSnapDistance());
    if (SnapToWindows()) {
        const bool leader = IsLeader();
        for (const SnapRecord& rec : Registry()) {
            if (rec.hWnd == m_hWnd)
                continue;
            if (leader &&
                std::find(m_touching.begin(), m_touching.end(), rec.hWnd) != m_touching.end())
                continue; // its own group moves with it
            const CSnapWnd* w = FromSnapHandle(rec.hWnd);
            if (w && w->IsWindowVisible())
                snap::SnapToWindow(r, w->GetWindowRect(), WindowSnapDistance());
        }
    }
    return r != proposal;
}

bool CSnapWnd::HitTestResizeEdge(CPoint pt, int& nKind) {
    if (!IsResizable())
        return false;
    const CRect c = GetClientRect();
    if (!c.PtInRect(pt))
        return false;
    if (pt.x >= c.right - m_nResizeStep && pt.y >= c.bottom - m_nResizeStep)
        nKind = RESIZE_CORNER;
    else if (pt.x >= c.right - m_nGripWidth)
        nKind = RESIZE_RIGHT;
    else if (pt.y >= c.bottom - m_nGripWidth)
        nKind = RESIZE_BOTTOM;
    else
        return false;
    return true;
}

void CSnapWnd::ResizeToward(CPoint pt) {
    int cx = m_rcWindow.Width();
    int cy = m_rcWindow.Height();
    const CSize minimum = GetMinimumSize();
    bool stepped = false;
    if ((m_nResizeKind == RESIZE_RIGHT || m_nResizeKind == RESIZE_CORNER) &&
        CanResize(RESIZE_RIGHT))
        stepped |= snap::ResizeAxis(pt.x, m_ptAnchor.x, cx, m_nResizeStep, minimum.cx);
    if ((m_nResizeKind == RESIZE_BOTTOM || m_nResizeKind == RESIZE_CORNER) &&
        CanResize(RESIZE_BOTTOM))
        stepped |= snap::ResizeAxis(pt.y, m_ptAnchor.y, cy, m_nResizeStep, minimum.cy);
    if (stepped)
        SetWindowSize(cx, cy);
}

void CSnapWnd::SetWindowSize(int cx, int cy) {
    m_rcWindow.right = m_rcWindow.left + cx;
    m_rcWindow.bottom = m_rcWindow.top + cy;
    MoveWindow(m_rcWindow);
}

void CSnapWnd::StartResize(int nKind, CPoint pt) {
    m_bResizing = true;
    m_nResizeKind = nKind;
    m_ptAnchor = pt;
    RefreshCachedRect();
    BeginResize();
}

void CSnapWnd::DragButtonDown(CPoint pt) {
    int kind = RESIZE_NONE;
    if (HitTestResizeEdge(pt, kind)) {
        StartResize(kind, pt);
    } else if (UsesSystemMove()) {
        if (GetWidget() && GetWidget()->windowHandle() && CanMove())
            GetWidget()->windowHandle()->startSystemMove();
        return;
    } else {
        m_bDragging = true;
        m_ptAnchor = pt;
        RefreshCachedRect();
        ComputeGroups();
    }
    SetCapture();
}

void CSnapWnd::DragMouseMove(CPoint pt) {
    if (m_bResizing) {
        ResizeToward(pt);
        return;
    }
    if (!m_bDragging || !CanMove())
        return;
    const int dx = pt.x - m_ptAnchor.x;
    const int dy = pt.y - m_ptAnchor.y;
    if (!dx && !dy)
        return;
    CRect r = m_rcWindow;
    r.OffsetRect(dx, dy);
    SnapRect(r);
    const int mx = r.left - m_rcWindow.left;
    const int my = r.top - m_rcWindow.top;
    if (mx || my)
        Move(mx, my);
}

void CSnapWnd::DragButtonUp() {
    ReleaseCapture();
    if (m_bResizing) {
        m_bResizing = false;
        EndResize();
    } else {
        m_bDragging = false;
    }
}

void CSnapWnd::DragDoubleClick() {
    m_bDragging = false;
    if (m_bResizing) {
        // The size reached so far stays; the window finishes the resize as on release.
        m_bResizing = false;
        EndResize();
    }
}

LRESULT CSnapWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CPoint pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_LBUTTONDOWN:
        DragButtonDown(pt);
        return 0;
    case WM_MOUSEMOVE:
        DragMouseMove(pt);
        return 0;
    case WM_LBUTTONUP:
        DragButtonUp();
        return 0;
    case WM_LBUTTONDBLCLK:
        DragDoubleClick();
        return 0;
    case WM_DESTROY:
        UnregisterWindow(m_hWnd);
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
