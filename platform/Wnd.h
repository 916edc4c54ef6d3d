// Window objects. A CWnd has one message handler (WindowProc); SendMessage calls it at once,
// PostMessage queues the message. A window can be a message window (no screen presence: timers
// and messages only), a borderless top-level window, or a child window; the on-screen kinds are
// backed by a widget that forwards every event as a message.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

class QWidget;
class CDC;

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
};

enum ShowCommand : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_SHOWNA = 8, // show without activating
    SW_RESTORE = 9,
};

// Pixels a window paints straight into: 32 bits each, bytes B, G, R, A (A opaque), top row first.
struct CPixelArea {
    std::uint8_t* pBits = nullptr; // the top-left pixel
    int nStride = 0;               // bytes from one row to the next
    int nWidth = 0;
    int nHeight = 0;
};

enum class CursorShape { Arrow, SizeHorizontal, SizeVertical, SizeDiagonal, Move, Hand, Hidden };

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = 0;
    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hWnd);

    bool CreateMessageWindow();
    // Borderless top-level window at rect (screen coordinates); hidden until shown.
    bool CreateTopLevel(const CRect& rect, const std::string& title);
    // Child window at rect in the parent's client coordinates; visible with its parent.
    bool CreateChild(CWnd* pParent, const CRect& rect);
    bool DestroyWindow();
    bool IsWindow() const { return m_hWnd != 0; }

    // Runs the handler now; an exception escaping it is swallowed and the result is 0.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool SetTimer(std::uintptr_t id, UINT elapseMs);
    bool KillTimer(std::uintptr_t id);

    // On-screen operations; they do nothing for message windows.
    void ShowWindow(int nCmdShow);
    bool IsWindowVisible() const;
    bool IsIconic() const;
    // Moves and sizes without activating the window or changing its place in the z-order.
    void MoveWindow(const CRect& rect);
    CRect GetWindowRect() const; // screen coordinates (child: parent client coordinates)
    CRect GetClientRect() const; // origin 0,0
    void BringWindowToTop();
    void SetForegroundWindow();
    void SetAlwaysOnTop(bool onTop);
    bool IsAlwaysOnTop() const;
    void SetCapture();
    static void ReleaseCapture();
    static CWnd* GetCapture();
    void SetFocus();
    bool HasFocus() const;
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void Invalidate();
    void InvalidateRect(const CRect& rect);
    void UpdateWindow();
    void SetCursorShape(CursorShape shape);
    // A cursor drawn from an image with its hot spot (skinned cursors).
    void SetCursorImage(const CDC& image, CPoint hotSpot);
    // A cursor with transparency from 0xAARRGGBB pixels, top row first (skin cursor files).
    void SetCursorPixels(const std::uint32_t* pPixels, int width, int height, CPoint hotSpot);
    void DragAcceptFiles(bool accept);
    CWnd* GetParent() const { return m_pParent; }
    // The surface the window shows; painting copies it (scaled by the screen's whole factor).
    void SetBackBuffer(const CDC* pSurface) { m_pBackBuffer = pSurface; }
    const CDC* GetBackBuffer() const { return m_pBackBuffer; }
    // A window with a picture of its own (a size here) paints it, unscaled, into an area of
    // that size: straight into the screen's pixels where the window shows it at that size,
    // otherwise into an image the widget scales (smoothly) to the window. Not painted (false),
    // or without a picture, the window shows its back buffer.
    virtual CSize GetOwnPictureSize() const { return {}; }
    virtual bool PaintPixels(const CPixelArea&) { return false; }
    QWidget* GetWidget() const { return m_pWidget; }

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling: WM_CLOSE destroys the window; everything else returns 0.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called when the window has been destroyed (self-owned windows delete themselves here).
    virtual void PostNcDestroy() {}

private:
    bool Register();

    QWidget* m_pWidget = nullptr;
    CWnd* m_pParent = nullptr;
    const CDC* m_pBackBuffer = nullptr;
};

// Files dropped on a window arrive as WM_DROPFILES with wParam pointing at this list
// (local paths, in the order given), valid during the call.
using DroppedFiles = std::vector<std::string>;
