#include "platform/Wnd.h"

#include "platform/DC.h"
#include "platform/Log.h"
#include "platform/MessageQueue.h"
#include "platform/WidgetHost.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <cstring>
#include <exception>

namespace {
HWND g_captureWnd = 0;

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Without a window manager nothing keeps a dialog above the window that opened it: whenever a
// player window is shown or raised, the open dialogs and message boxes go back on top of it.
void RaiseOpenDialogs(const QWidget* pRaised) {
    for (QWidget* pTop : QApplication::topLevelWidgets())
        if (pTop != pRaised && pTop->isVisible() && qobject_cast<QDialog*>(pTop))
            pTop->raise();
}
} // namespace

CWnd::~CWnd() {
    // A window destroyed with its object: no handler runs any more (the object is half gone).
    if (m_hWnd) {
        platform::CMessageQueue::Instance().UnregisterWindow(m_hWnd);
        m_hWnd = 0;
    }
    if (m_pWidget) {
        static_cast<CWidgetHost*>(m_pWidget)->Detach();
        delete m_pWidget;
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    return platform::CMessageQueue::Instance().FromHandle(hWnd);
}

bool CWnd::Register() {
    if (m_hWnd)
        return false;
    m_hWnd = platform::CMessageQueue::Instance().RegisterWindow(this);
    return true;
}

bool CWnd::CreateMessageWindow() {
    if (!Register())
        return false;
    SendMessage(WM_CREATE);
    return true;
}

bool CWnd::CreateTopLevel(const CRect& rect, const std::string& title) {
    if (!Register())
        return false;
    auto* host = new CWidgetHost(this, nullptr, Qt::Window | Qt::FramelessWindowHint);
    m_pWidget = host;
    host->setWindowTitle(QString::fromStdString(title));
    host->setGeometry(ToQRect(rect));
    SendMessage(WM_CREATE);
    return true;
}

bool CWnd::CreateChild(CWnd* pParent, const CRect& rect) {
    if (!pParent || !pParent->m_pWidget || !Register())
        return false;
    m_pParent = pParent;
    auto* host = new CWidgetHost(this, pParent->m_pWidget, Qt::Widget);
    m_pWidget = host;
    host->setGeometry(ToQRect(rect));
    host->show();
    SendMessage(WM_CREATE);
    return true;
}

bool CWnd::DestroyWindow() {
    if (!m_hWnd)
        return false;
    // Children go first, as their widgets go with this window's widget.
    if (m_pWidget)
        // CWidgetHost has no meta-object of its own, so the search finds every child widget
        // (dialogs too); only real hosts have an owner.
        for (QWidget* child : m_pWidget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (auto* host = dynamic_cast<CWidgetHost*>(child); host && host->Owner())
                host->Owner()->DestroyWindow();
    SendMessage(WM_DESTROY);
    if (g_captureWnd == m_hWnd)
        ReleaseCapture();
    platform::CMessageQueue::Instance().UnregisterWindow(m_hWnd);
    m_hWnd = 0;
    if (m_pWidget) {
        static_cast<CWidgetHost*>(m_pWidget)->Detach();
        m_pWidget->hide();
        m_pWidget->deleteLater(); // it may be inside one of its own event handlers
        m_pWidget = nullptr;
    }
    m_pParent = nullptr;
    PostNcDestroy();
    return true;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd)
        return 0;
    try {
        return WindowProc(message, wParam, lParam);
    } catch (const std::exception& e) {
        platform::LogVerbose(std::string("exception in a message handler swallowed: ") + e.what());
    } catch (...) {
        platform::LogVerbose("exception in a message handler swallowed");
    }
    return 0;
}

bool CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd && platform::CMessageQueue::Instance().Post(m_hWnd, message, wParam, lParam);
}

bool CWnd::SetTimer(std::uintptr_t id, UINT elapseMs) {
    if (!m_hWnd)
        return false;
    platform::CMessageQueue::Instance().SetTimer(m_hWnd, id, elapseMs);
    return true;
}

bool CWnd::KillTimer(std::uintptr_t id) {
    return m_hWnd && platform::CMessageQueue::Instance().KillTimer(m_hWnd, id);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE)
        DestroyWindow();
    return 0;
}

void CWnd::ShowWindow(int nCmdShow) {
    if (!m_pWidget)
        return;
    switch (nCmdShow) {
    case SW_HIDE:
        m_pWidget->hide();
        break;
    case SW_SHOWNA:
        m_pWidget->setAttribute(Qt::WA_ShowWithoutActivating, true);
        m_pWidget->show();
        m_pWidget->setAttribute(Qt::WA_ShowWithoutActivating, false);
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        m_pWidget->showMinimized();
        break;
    case SW_RESTORE:
        m_pWidget->showNormal();
        break;
    default:
        m_pWidget->show();
        break;
    }
    if (nCmdShow != SW_HIDE && nCmdShow != SW_MINIMIZE && nCmdShow != SW_SHOWMINIMIZED)
        RaiseOpenDialogs(m_pWidget);
}

