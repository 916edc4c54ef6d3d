// The skinned window base on real (offscreen) windows: dragging with snapping and docking,
// group moves, step resizing, shade with a docked window, zoom, rearranging, mouse routing
// with cancel, dimming, tooltips, cursors, frame painting and the saved state.
#include "core/RegObjectStore.h"
#include "platform/Clock.h"
#include "platform/RegisteredMessages.h"
#include "tests/skin/TestSkinWnd.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using skintest::CTestSkinWnd;

CRect At(int x, int y, int w = 312, int h = 118) {
    return {x, y, x + w, y + h};
}

class SkinWndTest : public ::testing::Test {
protected:
    // A shown window; registered for snapping unless nLeader is -1.
    CTestSkinWnd& Make(const CRect& rect, int nLeader = 0, const std::string& name = "TestWnd") {
        m_windows.push_back(std::make_unique<CTestSkinWnd>(name));
        CTestSkinWnd& w = *m_windows.back();
        EXPECT_TRUE(w.Create(rect));
        if (nLeader >= 0)
            CSnapWnd::RegisterWindow(w.m_hWnd, nLeader);
        w.ShowWindow(SW_SHOWNA);
        return w;
    }

    // The pixel of the window's back buffer and of an image.
    static COLORREF Shown(const CTestSkinWnd& w, int x, int y) {
        return w.GetBuffer()->GetPixel(x, y);
    }

    static std::string Stored(const std::string& name) {
        return CRegistry::Instance()
            .QueryBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, name)
            .value_or("");
    }
    static std::string Ints(std::initializer_list<std::int32_t> values) {
        std::string out;
        for (std::int32_t v : values)
            out.append(reinterpret_cast<const char*>(&v), 4);
        return out;
    }

    platform::CVirtualClock m_clock;
    testsupport::ScratchFolder m_temp;
    testsupport::CPlayerWindowWorldGuard m_world{nullptr, m_temp.Path() + "/corvella"};
    std::vector<std::unique_ptr<CTestSkinWnd>> m_windows;
};

// The snapping arithmetic is SnapGeometry's; these check that a drag uses it.
TEST_F(SkinWndTest, DraggingSnapsToTheEdgesOfTheMonitorAreaTheWindowIsOn) {
    CTestSkinWnd& w = Make(At(100, 300));
    w.DragBy(150, 8, -89, 0); // the left edge would land 11 pixels from the screen's
    EXPECT_EQ(w.GetWindowRect(), At(0, 300));
    w.m_areas = {CTestSkinWnd::kDesktop, {1024, 24, 2944, 1080}};
    w.DragBy(150, 8, 1100 - 12 - 70, -270); // near the second area's top-left corner
    EXPECT_EQ(w.GetWindowRect(), At(1024, 24));
}

TEST_F(SkinWndTest, ADockedWindowMovesWithTheLeaderButNotTheOtherWayRound) {
    CTestSkinWnd& playlist = Make(At(600, 500, 312, 200), 0, "PlayListWnd");
    CTestSkinWnd& main = Make(At(200, 200), 1, "MainWnd");
    // The playlist snaps to the main window's bottom edge from 8 pixels away, left-aligned.
    playlist.DragBy(150, 8, 200 + 6 - 600, 318 + 8 - 500);
    EXPECT_EQ(playlist.GetWindowRect(), At(200, 318, 312, 200));
    main.DragBy(150, 8, 50, 40);
    EXPECT_EQ(main.GetWindowRect(), At(250, 240));
    EXPECT_EQ(playlist.GetWindowRect(), At(250, 358, 312, 200));
    playlist.DragBy(150, 8, 100, 100);
    EXPECT_EQ(playlist.GetWindowRect(), At(350, 458, 312, 200));
    EXPECT_EQ(main.GetWindowRect(), At(250, 240));
    // Moving the main window 5 pixels is not pulled back by the playlist it carries.
    playlist.DragBy(150, 8, -100, -100);
    main.DragBy(150, 8, 5, 0);
    EXPECT_EQ(main.GetWindowRect(), At(255, 240));
    EXPECT_EQ(playlist.GetWindowRect(), At(255, 358, 312, 200));
    // A hidden window neither snaps nor follows.
    playlist.ShowWindow(SW_HIDE);
    main.DragBy(150, 8, 5, 0);
    EXPECT_EQ(playlist.GetWindowRect(), At(255, 358, 312, 200));
}

