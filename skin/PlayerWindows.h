// The three player windows as one family: the main window holds this object, which creates and
// owns the playlist window and the play window, places the three at the first start, applies
// the skin to all of them, shows, hides, minimises and restores them together, runs the close
// sequence and keeps the family's part of the saved state (the skin folder, which child
// windows are shown). The main window keeps its own controls; it learns of a child shown or
// hidden through the shown hook, so that its toggle buttons follow.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CMainWnd;
class CPlaylistWnd;
class CPlayWnd;
class CWnd;

class CPlayerWindows {
public:
    // A close waits this long for playback to report that it stopped, then ends regardless
    // (a timer of the main window).
    static constexpr std::uintptr_t kCloseTimer = 3;
    static constexpr UINT kCloseWaitMs = 1000;

    enum class Child { Playlist, Play };
    using ShownHook = std::function<void(Child child, bool bShow)>;

    CPlayerWindows(CMainWnd& main, ShownHook onShown);
    ~CPlayerWindows();
    CPlayerWindows(const CPlayerWindows&) = delete;
    CPlayerWindows& operator=(const CPlayerWindows&) = delete;

    // Creates the playlist window and the play window over the created main window; false
    // when one of them failed.
    bool CreateChildWindows();
    // Applies the skin of a folder to the three windows (built-in on any failure).
    void ApplySkinToAll(const std::string& strFolder);
    // At the first start the three windows sit docked in the middle of the primary screen.
    void PlaceForFirstStart();
    // Shows the child windows the saved state has shown, without activating them.
    void ShowChildWindows();
    // Hides the child windows and forgets them (the main window is being destroyed).
    void DestroyChildWindows();

    CPlaylistWnd* GetPlaylistWnd() const { return m_pPlaylistWnd.get(); }
    CPlayWnd* GetPlayWnd() const { return m_pPlayWnd.get(); }
    CWnd* GetPlaylistWindow() const;
    CWnd* GetPlayWindow() const;

    // A child window shown or hidden by the user (toggles, menus, its close button).
    void ShowChild(CWnd* pWnd, bool bShow);
    // The play window shown as remembered, or hidden for an audio-only clip when core
    // preference 17 says so.
    void ApplyPlayWndVisibility();
    // With the icon in the tray only, the application takes the windows to the tray instead.
    void MinimizeAll();
    void RestoreAll();
    // Core preference 3 on all three windows.
    void ApplyAlwaysOnTop();
    void BringAllForward();

    // The close (WM_CLOSE): while something plays, playback stops first and the close
    // finishes when playback has completed or after kCloseWaitMs; then the windows hide and
    // the main window is destroyed.
    void Close();
    void OnPlaybackCompleted();
    void OnCloseTimer();

    // The saved state: the skin folder and which child windows are shown.
    void RestoreState(std::string strSkinFolder, bool bPlayWndShown, bool bPlaylistShown);
    const std::string& GetSkinFolder() const { return m_strSkinFolder; }
    bool IsPlayWndShown() const { return m_bPlayWndShown; }
    bool IsPlaylistShown() const { return m_bPlaylistShown; }
    bool IsClosingPending() const { return m_bClosingPending; }
    bool IsMinimizedAll() const { return m_bMinimized; }

private:
    void FinishClose();
    void HideAll();
    void ShowPlayWnd(bool bShow);

    CMainWnd& m_main;
    ShownHook m_onShown;
    std::unique_ptr<CPlaylistWnd> m_pPlaylistWnd;
    std::unique_ptr<CPlayWnd> m_pPlayWnd;
    std::string m_strSkinFolder;
    bool m_bPlayWndShown = true;
    bool m_bPlaylistShown = true;
    bool m_bPlayWndRemembered = true;
    bool m_bClosingPending = false;
    bool m_bMinimized = false;
};
