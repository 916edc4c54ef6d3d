// The skinned window base on real (offscreen) windows: the test window has the playlist's frame,
// a load and a close button, and a fixed desktop so that snapping does not depend on the screen.
#include "skin/SkinWnd.h"
#include "core/RegObjectStore.h"
#include "platform/Clock.h"
#include "platform/RegisteredMessages.h"
#include "res/BuiltInSkinLayout.h"
#include "skin/BuiltInSkin.h"
#include "skin/MemButton.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/ScratchFolder.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

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
    std::vector<CRect> GetScreenAreas() const override { return {kDesktop}; }
    CRect GetDesktopRect() const override { return kDesktop; }
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
    bool m_bTooltips = true, m_bResizable = true, m_bCache = false;
    CMemButton m_load, m_close;
    std::unique_ptr<CSkinImage> m_pFrame, m_pWindowKeys, m_pKeys;

    COLORREF Shown(int x, int y) const { return GetBuffer()->GetPixel(x, y); }
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

CRect At(int x, int y, int w = 312, int h = 118) {
    return {x, y, x + w, y + h};
}

std::string Ints(std::initializer_list<std::int32_t> values) { // as the host stores them
    return {reinterpret_cast<const char*>(values.begin()), values.size() * 4};
}

class SkinWndTest : public ::testing::Test {
protected:
    CTestSkinWnd& Make(const CRect& rect, int nLeader = 0, const std::string& name = "TestWnd") {
        CTestSkinWnd& w = *m_windows.emplace_back(std::make_unique<CTestSkinWnd>(name));
        EXPECT_TRUE(w.Create(rect));
        CSnapWnd::RegisterWindow(w.m_hWnd, nLeader);
        w.ShowWindow(SW_SHOWNA);
        return w;
    }

    platform::CVirtualClock m_clock;
    testsupport::ScratchFolder m_temp;
    testsupport::CPlayerWindowWorldGuard m_world{nullptr, m_temp.Path() + "/corvella"};
    std::vector<std::unique_ptr<CTestSkinWnd>> m_windows;
};

// The snapping arithmetic is SnapGeometry's; these check that drags, zoom and rearranging use it.
TEST_F(SkinWndTest, ZoomAndDragsSnapToTheScreenAndRearrangingBringsEveryWindowBackOnIt) {
    CTestSkinWnd& w = Make(At(100, 100));
    w.SetZoomed(true);
    EXPECT_EQ(w.GetWindowRect(), CTestSkinWnd::kDesktop);
    w.DragBy(150, 8, 30, 30);
    EXPECT_EQ(w.GetWindowRect(), CTestSkinWnd::kDesktop);
    w.SetZoomed(true); // a second zoom keeps the place to return to
    w.SetZoomed(false);
    EXPECT_EQ(w.GetWindowRect(), At(100, 100));
    w.DragBy(150, 8, -89, 0); // the left edge would land 11 pixels from the screen's
    EXPECT_EQ(w.GetWindowRect(), At(0, 100));
    w.DragBy(150, 8, -50, -120);
    // A docked group past the bottom comes back as one, the playlist still below the main window.
    CTestSkinWnd& playlist = Make(At(500, 760, 312, 200), 0, "PlayListWnd");
    CTestSkinWnd& main = Make(At(500, 642), 1, "MainWnd");
    w.PostMessage(WM_REG_REARRANGEALLWINDOWS);
    m_clock.Pump();
    EXPECT_EQ(w.GetWindowRect(), At(0, 0));
    EXPECT_EQ(main.GetWindowRect(), At(500, 768 - 318));
    EXPECT_EQ(playlist.GetWindowRect(), At(500, 768 - 200, 312, 200));
}