bool CWnd::IsWindowVisible() const {
    return m_pWidget && m_pWidget->isVisible();
}
bool CWnd::IsIconic() const {
    return m_pWidget && m_pWidget->isMinimized();
}

void CWnd::MoveWindow(const CRect& rect) {
    if (m_pWidget)
        m_pWidget->setGeometry(ToQRect(rect));
}

CRect CWnd::GetWindowRect() const {
    if (!m_pWidget)
        return {};
    const QRect g = m_pWidget->geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

CRect CWnd::GetClientRect() const {
    if (!m_pWidget)
        return {};
    return {0, 0, m_pWidget->width(), m_pWidget->height()};
}

void CWnd::BringWindowToTop() {
    if (!m_pWidget)
        return;
    m_pWidget->raise();
    RaiseOpenDialogs(m_pWidget);
}

void CWnd::SetForegroundWindow() {
    if (!m_pWidget)
        return;
    m_pWidget->raise();
    m_pWidget->activateWindow();
    RaiseOpenDialogs(m_pWidget);
}

void CWnd::SetAlwaysOnTop(bool onTop) {
    if (!m_pWidget || IsAlwaysOnTop() == onTop)
        return;
    const bool visible = m_pWidget->isVisible();
    m_pWidget->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible) // changing a window flag hides the window
        ShowWindow(SW_SHOWNA);
}

bool CWnd::IsAlwaysOnTop() const {
    return m_pWidget && (m_pWidget->windowFlags() & Qt::WindowStaysOnTopHint);
}

void CWnd::SetCapture() {
    if (!m_pWidget || g_captureWnd == m_hWnd)
        return;
    ReleaseCapture();
    g_captureWnd = m_hWnd;
    m_pWidget->grabMouse();
}

void CWnd::ReleaseCapture() {
    if (!g_captureWnd)
        return;
    CWnd* pOld = FromHandle(g_captureWnd);
    g_captureWnd = 0;
    if (pOld && pOld->m_pWidget)
        pOld->m_pWidget->releaseMouse();
    if (pOld)
        pOld->SendMessage(WM_CAPTURECHANGED, 0, 0);
}

CWnd* CWnd::GetCapture() {
    return g_captureWnd ? FromHandle(g_captureWnd) : nullptr;
}

void CWnd::SetFocus() {
    if (m_pWidget)
        m_pWidget->setFocus(Qt::OtherFocusReason);
}

bool CWnd::HasFocus() const {
    return m_pWidget && m_pWidget->hasFocus();
}

void CWnd::SetWindowText(const std::string& text) {
    if (m_pWidget)
        m_pWidget->setWindowTitle(QString::fromStdString(text));
}

std::string CWnd::GetWindowText() const {
    return m_pWidget ? m_pWidget->windowTitle().toStdString() : std::string();
}

void CWnd::Invalidate() {
    if (m_pWidget)
        m_pWidget->update();
}

void CWnd::InvalidateRect(const CRect& rect) {
    if (m_pWidget)
        m_pWidget->update(ToQRect(rect));
}

void CWnd::UpdateWindow() {
    if (m_pWidget)
        m_pWidget->repaint();
}

void CWnd::SetCursorShape(CursorShape shape) {
    if (!m_pWidget)
        return;
    static const Qt::CursorShape kShapes[] = {
        Qt::ArrowCursor,   Qt::SizeHorCursor,      Qt::SizeVerCursor, Qt::SizeFDiagCursor,
        Qt::SizeAllCursor, Qt::PointingHandCursor, Qt::BlankCursor};
    m_pWidget->setCursor(kShapes[int(shape)]);
}

void CWnd::SetCursorImage(const CDC& image, CPoint hotSpot) {
    if (m_pWidget && !image.IsNull())
        m_pWidget->setCursor(QCursor(QPixmap::fromImage(image.Image()), hotSpot.x, hotSpot.y));
}

void CWnd::SetCursorPixels(const std::uint32_t* pPixels, int width, int height, CPoint hotSpot) {
    if (!m_pWidget || !pPixels || width <= 0 || height <= 0)
        return;
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), pPixels + std::size_t(y) * std::size_t(width),
                    std::size_t(width) * 4);
    m_pWidget->setCursor(QCursor(QPixmap::fromImage(image), hotSpot.x, hotSpot.y));
}

void CWnd::DragAcceptFiles(bool accept) {
    if (m_pWidget)
        m_pWidget->setAcceptDrops(accept);
}
