// The receiving end of the command bus: WM_REG_OBSERVECOMMAND carries a ControlCommand whose
// code (0 to 30) selects one overridable handler. Every handler does nothing by default, so a
// window overrides only the codes it reacts to; other codes are ignored and answer 0.
//
// CCommandObserver is not a window, so that any window class (a plain CWnd here, the skinned
// player window base later) can take it on as a second base and route the message to it.
#pragma once

#include "platform/Wnd.h"
#include "playback/ControlCommand.h"

class CCommandObserver {
public:
    virtual ~CCommandObserver() = default;

    // Runs the handler of cmd.code; 0 for a code outside 0..30.
    LRESULT DispatchCommand(ControlCommand& cmd);
    // Dispatches WM_REG_OBSERVECOMMAND (wParam = the record); false for any other message.
    bool ObserveMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The last value of code 28, recorded by every window.
    LPARAM GetEngineResetting() const { return m_nEngineResetting; }

protected:
    virtual LRESULT OnCmdUnused0(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdPlay(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdPause(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdStop(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdUnused4(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdLoadClip(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdUnused6(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdUnused7(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdSeek(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdVolume(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdPosition(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdPlayState(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdSeekDragEnded(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdClosing(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdRefillRows(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdAppendRows(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdInsertRows(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdUpdateControls(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdPlayableChanged(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdRepeatChanged(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdClipLoading(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdPlaybackRequested(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdStopped(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdUserCommand(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdClipOpened(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdPlaybackCompleted(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdUnused26(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdTranslate(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdEngineResetting(ControlCommand& cmd);
    virtual LRESULT OnCmdResetPositions(ControlCommand&) { return 0; }
    virtual LRESULT OnCmdBringToTop(ControlCommand&) { return 0; }

private:
    LPARAM m_nEngineResetting = 0;
};

// A window that observes commands. Besides the recorded engine-reset value it gives the two
// defaults that need nothing but a window: code 23 repaints at once, code 30 raises the window.
class CCommandWnd : public CWnd, public CCommandObserver {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCmdUserCommand(ControlCommand& cmd) override;
    LRESULT OnCmdBringToTop(ControlCommand& cmd) override;
};
