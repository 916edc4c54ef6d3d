// The layer between the skinned window base and the three player windows: the receiving end
// of the command bus (WM_REG_OBSERVECOMMAND → one handler per code), the defaults every player
// window shares (repaint before a dialog, reset position, bring to top), a left click raising
// all player windows, Ctrl+M and Ctrl+R, the system menu on a right click, and dropped files.
#pragma once

#include "playback/CommandObserver.h"
#include "skin/SkinWnd.h"

class CPlayerWndBase : public SkinWnd, public CCommandObserver {
public:
    // Shows the system menu at a screen point (the menu itself arrives with the menus).
    virtual void ShowSystemMenu(CPoint ptScreen);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Code 23: draw the window at once, before a dialog takes over.
    LRESULT OnCmdUserCommand(ControlCommand& cmd) override;
    // Code 29: unroll, take the default rectangle without activation, redraw.
    LRESULT OnCmdResetPositions(ControlCommand& cmd) override;
    // Code 30: bring the window to the top of the window order.
    LRESULT OnCmdBringToTop(ControlCommand& cmd) override;

    virtual void OnDropFiles(const DroppedFiles& files);
    // Ctrl+M and Ctrl+R; true when the key was one of them.
    virtual bool OnControlKey(WPARAM vk);
};