TEST_F(SkinWndTest, ADockedWindowFollowsTheLeaderButNotTheOtherWayRound) {
    CTestSkinWnd& playlist = Make(At(600, 500, 312, 200), 0, "PlayListWnd");
    CTestSkinWnd& main = Make(At(200, 200), 1, "MainWnd");
    // The playlist snaps to the main window's bottom edge from 8 pixels away, left-aligned.
    playlist.DragBy(150, 8, 200 + 6 - 600, 318 + 8 - 500);
    EXPECT_EQ(playlist.GetWindowRect(), At(200, 318, 312, 200));
    main.DragBy(150, 8, 50, 40);
    EXPECT_EQ(main.GetWindowRect(), At(250, 240));
    EXPECT_EQ(playlist.GetWindowRect(), At(250, 358, 312, 200));
    main.ToggleShade(); // pulls the docked playlist up and back
    EXPECT_EQ(playlist.GetWindowRect(), At(250, 258, 312, 200));
    main.ToggleShade();
    playlist.DragBy(150, 8, 100, 100);
    EXPECT_EQ(playlist.GetWindowRect(), At(350, 458, 312, 200));
    EXPECT_EQ(main.GetWindowRect(), At(250, 240));
    // Moving the main window 5 pixels is not pulled back by the playlist it carries.
    playlist.DragBy(150, 8, -100, -100);
    main.DragBy(150, 8, 5, 0);
    EXPECT_EQ(main.GetWindowRect(), At(255, 240));
    EXPECT_EQ(playlist.GetWindowRect(), At(255, 358, 312, 200));
    playlist.ShowWindow(SW_HIDE); // a hidden window neither snaps nor follows
    main.DragBy(150, 8, 5, 0);
    EXPECT_EQ(playlist.GetWindowRect(), At(255, 358, 312, 200));
}

TEST_F(SkinWndTest, ResizingStepsWithCursorsAtTheEdgesAndPaintsDirectlyOverTheCache) {
    CTestSkinWnd& w = Make(At(100, 100));
    builtin::LoadBuiltInCursors();
    // The body, the right and the bottom edge, the corner: x, y and the cursor's slot.
    for (const auto& [x, y, slot] :
         {std::array{150, 50, 0}, {310, 50, 1}, {150, 116, 2}, {305, 110, 4}})
        EXPECT_EQ(w.CursorForWindowArea({x, y}), CSkinCursors::Get(slot)) << slot;
    EXPECT_EQ(w.CursorForControl(&w.m_load), CSkinCursors::Get(5));
    w.m_load.SetCursor(CSkinCursors::Get(3));
    EXPECT_EQ(w.CursorForControl(&w.m_load), CSkinCursors::Get(3));

    w.Mouse(WM_LBUTTONDOWN, 309, 50); // the right edge
    w.Mouse(WM_MOUSEMOVE, 309 + 35, 50);
    EXPECT_EQ(w.GetWindowRect().Width(), 332);
    w.Mouse(WM_MOUSEMOVE, 0, 50); // back to the smallest width
    w.Mouse(WM_LBUTTONUP, 0, 50);
    EXPECT_FALSE(w.IsResizing());
    // With a background cache the window paints directly while resizing.
    w.m_bCache = true;
    w.LoadBuiltInSkin();
    w.Mouse(WM_LBUTTONDOWN, 305, 110);
    EXPECT_TRUE(w.PaintsDirectly());
    w.Mouse(WM_MOUSEMOVE, 305 + 40, 110 + 40);
    w.SendMessage(WM_PAINT);
    EXPECT_EQ(w.GetWindowRect(), At(100, 100, 332, 138)) << "the corner grows both ways";
    EXPECT_EQ(w.GetCache()->GetWidth(), 312); // not rebuilt for every step
    const auto& br = builtin::kPlaylistPieces[PIECE_BOTTOM_RIGHT];
    EXPECT_EQ(w.Shown(331, 137), w.m_pFrame->GetPixel(br.x + br.cx - 1, br.y + br.cy - 1));
    EXPECT_EQ(w.m_load.GetCtrlRect().top, 138 - 24) << "placed from the bottom edge";
    w.Mouse(WM_LBUTTONUP, 305 + 40, 110 + 40);
    EXPECT_FALSE(w.PaintsDirectly());
    EXPECT_EQ(w.GetCache()->GetHeight(), 138);

    w.ToggleShade();
    EXPECT_FALSE(w.CanResize(RESIZE_BOTTOM));
    EXPECT_TRUE(w.CanResize(RESIZE_RIGHT));
    w.ToggleShade();
    int kind = 0;
    EXPECT_TRUE(w.HitTestResizeEdge({330, 50}, kind));
    w.m_bResizable = false;
    EXPECT_FALSE(w.HitTestResizeEdge({330, 50}, kind));
}

