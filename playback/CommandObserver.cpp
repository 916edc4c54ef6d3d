#include "playback/CommandObserver.h"

#include "platform/RegisteredMessages.h"

namespace {

using Handler = LRESULT (CCommandObserver::*)(ControlCommand&);

} // namespace

LRESULT CCommandObserver::DispatchCommand(ControlCommand& cmd) {
    // Indexed by command code.
    static constexpr Handler kHandlers[kCommandCodeCount] = {
        &CCommandObserver::OnCmdUnused0,
        &CCommandObserver::OnCmdPlay,
        &CCommandObserver::OnCmdPause,
        &CCommandObserver::OnCmdStop,
        &CCommandObserver::OnCmdUnused4,
        &CCommandObserver::OnCmdLoadClip,
        &CCommandObserver::OnCmdUnused6,
        &CCommandObserver::OnCmdUnused7,
        &CCommandObserver::OnCmdSeek,
        &CCommandObserver::OnCmdVolume,
        &CCommandObserver::OnCmdPosition,
        &CCommandObserver::OnCmdPlayState,
        &CCommandObserver::OnCmdSeekDragEnded,
        &CCommandObserver::OnCmdClosing,
        &CCommandObserver::OnCmdRefillRows,
        &CCommandObserver::OnCmdAppendRows,
        &CCommandObserver::OnCmdInsertRows,
        &CCommandObserver::OnCmdUpdateControls,
        &CCommandObserver::OnCmdPlayableChanged,
        &CCommandObserver::OnCmdRepeatChanged,
        &CCommandObserver::OnCmdClipLoading,
        &CCommandObserver::OnCmdPlaybackRequested,
        &CCommandObserver::OnCmdStopped,
        &CCommandObserver::OnCmdUserCommand,
        &CCommandObserver::OnCmdClipOpened,
        &CCommandObserver::OnCmdPlaybackCompleted,
        &CCommandObserver::OnCmdUnused26,
        &CCommandObserver::OnCmdTranslate,
        &CCommandObserver::OnCmdEngineResetting,
        &CCommandObserver::OnCmdResetPositions,
        &CCommandObserver::OnCmdBringToTop,
    };
    if (cmd.code < 0 || cmd.code >= kCommandCodeCount)
        return 0;
    return (this->*kHandlers[cmd.code])(cmd);
}

bool CCommandObserver::ObserveMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_REG_OBSERVECOMMAND)
        return false;
    ControlCommand* pCmd = ControlCommand::FromMessage(wParam);
    result = pCmd ? DispatchCommand(*pCmd) : 0;
    return true;
}

LRESULT CCommandObserver::OnCmdEngineResetting(ControlCommand& cmd) {
    m_nEngineResetting = cmd.param1;
    return 0;
}

LRESULT CCommandWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ObserveMessage(message, wParam, lParam, result))
        return result;
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CCommandWnd::OnCmdUserCommand(ControlCommand&) {
    // Draw now, before a modal dialog takes over the event loop.
    Invalidate();
    UpdateWindow();
    return 0;
}

LRESULT CCommandWnd::OnCmdBringToTop(ControlCommand&) {
    if (IsWindow())
        BringWindowToTop();
    return 0;
}
