#include "playback/CommandBus.h"

#include "platform/RegisteredMessages.h"
#include "platform/Wnd.h"

void CCommandBus::SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1, LPARAM param2,
                                const std::string& text) {
    if (!m_pMainWnd)
        return;
    // The record lives on this stack frame for the length of the synchronous send.
    ControlCommand cmd{code, pSender, param1, param2, text};
    m_pMainWnd->SendMessage(WM_REG_SUBMITCOMMAND, ControlCommand::ToMessage(&cmd), 0);
}

void CCommandBus::PostCommand(WPARAM code, LPARAM param1) {
    if (m_pMainWnd)
        m_pMainWnd->PostMessage(WM_REG_POSTCOMMAND, code, param1);
}