TEST_F(SkinWndTest, OnlyAReleaseOverThePressedButtonClicksItAndTheHoverFollowsThePointer) {
    CTestSkinWnd& w = Make(At(100, 100));
    // Released over the background, over another control, then over the pressed one.
    const std::pair<CPoint, int> releases[] = {{{150, 50}, 0}, {{300, 8}, 0}, {{20, 101}, 1}};
    for (const auto& [pt, clicks] : releases) {
        w.Mouse(WM_LBUTTONDOWN, 15, 100);
        EXPECT_EQ(w.GetPressedControl(), &w.m_load);
        w.Mouse(WM_LBUTTONUP, pt.x, pt.y);
        m_clock.Pump();
        EXPECT_FALSE(w.m_load.IsLeftPressed());
        EXPECT_EQ(w.GetPressedControl(), nullptr);
        EXPECT_EQ(w.m_clicks[&w.m_load], clicks) << pt.x;
        EXPECT_EQ(w.m_clicks[&w.m_close], 0);
    }
    EXPECT_FALSE(w.IsDragging());

    // The hot control, its hover image and the tooltip follow the pointer.
    w.Mouse(WM_MOUSEMOVE, 15, 100);
    EXPECT_EQ(CMemCtrl::GetHotControl(), &w.m_load);
    EXPECT_EQ(w.Shown(15, 100), w.m_pKeys->GetPixel(63 + 3, 6)) << "the hover image at once";
    EXPECT_EQ(w.GetCurrentTooltip(), "Load Clip(s) or Playlist");
    w.Mouse(WM_MOUSEMOVE, 300, 8);
    EXPECT_EQ(w.GetCurrentTooltip(), "Close Window");
    w.Mouse(WM_MOUSEMOVE, 150, 50);
    EXPECT_EQ(CMemCtrl::GetHotControl(), nullptr);
    EXPECT_EQ(w.GetCurrentTooltip(), "");
    w.Mouse(WM_MOUSEMOVE, 15, 100);
    w.Mouse(WM_MOUSEMOVE, -5, -5); // leaving the window
    EXPECT_EQ(CMemCtrl::GetHotControl(), nullptr);
    const int updates = w.m_nUpdates;
    w.ToggleShade(); // updates once, with the load button hidden
    EXPECT_EQ(w.m_nUpdates, updates + 1);
    w.ToggleShade();
    w.m_bTooltips = false;
    w.LoadBuiltInSkin();
    w.Mouse(WM_MOUSEMOVE, 15, 100);
    EXPECT_EQ(w.GetCurrentTooltip(), "");
}

