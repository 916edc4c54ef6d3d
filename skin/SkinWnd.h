// The skinned window base of the three player windows: it owns a list of skin controls, paints
// itself from skin pieces through a back buffer (and optionally a background cache), routes
// mouse input to its controls, shows their cursors and tooltips, rolls up into a shade bar
// and back, zooms to the whole screen, and saves and restores its place and mode.
//
// A window derives from it and supplies its images and controls: Release images, Load
// built-in images, Init controls, Load skin files, and the two layouts.
#pragma once

#include "skin/MemCtrl.h"
#include "skin/SkinCursor.h"
#include "skin/SkinImage.h"
#include "skin/SkinLoader.h"
#include "skin/SnapWnd.h"

#include <memory>
#include <string>
#include <vector>

class CArchive;

// Frame piece numbers of Paint frame.
enum FramePieceIndex : int {
    PIECE_TOP_LEFT = 0,
    PIECE_TOP_CENTRE = 1,
    PIECE_TOP_EDGE = 2,
    PIECE_TOP_RIGHT = 3,
    PIECE_INACTIVE_OFFSET = 4, // the inactive top pieces follow the active ones
    PIECE_BOTTOM_LEFT = 8,
    PIECE_BOTTOM_RIGHT = 9,
    PIECE_BOTTOM_EDGE = 10,
    PIECE_LEFT_EDGE = 11,
    PIECE_RIGHT_EDGE = 12,
    PIECE_SHADE_LEFT = 13,
    PIECE_SHADE_CENTRE = 14,
    PIECE_SHADE_BAR = 15,
    PIECE_SHADE_RIGHT = 16,
    PIECE_BODY = 21,
};

class SkinWnd : public CSnapWnd, public ISkinnedWindow, public IMemCtrlHost {
public:
    SkinWnd() = default;
    ~SkinWnd() override;

    // Creates the borderless window at the cached rectangle (Load state fills it).
    bool CreateSkinWindow(const std::string& strTitle);

    bool LoadSkin(const std::string& strFolder) override;
    void LoadBuiltInSkin() override;
    // 0 skin from files, 1 built-in.
    virtual void SkinApplied(int /*nKind*/) {}
    virtual CMemCtrl* ControlAt(CPoint pt);
    virtual bool HitTestControls(CPoint pt, CMemCtrl*& pCtrl);
    virtual bool PointInClient(CPoint pt);
    virtual std::string WindowName() const { return "SkinWnd"; }
    virtual void LoadState();
    // The last LoadState found a saved state (false at the first start).
    bool HasSavedState() const { return m_bStateLoaded; }
    virtual bool SaveState(); // false when the state could not be stored
    // Asks the window (WM_REG_MEMCTRL code 8) to refresh every visible control, then repaints.
    virtual void UpdateControls();
    void RedrawControl(CMemCtrl* pCtrl, bool bErase) override;
    virtual void ActivateTooltips();
    virtual void ReleaseImages() = 0;
    virtual void LoadBuiltInImages() = 0;
    virtual void InitControls() = 0;
    virtual bool LoadSkinFiles(const std::string& strFolder) = 0;
    virtual void LayoutForShade() = 0;
    virtual void LayoutForExpanded() = 0;
    virtual void PaintBackground(CDC& /*dc*/) {}
    virtual void PaintFrame(CDC& dc, bool bExclude);
    virtual void PaintControls(CDC& dc);
    // A frame piece: its image and source rectangle; false when the window has none.
    virtual bool GetFramePiece(int /*nIndex*/, CSkinImage*& /*pImage*/, int& /*sx*/, int& /*sy*/,
                               int& /*cx*/, int& /*cy*/) {
        return false;
    }
    virtual void UpdateToolRects();
    virtual void SetActive(bool bActive);
    virtual bool IsGripControl(CMemCtrl* /*pCtrl*/) { return false; }
    virtual void EnforceMinimumSize();
    virtual std::shared_ptr<CSkinCursor> CursorForWindowArea(CPoint pt);
    virtual std::shared_ptr<CSkinCursor> DefaultCursor();
    virtual std::shared_ptr<CSkinCursor> CursorForControl(CMemCtrl* pCtrl);
    virtual CRect WindowRectangle() { return m_rcWindow; }
    virtual bool UsesBackgroundCache() { return false; }
    virtual bool TooltipsActive() { return false; }
    virtual bool PaintsDirectly() { return m_bResizing; }
    // Moves the windows stacked below this one by dy (they follow a height change).
    virtual void MoveWindowsBelow(int dy);
    virtual void ZoomChanged(bool /*bZoomed*/) {}
    virtual CRect DefaultRect() { return {0, 0, 312, m_nExpandedHeight}; }