TEST_F(SkinWndTest, ResizingStepsPaintingDirectlyAndTheBackgroundCache) {
    CTestSkinWnd& w = Make(At(100, 100));
    w.Mouse(WM_LBUTTONDOWN, 309, 50); // the right edge
    EXPECT_TRUE(w.IsResizing());
    w.Mouse(WM_MOUSEMOVE, 309 + 35, 50);
    EXPECT_EQ(w.GetWindowRect().Width(), 332);
    w.Mouse(WM_MOUSEMOVE, 309 + 35, 50); // no further step: the window stays
    EXPECT_EQ(w.GetWindowRect().Width(), 332);
    w.Mouse(WM_MOUSEMOVE, 0, 50);
    EXPECT_EQ(w.GetWindowRect().Width(), 312);
    EXPECT_EQ(w.GetWindowRect().Height(), 118);
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
    ASSERT_EQ(w.GetBuffer()->GetWidth(), 332);
    ASSERT_EQ(w.GetBuffer()->GetHeight(), 138);
    EXPECT_EQ(w.GetCache()->GetWidth(), 312); // not rebuilt for every step
    const auto& br = builtin::kPlaylistPieces[PIECE_BOTTOM_RIGHT];
    EXPECT_EQ(w.GetBuffer()->GetPixel(331, 137),
              w.m_pFrame->GetPixel(br.x + br.cx - 1, br.y + br.cy - 1));
    // The controls placed from the bottom edge moved with it.
    EXPECT_EQ(w.m_load.GetCtrlRect().top, 138 - 24);
    w.Mouse(WM_LBUTTONUP, 305 + 40, 110 + 40);
    EXPECT_FALSE(w.PaintsDirectly());
    EXPECT_EQ(w.GetCache()->GetWidth(), 332);
    EXPECT_EQ(w.GetCache()->GetHeight(), 138);
    // Redrawing a control restores its background from the cache.
    const CRect load = w.m_load.GetCtrlRect();
    const COLORREF under = w.GetCache()->GetPixel(load.left + 2, load.top + 2);
    w.m_load.SetVisible(false);
    w.RedrawControl(&w.m_load, true);
    EXPECT_EQ(Shown(w, load.left + 2, load.top + 2), under);
    w.m_load.SetVisible(true);
    w.RedrawControl(&w.m_load, true);
    EXPECT_EQ(Shown(w, load.left + 2, load.top + 2), w.m_pKeys->GetPixel(2, 2));
}

TEST_F(SkinWndTest, ResizeEdgesAndCursorsButNoneWhileShadedOrWhenNotResizable) {
    CTestSkinWnd& w = Make(At(100, 100));
    int kind = 0;
    EXPECT_TRUE(w.HitTestResizeEdge({311, 50}, kind));
    EXPECT_EQ(kind, RESIZE_RIGHT);
    EXPECT_TRUE(w.HitTestResizeEdge({50, 117}, kind));
    EXPECT_EQ(kind, RESIZE_BOTTOM);
    EXPECT_TRUE(w.HitTestResizeEdge({300, 100}, kind));
    EXPECT_EQ(kind, RESIZE_CORNER);
    EXPECT_FALSE(w.HitTestResizeEdge({150, 50}, kind));
    // The cursors follow the area under the pointer.
    builtin::LoadBuiltInCursors();
    EXPECT_EQ(w.CursorForWindowArea({150, 50}), CSkinCursors::Get(0));
    EXPECT_EQ(w.CursorForWindowArea({310, 50}), CSkinCursors::Get(1));
    EXPECT_EQ(w.CursorForWindowArea({150, 116}), CSkinCursors::Get(2));
    EXPECT_EQ(w.CursorForWindowArea({305, 110}), CSkinCursors::Get(4));
    EXPECT_EQ(w.CursorForControl(&w.m_load), CSkinCursors::Get(5));
    w.m_load.SetCursor(CSkinCursors::Get(3));
    EXPECT_EQ(w.CursorForControl(&w.m_load), CSkinCursors::Get(3));
    w.ToggleShade();
    EXPECT_FALSE(w.HitTestResizeEdge({311, 10}, kind));
    EXPECT_FALSE(w.CanResize(RESIZE_BOTTOM));
    EXPECT_TRUE(w.CanResize(RESIZE_RIGHT));
    w.ToggleShade();
    w.m_bResizable = false;
    EXPECT_FALSE(w.HitTestResizeEdge({311, 50}, kind));
}

