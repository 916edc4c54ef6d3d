#include "skin/PlayerWndBase.h"

#include "platform/Keyboard.h"
#include "platform/RegisteredMessages.h"
#include "playback/UIControl.h"
#include "skin/AppLink.h"

void CPlayerWndBase::ShowSystemMenu(CPoint ptScreen) {
    if (IPlayerApp* pApp = GetPlayerApp())
        pApp->ShowSystemMenu(this, ptScreen);
}

LRESULT CPlayerWndBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ObserveMessage(message, wParam, lParam, result))
        return result;
    if (message == WM_REG_PREFDLGCLOSED) {
        if (IPlayerApp* pApp = GetPlayerApp())
            pApp->OnPrefsDialogClosed(this);
        return 0;
    }
    switch (message) {
    case WM_LBUTTONDOWN:
        if (IPlayerApp* pApp = GetPlayerApp())
            pApp->SubmitCommand(this, CmdBringToTop);
        break;
    case WM_RBUTTONUP: {
        const CPoint pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        // A control under the pointer takes the click; elsewhere it opens the system menu.
        const bool onControl = ControlAt(pt) != nullptr;
        result = SkinWnd::WindowProc(message, wParam, lParam);
        if (!onControl) {
            const CRect rc = GetWindowRect();
            ShowSystemMenu({rc.left + pt.x, rc.top + pt.y});
        }
        return result;
    }
    case WM_KEYDOWN:
        Invalidate(); // the window is redrawn on every key
        if (OnControlKey(wParam))
            return 0;
        break;
    case WM_DROPFILES:
        if (wParam)
            OnDropFiles(*reinterpret_cast<const DroppedFiles*>(wParam));
        break;
    default:
        break;
    }
    return SkinWnd::WindowProc(message, wParam, lParam);
}

LRESULT CPlayerWndBase::OnCmdUserCommand(ControlCommand&) {
    UpdateWindow();
    return 0;
}

LRESULT CPlayerWndBase::OnCmdResetPositions(ControlCommand&) {
    if (!IsWindow())
        return 0;
    if (IsShaded())
        ToggleShade();
    MoveWindow(DefaultRect());
    RefreshCachedRect();
    Invalidate();
    return 0;
}

LRESULT CPlayerWndBase::OnCmdBringToTop(ControlCommand&) {
    if (IsWindow())
        BringWindowToTop();
    return 0;
}

void CPlayerWndBase::OnDropFiles(const DroppedFiles& files) {
    if (IPlayerApp* pApp = GetPlayerApp(); pApp && !files.empty())
        pApp->AddFiles(files);
}

bool CPlayerWndBase::OnControlKey(WPARAM vk) {
    IPlayerApp* pApp = GetPlayerApp();
    if (!pApp || !platform::IsKeyDown(VK_CONTROL) ||
        (vk != 'M' && vk != 'R' && vk != 'T' && vk != 'H' && vk != 'L'))
        return false;
    if (vk == 'L') {
        pApp->OpenLocation(this);
        return true;
    }
    CUIControl& control = pApp->GetController();
    if (vk == 'M')
        control.ToggleMute();
    else if (vk == 'T')
        control.ToggleRepeatOne();
    else if (vk == 'H')
        control.ToggleShuffle();
    else
        control.ToggleRepeat();
    return true;
}
