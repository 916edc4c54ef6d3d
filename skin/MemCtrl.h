// Window-less skin controls: rectangles of a skin image drawn into their parent window, which
// routes mouse input to them. A control reports what the user did by posting WM_REG_MEMCTRL
// (and the slider and list messages) to its parent.
#pragma once

#include "platform/Wnd.h"

#include <memory>
#include <string>

class CDC;
class CMemCtrl;
class CSkinImage;
class CSkinCursor;

// Implemented by windows that own controls: redraws one control at once and updates the
// window.
class IMemCtrlHost {
public:
    virtual void RedrawControl(CMemCtrl* pCtrl, bool bErase) = 0;

protected:
    ~IMemCtrlHost() = default;
};

// WM_REG_MEMCTRL notification codes (wParam).
enum MemCtrlCode : WPARAM {
    MEMCTRL_CLICK = 1,
    MEMCTRL_LDOWN = 2,
    MEMCTRL_LUP = 3,
    MEMCTRL_RCLICK = 5,
    MEMCTRL_RDOWN = 6,
    MEMCTRL_RUP = 7,
    MEMCTRL_UPDATE = 8,
};

// A source point in a skin image; -1, -1 means not given.
struct SkinPoint {
    int x = -1;
    int y = -1;
    bool IsSet() const { return !(x == -1 && y == -1); }
    bool operator==(const SkinPoint&) const = default;
};

class CMemCtrl : public CCmdTarget {
public:
    CMemCtrl() = default;
    ~CMemCtrl() override;
    CMemCtrl(const CMemCtrl&) = delete;
    CMemCtrl& operator=(const CMemCtrl&) = delete;

    void Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                SkinPoint normal, SkinPoint inactive, SkinPoint hover);

    virtual void Draw(CDC& dc);
    virtual bool HitTest(CPoint pt) const;
    virtual void OnLButtonDown(UINT nFlags, CPoint pt);
    virtual void OnLButtonUp(UINT nFlags, CPoint pt);
    virtual void OnRButtonDown(UINT nFlags, CPoint pt);
    virtual void OnRButtonUp(UINT nFlags, CPoint pt);
    virtual void OnMouseMove(UINT nFlags, CPoint pt);
    virtual bool OnMouseWheel(UINT nFlags, int nDelta, CPoint pt);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint pt);
    virtual void OnRButtonDblClk(UINT nFlags, CPoint pt);
    virtual void Cancel();
    virtual void SetPosition(int x, int y); // -1 keeps a coordinate
    virtual void SetSize(int cx, int cy);   // -1 keeps a dimension
    // The rectangle the control shows (a slider's thumb); GetCtrlRect is the whole control.
    virtual CRect GetRect() const;
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual bool IsHot() const;
    virtual bool UseHoverImage() const;
    virtual SkinPoint GetHoverSource() const;

    // Asks the parent to redraw this control at once.
    void Invalidate();
    CRect GetCtrlRect() const { return {m_x, m_y, m_x + m_cx, m_y + m_cy}; }

    void SetEnabled(bool b) { m_bEnabled = b; }
    bool IsEnabled() const { return m_bEnabled; }
    void SetDimsWhenInactive(bool b) { m_bDimsWhenInactive = b; }
    bool DimsWhenInactive() const { return m_bDimsWhenInactive; }
    void SetVisible(bool b) { m_bVisible = b; }
    bool IsVisible() const { return m_bVisible; }
    void SetWindowInactive(bool b) { m_bWindowInactive = b; }
    bool IsWindowInactive() const { return m_bWindowInactive; }
    void SetCursor(std::shared_ptr<CSkinCursor> p) { m_pCursor = std::move(p); }
    const std::shared_ptr<CSkinCursor>& GetCursor() const { return m_pCursor; }
    void SetTooltipText(const std::string& s) { m_strTooltip = s; }
    const std::string& GetTooltipText() const { return m_strTooltip; }
    int GetRightOffset() const { return m_nRightOffset; }
    int GetBottomOffset() const { return m_nBottomOffset; }
    UINT GetID() const { return m_nID; }
    CWnd* GetParent() const { return m_pParent; }
    bool IsLeftPressed() const { return m_bLPressed; }
    bool IsRightPressed() const { return m_bRPressed; }

    // The control that last got a button-down (cleared on release or cancel) and the control
    // under the mouse; one of each for the whole program.
    static CMemCtrl* GetCapturedControl() { return s_pCaptured; }
    static CMemCtrl* GetHotControl() { return s_pHot; }
    static void SetHotControl(CMemCtrl* p) { s_pHot = p; }

protected:
    // Posts a message to the parent; nothing without a parent.
    void PostToParent(UINT message, WPARAM wParam, LPARAM lParam) const;
    void PostCode(WPARAM code) const;
    // A button goes down on the control / comes up after going down on it (a click).
    void Press(bool& bPressed, WPARAM code);
    void Release(bool& bPressed, WPARAM upCode, WPARAM clickCode);
    // Copies m_cx × m_cy from the image at src to the control's place.
    void CopyFromImage(CDC& dc, SkinPoint src) const;

    CSkinImage* m_pImage = nullptr;
    CWnd* m_pParent = nullptr;
    UINT m_nID = 0;
    int m_x = 0;
    int m_y = 0;
    int m_cx = 0;
    int m_cy = 0;
    SkinPoint m_normal;
    SkinPoint m_inactive;
    SkinPoint m_hover;
    int m_nRightOffset = 0;
    int m_nBottomOffset = 0;
    bool m_bWindowInactive = false;
    bool m_bEnabled = true;
    bool m_bDimsWhenInactive = true;
    bool m_bLPressed = false;
    bool m_bRPressed = false;
    bool m_bVisible = true;
    std::shared_ptr<CSkinCursor> m_pCursor;
    std::string m_strTooltip;

private:
    static CMemCtrl* s_pCaptured;
    static CMemCtrl* s_pHot;
};

// Reads source pair i (0-based, after x, y, width, height) of a control line.
inline SkinPoint LinePoint(const int* n, int i) {
    return {n[4 + 2 * i], n[5 + 2 * i]};
}