TEST_F(SkinWndTest, ShadingMovesTheWindowDockedBelowAndExpandingMovesItBack) {
    CTestSkinWnd& playlist = Make(At(200, 318, 312, 200), 0, "PlayListWnd");
    CTestSkinWnd& main = Make(At(200, 200), 1, "MainWnd");
    main.ToggleShade();
    EXPECT_TRUE(main.IsShaded());
    EXPECT_EQ(main.GetWindowRect(), At(200, 200, 312, 18));
    EXPECT_EQ(playlist.GetWindowRect(), At(200, 218, 312, 200));
    EXPECT_EQ(main.m_nShadeLayouts, 1);
    main.ToggleShade();
    EXPECT_EQ(main.GetWindowRect(), At(200, 200));
    EXPECT_EQ(playlist.GetWindowRect(), At(200, 318, 312, 200));
}

TEST_F(SkinWndTest, ZoomFillsTheScreenAndComesBack) {
    CTestSkinWnd& w = Make(At(100, 100));
    w.SetZoomed(true);
    EXPECT_EQ(w.GetWindowRect(), CTestSkinWnd::kDesktop);
    EXPECT_FALSE(w.CanMove());
    EXPECT_FALSE(w.MovesWithGroup());
    w.DragBy(150, 8, 30, 30);
    EXPECT_EQ(w.GetWindowRect(), CTestSkinWnd::kDesktop);
    w.SetZoomed(true); // a second zoom keeps the place to return to
    w.SetZoomed(false);
    EXPECT_EQ(w.GetWindowRect(), At(100, 100));
    EXPECT_TRUE(w.CanMove());
}

TEST_F(SkinWndTest, RearrangingBringsEveryRegisteredWindowBackOnScreen) {
    CTestSkinWnd& a = Make(At(-50, -20, 312, 200));
    // A docked group past the bottom comes back as one: the playlist stays below the main
    // window instead of being pushed under it.
    CTestSkinWnd& playlist = Make(At(500, 760, 312, 200), 0, "PlayListWnd");
    CTestSkinWnd& main = Make(At(500, 642), 1, "MainWnd");
    a.PostMessage(WM_REG_REARRANGEALLWINDOWS);
    m_clock.Pump();
    EXPECT_EQ(a.GetWindowRect(), At(0, 0, 312, 200));
    EXPECT_EQ(main.GetWindowRect(), At(500, 768 - 318));
    EXPECT_EQ(playlist.GetWindowRect(), At(500, 768 - 200, 312, 200));
}

TEST_F(SkinWndTest, ReleasingOverTheBackgroundCancelsTheButton) {
    CTestSkinWnd& w = Make(At(100, 100));
    const CRect load = w.m_load.GetCtrlRect();
    EXPECT_EQ(load, (CRect{12, 118 - 24, 33, 118 - 8}));
    w.Mouse(WM_LBUTTONDOWN, 15, 100);
    EXPECT_TRUE(w.m_load.IsLeftPressed());
    EXPECT_EQ(w.GetPressedControl(), &w.m_load);
    w.Mouse(WM_LBUTTONUP, 150, 50);
    m_clock.Pump();
    EXPECT_FALSE(w.m_load.IsLeftPressed());
    EXPECT_EQ(w.m_clicks[&w.m_load], 0);
    EXPECT_EQ(w.GetPressedControl(), nullptr);
    // Released over another control: the pressed one is cancelled, the other gets nothing.
    w.Mouse(WM_LBUTTONDOWN, 15, 100);
    w.Mouse(WM_LBUTTONUP, 300, 8);
    m_clock.Pump();
    EXPECT_EQ(w.m_clicks[&w.m_load], 0);
    EXPECT_EQ(w.m_clicks[&w.m_close], 0);
    // Released over the same control: a click.
    w.Mouse(WM_LBUTTONDOWN, 15, 100);
    w.Mouse(WM_LBUTTONUP, 20, 101);
    m_clock.Pump();
    EXPECT_EQ(w.m_clicks[&w.m_load], 1);
    // A double click on a button is two clicks.
    w.Mouse(WM_LBUTTONDOWN, 15, 100);
    w.Mouse(WM_LBUTTONUP, 15, 100);
    w.Mouse(WM_LBUTTONDBLCLK, 15, 100);
    w.Mouse(WM_LBUTTONUP, 15, 100);
    m_clock.Pump();
    EXPECT_EQ(w.m_clicks[&w.m_load], 3);
    EXPECT_FALSE(w.IsDragging());
}

