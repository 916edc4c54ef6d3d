#include "playback/CommandRelay.h"

#include "platform/RegisteredMessages.h"
#include "platform/Wnd.h"
#include "playback/ControlCommand.h"

void CCommandRelay::SetWindows(CWnd* pMainWnd, CWnd* pPlaylistWnd, CWnd* pPlayWnd) {
    m_pMainWnd = pMainWnd;
    m_pPlaylistWnd = pPlaylistWnd;
    m_pPlayWnd = pPlayWnd;
}

bool CCommandRelay::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_REG_SUBMITCOMMAND) {
        // A submit without a record is dropped rather than followed.
        if (ControlCommand* pCmd = ControlCommand::FromMessage(wParam))
            DeliverSubmitted(*pCmd);
    } else if (message == WM_REG_POSTCOMMAND) {
        DeliverPosted(wParam, lParam);
    } else {
        return false;
    }
    result = 0;
    return true;
}

void CCommandRelay::DeliverSubmitted(ControlCommand& cmd) {
    Observe(m_pPlayWnd, cmd);
    Observe(m_pPlaylistWnd, cmd);
    Observe(m_pMainWnd, cmd);
    if (m_watcher)
        m_watcher(cmd);
}

void CCommandRelay::DeliverPosted(WPARAM code, LPARAM param1) {
    // A code outside the int range cannot name a handler; it becomes an unknown code that
    // every window ignores.
    const int nCode = code < WPARAM(kCommandCodeCount) ? int(code) : -1;
    ControlCommand cmd{nCode, nullptr, param1, 0, {}};
    Observe(m_pMainWnd, cmd);
    Observe(m_pPlaylistWnd, cmd);
    Observe(m_pPlayWnd, cmd);
    if (m_watcher)
        m_watcher(cmd);
}

void CCommandRelay::Observe(CWnd* pWnd, ControlCommand& cmd) {
    if (pWnd)
        pWnd->SendMessage(WM_REG_OBSERVECOMMAND, ControlCommand::ToMessage(&cmd), 0);
}
