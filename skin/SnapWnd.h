// A borderless window dragged by its body: it snaps to the edges of the screen it is on and to
// the other registered windows, carries its docked windows along when it leads a group, can
// be resized in fixed steps from its right edge, bottom edge or corner, and puts the
// registered windows back on screen after a size change. The arithmetic is in SnapGeometry.
#pragma once

#include "platform/Wnd.h"

#include <vector>

// One window of the process-wide snap registry.
struct SnapRecord {
    HWND hWnd = 0;
    int nLeader = 0; // 1 for the main window
    int nValue = 10;
};

// Resize edge kinds.
enum ResizeEdge : int { RESIZE_NONE = 0, RESIZE_RIGHT = 1, RESIZE_BOTTOM = 2, RESIZE_CORNER = 3 };

class CSnapWnd : public CWnd {
public:
    CSnapWnd() = default;
    ~CSnapWnd() override;

    static void RegisterWindow(HWND hWnd, int nLeader, int nValue = 10);
    static void UnregisterWindow(HWND hWnd);
    static void UnregisterAll();
    static const std::vector<SnapRecord>& GetRegistry();
    static CSnapWnd* FromSnapHandle(HWND hWnd);
    // Moves every registered window back inside the screen area it is on.
    static void RearrangeAllWindows();

    virtual void MoveBy(int dx, int dy);
    virtual void MoveGroupBy(int dx, int dy);
    // Adjusts a proposed window rectangle (size kept); true when it changed.
    virtual bool SnapRect(CRect& r);
    virtual void ResizeToward(CPoint pt);
    virtual bool HitTestResizeEdge(CPoint pt, int& nKind);
    virtual CSize GetMinimumSize() { return {312, 118}; }
    // Moves the group when this window leads one, else itself alone.
    virtual void Move(int dx, int dy);
    virtual void BeginResize() {}
    virtual void EndResize() {}
    virtual bool CanResize(int /*nKind*/) { return true; }
    virtual bool IsResizable() { return true; }
    virtual bool SnapToScreen() { return true; }
    virtual bool SnapToWindows() { return true; }
    virtual bool CanMove() { return true; }
    virtual int ScreenSnapDistance() { return 12; }
    virtual int WindowSnapDistance() { return 10; }
    virtual bool MovesWithGroup() { return true; }

    // The available areas of the monitors (where windows snap and are kept), and the whole
    // screen the window is on (zoom).
    virtual std::vector<CRect> GetScreenAreas() const;
    // The primary screen's available area; empty without a screen.
    virtual CRect GetPrimaryScreenArea() const;
    virtual CRect GetDesktopRect() const;
    // The windowing system moves windows itself and tells nobody where they are (Wayland
    // without X): dragging is handed to it, snapping and docking are off.
    virtual bool UsesSystemMove() const;

    // Fills every visible registered window's touching list, and a leader's with its group.
    void ComputeGroups();
    // Brings this window's docked group back inside a screen's area as one, when it fits.
    void RearrangeGroup();
    const std::vector<HWND>& GetTouching() const { return m_touching; }
    bool IsLeader() const;
    bool IsDragging() const { return m_bDragging; }
    bool IsResizing() const { return m_bResizing; }
    int GetResizeKind() const { return m_nResizeKind; }
    int GetResizeStep() const { return m_nResizeStep; }
    const CRect& GetCachedRect() const { return m_rcWindow; }
    void RefreshCachedRect() { m_rcWindow = GetWindowRect(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The drag logic of the mouse messages (client coordinates).
    void DragButtonDown(CPoint pt);
    void DragMouseMove(CPoint pt);
    void DragButtonUp();
    void DragDoubleClick();
    // Starts a resize of the given kind from pt.
    void StartResize(int nKind, CPoint pt);
    // Sets the size keeping the top-left corner, and refreshes the cached rectangle.
    void SetWindowSize(int cx, int cy);

    CPoint m_ptAnchor;
    CRect m_rcWindow;
    bool m_bDragging = false;
    bool m_bResizing = false;
    int m_nResizeStep = 20;
    int m_nGripWidth = 6;
    int m_nResizeKind = RESIZE_NONE;
    std::vector<HWND> m_touching;
};
