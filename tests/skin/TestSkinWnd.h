// A small skinned window for the tests: the playlist window's built-in frame, a load button
// at the bottom left, a close button at the top right, and a fixed desktop so snapping does
// not depend on the screen the tests run on.
#pragma once

#include "res/BuiltInSkinLayout.h"
#include "skin/BuiltInSkin.h"
#include "skin/MemButton.h"
#include "skin/SkinWnd.h"

#include <map>
#include <memory>
#include <vector>

namespace skintest {

class CTestSkinWnd : public SkinWnd {
public:
    static constexpr CRect kDesktop{0, 0, 1024, 768};

    explicit CTestSkinWnd(std::string name = "TestWnd") : m_strName(std::move(name)) {}

    // Loads the state, creates the window at its rectangle and applies the built-in skin.
    bool Create(const CRect& rect) {
        m_rcWindow = rect;
        if (!CreateSkinWindow(m_strName))
            return false;
        LoadBuiltInSkin();
        MoveWindow(rect);
        RefreshCachedRect();
        return true;
    }

    std::string WindowName() const override { return m_strName; }
    std::vector<CRect> GetScreenAreas() const override { return m_areas; }
    CRect GetDesktopRect() const override { return m_areas.front(); }
    bool UsesSystemMove() const override { return false; }
    bool TooltipsActive() override { return m_bTooltips; }
    bool IsResizable() override { return m_bResizable; }
    bool UsesBackgroundCache() override { return m_bCache; }

    void ReleaseImages() override {
        m_controls.clear();
        m_pFrame.reset();
        m_pWindowKeys.reset();
        m_pKeys.reset();
    }
    void LoadBuiltInImages() override {
        builtin::LoadBuiltInImage(m_pFrame, builtin::kPlaylistFrame);
        builtin::LoadBuiltInImage(m_pWindowKeys, builtin::kWindowButtons);
        builtin::LoadBuiltInImage(m_pKeys, builtin::kPlaylistButtons);
    }
    bool LoadSkinFiles(const std::string&) override { return false; }
    void InitControls() override {
        m_load.CreateFromLine(this, 5, m_pKeys.get(), builtin::kPlaylistControls[5].n.data());
        m_load.SetTooltipText("Load Clip(s) or Playlist");
        m_close.CreateFromLine(this, 4, m_pWindowKeys.get(),
                               builtin::kPlaylistControls[3].n.data());
        m_close.SetTooltipText("Close Window");
        m_close.SetDimsWhenInactive(false);
        m_controls = {&m_close, &m_load};
    }
    void LayoutForShade() override { m_load.SetVisible(false); }
    void LayoutForExpanded() override { m_load.SetVisible(true); }
    bool GetFramePiece(int nIndex, CSkinImage*& pImage, int& sx, int& sy, int& cx,
                       int& cy) override {
        const builtin::FramePiece& p = builtin::kPlaylistPieces[std::size_t(nIndex)];
        pImage = m_pFrame.get();
        sx = p.x, sy = p.y, cx = p.cx, cy = p.cy;
        return true;
    }

    std::map<const CMemCtrl*, int> m_clicks; // the controls' click notifications
    int m_nUpdates = 0;
    bool m_bTooltips = true;
    bool m_bResizable = true;
    bool m_bCache = false;
    std::vector<CRect> m_areas{kDesktop};
    CMemButton m_load;
    CMemButton m_close;
    std::unique_ptr<CSkinImage> m_pFrame;
    std::unique_ptr<CSkinImage> m_pWindowKeys;
    std::unique_ptr<CSkinImage> m_pKeys;

    // Mouse messages as the widget sends them (client coordinates); a drag is one move.
    void Mouse(UINT message, int x, int y) { SendMessage(message, 0, MAKELPARAM(x, y)); }
    void DragBy(int x, int y, int dx, int dy) {
        Mouse(WM_LBUTTONDOWN, x, y);
        Mouse(WM_MOUSEMOVE, x + dx, y + dy);
        Mouse(WM_LBUTTONUP, x + dx, y + dy);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_REG_MEMCTRL) {
            m_clicks[reinterpret_cast<CMemCtrl*>(lParam)] += wParam == MEMCTRL_CLICK;
            m_nUpdates += wParam == MEMCTRL_UPDATE;
            return 0;
        }
        return SkinWnd::WindowProc(message, wParam, lParam);
    }

private:
    std::string m_strName;
};

} // namespace skintest
