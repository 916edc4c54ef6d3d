#include "playback/DShowWnd.h"

#include "platform/Heap.h"
#include "platform/RegisteredMessages.h"

#include <algorithm>

CDShowWnd::CDShowWnd() = default;

CDShowWnd::~CDShowWnd() {
    m_graph.Close(false);
    ReleaseFrame();
    DestroyWindow();
}

bool CDShowWnd::Create(CWnd* pParent, const CRect& rect) {
    if (!CreateChild(pParent, rect))
        return false;
    m_graph.SetWindow(m_hWnd);
    m_backBuffer.CreateBlank(std::max(rect.Width(), 1), std::max(rect.Height(), 1));
    SetBackBuffer(&m_backBuffer);
    return true;
}

// ---- the pipeline's events, for the engine manager ----

void CDShowWnd::OnGraphEvent(int event) {
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_REG_DSHOWNOTIFY, WPARAM(event), LPARAM(&m_graph.GetStatus()));
}

void CDShowWnd::OnGraphFinished() {
    if (CWnd* pParent = GetParent())
        pParent->PostMessage(WM_REG_DSHOWNOTIFY, DShowFinished, LPARAM(&m_graph.GetStatus()));
}

void CDShowWnd::OnGraphClosing(bool notify) {
    if (notify && GetParent())
        GetParent()->SendMessage(WM_REG_DSHOWNOTIFY, DShowResetting, 1);
    ReleaseFrame();
}

void CDShowWnd::OnGraphClosed(bool notify) {
    RedrawPicture();
    m_backBuffer.FillSolidRect(m_backBuffer.GetRect(), RGB(0, 0, 0));
    Invalidate();
    if (notify && GetParent())
        GetParent()->SendMessage(WM_REG_DSHOWNOTIFY, DShowResetting, 0);
}

// ---- pictures ----

// Opening a video and fitting the windows to its picture frees buffers of the old sizes on
// the way, megabytes that the heap would otherwise keep for as long as the picture runs
// (pictures of the new size take other blocks). Once the picture has run for a while, that
// is done: the free pages go back once per clip.
constexpr int kFramesBeforeTrim = 60;

void CDShowWnd::OnVideoFrame() {
    GstSample* pLatest = m_graph.TakeNewestFrame();
    if (!pLatest)
        return;
    const bool wasHeld = m_picture.IsHeld();
    if (m_picture.Take(pLatest)) {
        if (!wasHeld)
            m_nFramesToTrim = kFramesBeforeTrim;
        RedrawPicture();
        if (m_nFramesToTrim > 0 && --m_nFramesToTrim == 0)
            platform::TrimHeap();
    }
}

void CDShowWnd::ReleaseFrame() {
    m_picture.Release();
}

// A picture is converted as it is painted (CWnd::PaintPixels); without one the window is
// black.
void CDShowWnd::RedrawPicture() {
    if (m_picture.IsHeld()) {
        m_backBuffer.Destroy(); // nobody sees it meanwhile
    } else {
        const CRect client = GetClientRect();
        const int w = std::max(client.Width(), 1);
        const int h = std::max(client.Height(), 1);
        if (m_backBuffer.Width() != w || m_backBuffer.Height() != h) {
            m_backBuffer.CreateBlank(w, h);
            m_backBuffer.FillSolidRect(m_backBuffer.GetRect(), RGB(0, 0, 0));
        }
    }
    Invalidate();
}

LRESULT CDShowWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CGstGraph::WM_GRAPHNOTIFY:
        m_graph.PumpBus();
        return 0;
    case CGstGraph::WM_CLIPENDED:
        m_graph.OnClipEnded(wParam);
        return 0;
    case CGstGraph::WM_VIDEOFRAME:
        OnVideoFrame();
        return 0;
    case WM_SIZE:
        RedrawPicture();
        return 0;
    case WM_PAINT:
        return 0; // the back buffer holds the picture already
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