TEST_F(SkinWndTest, TheFrameIsComposedFromItsPiecesAndDimsWhenInactive) {
    CTestSkinWnd& w = Make(At(100, 100, 452, 238));
    const auto& p = builtin::kPlaylistPieces;
    auto piece = [&](int i, int dx, int dy) {
        return w.m_pFrame->GetPixel(p[std::size_t(i)].x + dx, p[std::size_t(i)].y + dy);
    };
    const int width = 452, height = 238;
    EXPECT_EQ(w.Shown(width - 1, height - 1), piece(PIECE_BOTTOM_RIGHT, 49, p[9].cy - 1));
    EXPECT_EQ(w.Shown((width - 100) / 2 + 50, 9), piece(PIECE_TOP_CENTRE, 50, 9));
    EXPECT_EQ(w.Shown(3, 100), piece(PIECE_LEFT_EDGE, 3, 0));
    EXPECT_EQ(w.Shown(width - 24 + 12, 100), piece(PIECE_RIGHT_EDGE, 12, 0));
    EXPECT_EQ(w.Shown(200, 100), piece(PIECE_BODY, 0, 0));
    // Inactive, the frame and the dimming controls take their inactive images.
    const CRect load = w.m_load.GetCtrlRect();
    w.SendMessage(WM_KILLFOCUS);
    EXPECT_FALSE(w.IsActiveLook());
    EXPECT_EQ(w.Shown(load.left + 10, load.top + 8), w.m_pKeys->GetPixel(42 + 10, 8));
    EXPECT_EQ(w.Shown(5, 5), piece(PIECE_TOP_LEFT + 4, 5, 5));
    w.SendMessage(WM_SETFOCUS);
    EXPECT_EQ(w.Shown(load.left + 10, load.top + 8), w.m_pKeys->GetPixel(10, 8));
    EXPECT_EQ(w.Shown(5, 5), piece(PIECE_TOP_LEFT, 5, 5));
    // Shaded, only the bar's pieces are drawn.
    w.ToggleShade();
    EXPECT_EQ(w.GetBuffer()->GetHeight(), 18);
    EXPECT_EQ(w.Shown(2, 9), piece(PIECE_SHADE_LEFT, 2, 9));
    EXPECT_EQ(w.Shown(width - 2, 9), piece(PIECE_SHADE_RIGHT, 48, 9));
}

// A zoomed window is saved at the place it returns to; a saved expanded height below the skin's
// gives way to it; a short or impossible record leaves the defaults.
TEST_F(SkinWndTest, TheSavedStateComesBackAndADamagedOneIsRefused) {
    CTestSkinWnd& w = Make(At(120, 130), 0, "PlayListWnd");
    w.ToggleShade();
    w.SaveState();
    CTestSkinWnd& zoomed = Make(At(100, 100), 0, "PlayWnd");
    zoomed.SetZoomed(true);
    zoomed.SaveState();
    const auto stored = [](const char* name) {
        return CRegistry::Instance().QueryBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, name);
    };
    EXPECT_EQ(stored("PlayListWnd"), Ints({120, 130, 432, 148, 1, 1, 118}));
    EXPECT_EQ(stored("PlayWnd"), Ints({100, 100, 412, 218, 1, 0, 118}));
    // The name, the value stored first unless empty, and the rectangle, shade and height loaded.
    const std::tuple<const char*, std::string, CRect, bool, int> cases[] = {
        {"PlayListWnd", "", At(120, 130, 312, 18), true, 118},
        {"Missing", "", At(0, 0), false, 118},
        {"Loaded", Ints({10, 20, 322, 50, 1, 0, 200}), At(10, 20, 312, 200), false, 200},
        {"Loaded", Ints({10, 20, 322, 50, 1, 0, 50}), At(10, 20), false, 118},
        {"Loaded", Ints({10, 20, 322}), At(0, 0), false, 118},
        {"Loaded", Ints({10, 20, 5, 10, 1, 0, 118}), At(0, 0), false, 118},
        {"Loaded", Ints({0, 0, 0, 0, 1, 1, 18}), At(0, 0), false, 118},
    };
    for (const auto& [name, value, rect, shaded, expanded] : cases) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(value.empty() || CRegistry::Instance().SetBinary(
                                         HKEY_LOCAL_MACHINE, kWindowStatePath, name, value));
        CTestSkinWnd loaded(name);
        loaded.LoadState();
        EXPECT_EQ(std::tuple(loaded.GetCachedRect(), loaded.IsShaded(), loaded.GetExpandedHeight()),
                  std::tuple(rect, shaded, expanded));
    }
}

} // namespace