    bool HitTestResizeEdge(CPoint pt, int& nKind) override;
    bool CanResize(int nKind) override;
    bool CanMove() override { return !m_bZoomed; }
    bool MovesWithGroup() override { return !m_bZoomed; }

    // Services to the windows and controls.
    void ToggleShade();
    void SetZoomed(bool bZoomed);
    // The saved-state record: left, top, right, bottom, the stored value, shaded, expanded
    // height (little-endian 32-bit integers). A window that saves more extends it.
    virtual void SerializeState(CArchive& ar);

    bool IsShaded() const { return m_bShaded; }
    bool IsZoomed() const { return m_bZoomed; }
    bool IsActiveLook() const { return m_bActive; }
    bool IsSkinFromFiles() const { return m_bSkinFromFiles; }
    int GetShadeHeight() const { return m_nShadeHeight; }
    int GetExpandedHeight() const { return m_nExpandedHeight; }
    const std::vector<CMemCtrl*>& GetControls() const { return m_controls; }
    const CSkinImage* GetBuffer() const { return m_pBuffer.get(); }
    const CSkinImage* GetCache() const { return m_pCache.get(); }
    CMemCtrl* GetPressedControl() const { return m_pPressed; }
    // The tooltip shown for the control under the mouse; empty when none or switched off.
    const std::string& GetCurrentTooltip() const { return m_strTooltip; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Creates the buffers for the client size when it changed (or when forced) and repaints.
    void RebuildBuffers(bool bForce = false);
    // Composes background, frame and controls into the back buffer.
    void RepaintBuffer();
    // Repaints the buffer and shows it.
    void Repaint();
    // Lets the back buffer go while the window's picture stays on the screen; the next paint
    // or control redraw composes it again.
    void ReleaseBuffer();
    // Puts the controls placed from the right or bottom edge at their place for the size.
    void PlaceControls();

    void OnLButtonDown(UINT nFlags, CPoint pt);
    void OnLButtonUp(UINT nFlags, CPoint pt);
    void OnRButtonDown(UINT nFlags, CPoint pt);
    void OnRButtonUp(UINT nFlags, CPoint pt);
    void OnMouseMove(UINT nFlags, CPoint pt);
    void OnMouseWheel(UINT nFlags, int nDelta, CPoint ptScreen);
    void OnSetCursor();

    std::vector<CMemCtrl*> m_controls;
    int m_nStored = 1;
    bool m_bShaded = false;
    bool m_bStateLoaded = false;
    int m_nShadeHeight = 18;
    int m_nExpandedHeight = 118;
    CMemCtrl* m_pPressed = nullptr;
    std::unique_ptr<CSkinImage> m_pCache;
    std::unique_ptr<CSkinImage> m_pBuffer;
    bool m_bZoomed = false;
    CRect m_rcBeforeZoom;
    bool m_bLButtonDown = false;
    bool m_bRButtonDown = false;
    bool m_bSkinFromFiles = false;

private:
    struct Tool {
        CRect rect;
        UINT nID;
        std::string strText;
    };

    void FinishSkin();
    // Ends a drag or resize (on release or double click).
    void EndDrag(bool bDoubleClick);
    void PaintDirect();
    void RestoreBuffer();
    void MakeBuffer(const CRect& client); // a blank back buffer of the client's size, in use
    void SetHot(CMemCtrl* pCtrl);
    // Ends a press over pt: a click when released over the pressed control, else a cancel.
    void ReleaseOver(CPoint pt, bool bLeft, UINT nFlags);
    void UpdateTooltip(CPoint pt);
    bool PieceSize(int nIndex, CSize& size);
    // Draws a piece at (x, y); with bExclude its rectangle is then clipped out.
    void DrawPiece(CDC& dc, int nIndex, int x, int y, bool bExclude);
    void TilePiece(CDC& dc, int nIndex, int x, int y, bool bHorizontal, int nLimit, bool bExclude);
    void PaintTopRow(CDC& dc, int nLeft, int nCentre, int nEdge, int nRight, bool bExclude);
    void PaintSidesAndBody(CDC& dc, bool bExclude);

    bool m_bActive = true;
    bool m_bTooltipsOn = false;
    bool m_bBufferReleased = false; // let go under a picture, composed again on use
    std::vector<Tool> m_tools;
    std::string m_strTooltip;
    std::unique_ptr<CCursorPlayer> m_pCursorPlayer;
};
