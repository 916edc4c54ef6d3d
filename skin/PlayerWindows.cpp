#include "skin/PlayerWindows.h"

#include "core/CorePrefs.h"
#include "platform/Log.h"
#include "playback/EngineManager.h"
#include "playback/UIControl.h"
#include "skin/AppLink.h"
#include "skin/BuiltInSkin.h"
#include "skin/MainWnd.h"
#include "skin/PlayWnd.h"
#include "skin/PlaylistWnd.h"
#include "skin/SkinLoader.h"
#include "skin/SnapGeometry.h"

#include <utility>

namespace {

CUIControl& Controller() {
    return GetPlayerApp()->GetController();
}

} // namespace

CPlayerWindows::CPlayerWindows(CMainWnd& main, ShownHook onShown)
    : m_main(main), m_onShown(std::move(onShown)) {}

CPlayerWindows::~CPlayerWindows() = default;

CWnd* CPlayerWindows::GetPlaylistWindow() const {
    return m_pPlaylistWnd.get();
}

CWnd* CPlayerWindows::GetPlayWindow() const {
    return m_pPlayWnd.get();
}

// Creation -----------------------------------------------------------------------------------

bool CPlayerWindows::CreateChildWindows() {
    m_pPlaylistWnd = std::make_unique<CPlaylistWnd>();
    if (!m_pPlaylistWnd->Create(&m_main))
        return false;
    CSnapWnd::RegisterWindow(m_pPlaylistWnd->GetSafeHwnd(), 0);
    m_pPlayWnd = std::make_unique<CPlayWnd>();
    if (!m_pPlayWnd->Create(&m_main))
        return false;
    CSnapWnd::RegisterWindow(m_pPlayWnd->GetSafeHwnd(), 0);
    return true;
}

void CPlayerWindows::ApplySkinToAll(const std::string& strFolder) {
    m_strSkinFolder = strFolder;
    SkinApplyHooks hooks;
    hooks.loadBuiltInCursors = [] { builtin::LoadBuiltInCursors(); };
    const bool fromFiles = ApplySkin(m_main, *m_pPlayWnd, *m_pPlaylistWnd, m_strSkinFolder, hooks);
    platform::LogVerbose(fromFiles ? "skin: " + m_strSkinFolder : "skin: built-in");
}

void CPlayerWindows::PlaceForFirstStart() {
    // Once the main window has a saved place, the others keep theirs, or their defaults,
    // which follow the main window.
    const CRect area = m_main.GetPrimaryScreenArea();
    if (m_main.HasSavedState() || area.Width() <= 0 || area.Height() <= 0)
        return;
    auto size = [](const CWnd& wnd) {
        const CRect r = wnd.GetWindowRect();
        return CSize{r.Width(), r.Height()};
    };
    const snap::FirstStartPlaces places =
        snap::FirstStartLayout(size(m_main), size(*m_pPlaylistWnd), size(*m_pPlayWnd), area);
    // Each window resizes later from its cached rectangle (the play window when a video
    // opens), so the cache must learn the new place too.
    auto place = [](CSnapWnd& wnd, const CRect& rect) {
        wnd.MoveWindow(rect);
        wnd.RefreshCachedRect();
    };
    place(m_main, places.main);
    if (!m_pPlaylistWnd->HasSavedState())
        place(*m_pPlaylistWnd, places.playlist);
    if (!m_pPlayWnd->HasSavedState())
        place(*m_pPlayWnd, places.play);
}

void CPlayerWindows::ShowChildWindows() {
    for (CWnd* pChild : {GetPlayWindow(), GetPlaylistWindow()})
        if (pChild && (pChild == GetPlayWindow() ? m_bPlayWndShown : m_bPlaylistShown))
            pChild->ShowWindow(SW_SHOWNA);
}

void CPlayerWindows::DestroyChildWindows() {
    for (CWnd* pChild : {GetPlayWindow(), GetPlaylistWindow()})
        if (pChild && pChild->IsWindow())
            pChild->DestroyWindow();
    m_pPlayWnd.reset();
    m_pPlaylistWnd.reset();
}

// Showing, minimise and restore --------------------------------------------------------------