TEST_F(SkinWndTest, InactiveWindowsShowDimmingControlsAndTheInactiveFrame) {
    CTestSkinWnd& w = Make(At(100, 100));
    const CRect load = w.m_load.GetCtrlRect();
    const CRect close = w.m_close.GetCtrlRect();
    const builtin::FramePiece& top = builtin::kPlaylistPieces[PIECE_TOP_LEFT];
    const builtin::FramePiece& dim = builtin::kPlaylistPieces[PIECE_TOP_LEFT + 4];
    w.SendMessage(WM_KILLFOCUS);
    EXPECT_FALSE(w.IsActiveLook());
    EXPECT_TRUE(w.m_load.IsWindowInactive());
    EXPECT_EQ(Shown(w, load.left + 10, load.top + 8), w.m_pKeys->GetPixel(42 + 10, 8));
    EXPECT_EQ(Shown(w, close.left + 5, close.top + 4), w.m_pWindowKeys->GetPixel(30 + 5, 4));
    EXPECT_EQ(Shown(w, 5, 5), w.m_pFrame->GetPixel(dim.x + 5, dim.y + 5));
    w.SendMessage(WM_SETFOCUS);
    EXPECT_EQ(Shown(w, load.left + 10, load.top + 8), w.m_pKeys->GetPixel(10, 8));
    EXPECT_EQ(Shown(w, 5, 5), w.m_pFrame->GetPixel(top.x + 5, top.y + 5));
}

TEST_F(SkinWndTest, TheFrameIsComposedFromItsPiecesAtEverySize) {
    CTestSkinWnd& w = Make(At(100, 100, 452, 238));
    const auto& p = builtin::kPlaylistPieces;
    auto piece = [&](int i, int dx, int dy) {
        return w.m_pFrame->GetPixel(p[std::size_t(i)].x + dx, p[std::size_t(i)].y + dy);
    };
    const int width = 452, height = 238;
    EXPECT_EQ(Shown(w, width - 1, height - 1), piece(PIECE_BOTTOM_RIGHT, 49, p[9].cy - 1));
    EXPECT_EQ(Shown(w, width - 1, 17), piece(PIECE_TOP_RIGHT, 49, 17));
    EXPECT_EQ(Shown(w, (width - 100) / 2 + 50, 9), piece(PIECE_TOP_CENTRE, 50, 9));
    EXPECT_EQ(Shown(w, 3, 100), piece(PIECE_LEFT_EDGE, 3, 0));
    EXPECT_EQ(Shown(w, width - 24 + 12, 100), piece(PIECE_RIGHT_EDGE, 12, 0));
    EXPECT_EQ(Shown(w, 200, 100), piece(PIECE_BODY, 0, 0));
    // Shaded, only the bar's pieces are drawn.
    w.ToggleShade();
    EXPECT_EQ(w.GetBuffer()->GetHeight(), 18);
    EXPECT_EQ(Shown(w, 2, 9), piece(PIECE_SHADE_LEFT, 2, 9));
    EXPECT_EQ(Shown(w, width - 2, 9), piece(PIECE_SHADE_RIGHT, 48, 9));
}

