#include "shell/PlayerMenuContext.h"

#include "skin/MainWnd.h"
#include "skin/PlayWnd.h"
#include "skin/PlaylistWnd.h"

namespace shell {

void ApplyPrefToWindows(CMainWnd& main, CCorePrefs::Pref pref) {
    CPlaylistWnd* pList = main.GetPlaylistWnd();
    switch (pref) {
    case CCorePrefs::AlwaysOnTop:
        main.GetPlayerWindows().ApplyAlwaysOnTop();
        break;
    case CCorePrefs::ClipNumbers:
    case CCorePrefs::PlaylistFontSize:
    case CCorePrefs::ShadeFontSize:
        if (pList) {
            pList->ApplyPreferences();
            pList->Invalidate();
        }
        break;
    case CCorePrefs::Tooltips:
        for (SkinWnd* pWnd : {static_cast<SkinWnd*>(&main), static_cast<SkinWnd*>(pList),
                              static_cast<SkinWnd*>(main.GetPlayWnd())})
            if (pWnd)
                pWnd->ActivateTooltips();
        break;
    case CCorePrefs::HidePlayWndForAudio:
        main.GetPlayerWindows().ApplyPlayWndVisibility();
        break;
    default:
        break;
    }
}

SystemMenuContext BuildSystemMenuContext(IPlayerApp& app, CMainWnd& main,
                                         PrefChangeHandler onPrefChanged) {
    SystemMenuContext ctx;
    ctx.pApp = &app;
    CMainWnd* pMain = &main;
    ctx.bPlaylistVisible = main.IsPlaylistShown();
    ctx.bPlayWndVisible = main.IsPlayWndShown();
    ctx.togglePlaylistWnd = [pMain] {
        pMain->ShowChild(pMain->GetPlaylistWindow(), !pMain->IsPlaylistShown());
    };
    ctx.togglePlayWnd = [pMain] {
        pMain->ShowChild(pMain->GetPlayWindow(), !pMain->IsPlayWndShown());
    };
    ctx.restoreFromTray = [pMain] {
        if (pMain->IsMinimizedAll() || !pMain->IsWindowVisible())
            pMain->SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        pMain->SetForegroundWindow();
    };
    ctx.prefChanged = [pMain, onPrefChanged](CCorePrefs::Pref pref, std::int32_t oldValue) {
        ApplyPrefToWindows(*pMain, pref);
        if (onPrefChanged)
            onPrefChanged(pref, oldValue);
    };
    if (CPlayWnd* pPlay = main.GetPlayWnd())
        BindEngineManager(ctx, pPlay->GetEngineManager());
    return ctx;
}

} // namespace shell