void CPlayerWindows::ShowChild(CWnd* pWnd, bool bShow) {
    if (!pWnd)
        return;
    if (pWnd == GetPlayWindow()) {
        m_bPlayWndShown = m_bPlayWndRemembered = bShow;
        m_onShown(Child::Play, bShow);
    } else if (pWnd == GetPlaylistWindow()) {
        m_bPlaylistShown = bShow;
        m_onShown(Child::Playlist, bShow);
    } else {
        return;
    }
    pWnd->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CPlayerWindows::ApplyPlayWndVisibility() {
    bool bShow = m_bPlayWndRemembered;
    const auto* pManager = dynamic_cast<const CEngineManager*>(Controller().GetEngineManager());
    if (CCorePrefs::Get(CCorePrefs::HidePlayWndForAudio) && pManager && pManager->IsAudioOnly())
        bShow = false;
    ShowPlayWnd(bShow);
}

// Leaves the remembered choice alone: an audio clip hides the window only for its time.
void CPlayerWindows::ShowPlayWnd(bool bShow) {
    m_bPlayWndShown = bShow;
    m_onShown(Child::Play, bShow);
    if (CWnd* pPlay = GetPlayWindow(); pPlay && !m_bMinimized)
        pPlay->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
}

void CPlayerWindows::MinimizeAll() {
    m_bMinimized = true;
    IPlayerApp* pApp = GetPlayerApp();
    if (!pApp || !pApp->MinimizeToTray(&m_main))
        m_main.ShowWindow(SW_MINIMIZE);
    for (CWnd* pChild : {GetPlayWindow(), GetPlaylistWindow()})
        if (pChild && pChild->IsWindowVisible())
            pChild->ShowWindow(SW_HIDE);
}

void CPlayerWindows::RestoreAll() {
    m_bMinimized = false;
    IPlayerApp* pApp = GetPlayerApp();
    if (!pApp || !pApp->RestoreFromTray(&m_main))
        m_main.ShowWindow(SW_RESTORE);
    if (CWnd* pPlay = GetPlayWindow(); pPlay && m_bPlayWndShown)
        pPlay->ShowWindow(SW_SHOW);
    if (CWnd* pList = GetPlaylistWindow(); pList && m_bPlaylistShown)
        pList->ShowWindow(SW_SHOW);
}

void CPlayerWindows::ApplyAlwaysOnTop() {
    const bool bOnTop = CCorePrefs::Get(CCorePrefs::AlwaysOnTop) != 0;
    for (CWnd* pWnd : {GetPlayWindow(), GetPlaylistWindow(), static_cast<CWnd*>(&m_main)})
        if (pWnd)
            pWnd->SetAlwaysOnTop(bOnTop);
}

void CPlayerWindows::BringAllForward() {
    if (CWnd* pPlay = GetPlayWindow(); pPlay && m_bPlayWndShown)
        pPlay->BringWindowToTop();
    if (CWnd* pList = GetPlaylistWindow(); pList && m_bPlaylistShown)
        pList->BringWindowToTop();
    m_main.BringWindowToTop();
}

// Closing ------------------------------------------------------------------------------------

void CPlayerWindows::Close() {
    if (!m_bClosingPending && Controller().GetEnginePlayState() != EngineStopped) {
        m_bClosingPending = true;
        // An engine stuck in an open may never report; the program ends all the same.
        m_main.SetTimer(kCloseTimer, kCloseWaitMs);
        Controller().Stop();
        return; // the close finishes when playback has completed (code 25)
    }
    HideAll();
    m_main.DestroyWindow();
}

void CPlayerWindows::OnPlaybackCompleted() {
    if (m_bClosingPending)
        FinishClose();
}

void CPlayerWindows::OnCloseTimer() {
    if (m_bClosingPending)
        FinishClose();
}

void CPlayerWindows::FinishClose() {
    m_main.KillTimer(kCloseTimer);
    if (!CCorePrefs::Get(CCorePrefs::ReloadLastPlaylist)) {
        Controller().ClearPlaylist();
        GetPlayerApp()->SubmitCommand(&m_main, CmdClosing, 0);
    }
    HideAll();
    m_main.PostMessage(WM_CLOSE);
}

void CPlayerWindows::HideAll() {
    for (CWnd* pWnd : {GetPlayWindow(), GetPlaylistWindow(), static_cast<CWnd*>(&m_main)})
        if (pWnd)
            pWnd->ShowWindow(SW_HIDE);
}

// Saved state --------------------------------------------------------------------------------

void CPlayerWindows::RestoreState(std::string strSkinFolder, bool bPlayWndShown,
                                  bool bPlaylistShown) {
    m_strSkinFolder = std::move(strSkinFolder); // replaced by the fixed folder at creation
    m_bPlayWndShown = m_bPlayWndRemembered = bPlayWndShown;
    m_bPlaylistShown = bPlaylistShown;
}