TEST_F(SkinWndTest, UpdatesTooltipsAndTheHotControlFollowTheVisibleControls) {
    CTestSkinWnd& w = Make(At(100, 100));
    w.Mouse(WM_MOUSEMOVE, 15, 100);
    EXPECT_EQ(CMemCtrl::GetHotControl(), &w.m_load);
    // The hover image is shown at once.
    EXPECT_EQ(Shown(w, 15, 100), w.m_pKeys->GetPixel(63 + 3, 6));
    w.Mouse(WM_MOUSEMOVE, 150, 50);
    EXPECT_EQ(CMemCtrl::GetHotControl(), nullptr);
    w.Mouse(WM_MOUSEMOVE, 15, 100);
    w.Mouse(WM_MOUSEMOVE, -5, -5);
    EXPECT_EQ(CMemCtrl::GetHotControl(), nullptr);
    w.UpdateControls();
    EXPECT_EQ(w.m_nUpdates, 2);
    w.ToggleShade(); // updates once more, with the load button hidden
    EXPECT_EQ(w.m_nUpdates, 3);
    w.ToggleShade();
    w.Mouse(WM_MOUSEMOVE, 15, 100);
    EXPECT_EQ(w.GetCurrentTooltip(), "Load Clip(s) or Playlist");
    w.Mouse(WM_MOUSEMOVE, 300, 8);
    EXPECT_EQ(w.GetCurrentTooltip(), "Close Window");
    w.Mouse(WM_MOUSEMOVE, 150, 50);
    EXPECT_EQ(w.GetCurrentTooltip(), "");
    w.m_bTooltips = false;
    w.LoadBuiltInSkin();
    w.Mouse(WM_MOUSEMOVE, 15, 100);
    EXPECT_EQ(w.GetCurrentTooltip(), "");
}

// Saved state -------------------------------------------------------------------------------

TEST_F(SkinWndTest, SaveThenLoadKeepsPlaceModeAndHeightAndAZoomedWindowWhereItReturnsTo) {
    CTestSkinWnd& w = Make(At(120, 130), 0, "PlayListWnd");
    w.ToggleShade();
    w.SaveState();
    EXPECT_EQ(Stored("PlayListWnd"), Ints({120, 130, 432, 148, 1, 1, 118}));

    CTestSkinWnd again("PlayListWnd");
    again.LoadState();
    EXPECT_EQ(again.GetCachedRect(), At(120, 130, 312, 18));
    EXPECT_TRUE(again.IsShaded());
    EXPECT_EQ(again.GetExpandedHeight(), 118);

    CTestSkinWnd& zoomed = Make(At(100, 100), 0, "PlayWnd");
    zoomed.SetZoomed(true);
    zoomed.SaveState();
    EXPECT_EQ(Stored("PlayWnd"), Ints({100, 100, 412, 218, 1, 0, 118}));
}

TEST_F(SkinWndTest, LoadingTakesTheLargerExpandedHeightAndRefusesADamagedState) {
    ASSERT_TRUE(CRegistry::Instance().SetBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, "TestWnd",
                                                Ints({10, 20, 322, 50, 1, 0, 200})));
    CTestSkinWnd w;
    w.LoadState();
    EXPECT_FALSE(w.IsShaded());
    EXPECT_EQ(w.GetExpandedHeight(), 200);
    EXPECT_EQ(w.GetCachedRect(), At(10, 20, 312, 200));
    ASSERT_TRUE(CRegistry::Instance().SetBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, "TestWnd",
                                                Ints({10, 20, 322, 50, 1, 0, 50})));
    CTestSkinWnd smaller;
    smaller.LoadState();
    EXPECT_EQ(smaller.GetExpandedHeight(), 118);
    EXPECT_EQ(smaller.GetCachedRect(), At(10, 20, 312, 118));
    CTestSkinWnd missing("Missing");
    missing.LoadState();
    EXPECT_EQ(missing.GetCachedRect(), At(0, 0));
    for (const std::string& bad :
         {Ints({10, 20, 322}), Ints({10, 20, 5, 10, 1, 0, 118}), Ints({0, 0, 0, 0, 1, 1, 18})}) {
        ASSERT_TRUE(
            CRegistry::Instance().SetBinary(HKEY_LOCAL_MACHINE, kWindowStatePath, "TestWnd", bad));
        CTestSkinWnd damaged;
        damaged.LoadState();
        EXPECT_EQ(damaged.GetCachedRect(), At(0, 0));
        EXPECT_FALSE(damaged.IsShaded());
    }
}

} // namespace
