// The application as one player window sees it: a real controller, and a bus that hands every
// submitted command straight to that window. Tests and benchmarks build on it.
#pragma once

#include "platform/RegisteredMessages.h"
#include "playback/ControlCommand.h"
#include "playback/UIControl.h"
#include "skin/AppLink.h"

#include <string>
#include <vector>

namespace testsupport {

class CForwardingPlayerApp : public IPlayerApp {
public:
    CUIControl m_control;
    CWnd* m_pMain = nullptr;
    CWnd* m_pTarget = nullptr;

    void SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1, LPARAM param2,
                       const std::string& text) override {
        ControlCommand cmd{code, pSender, param1, param2, text};
        Deliver(cmd);
    }
    void PostCommand(WPARAM, LPARAM) override {}
    CUIControl& GetController() override { return m_control; }
    CWnd* GetMainWindow() override { return m_pMain; }
    void AddFiles(const std::vector<std::string>&) override {}
    void OpenMediaFiles(CWnd*) override {}
    void OpenCd(CWnd*) override {}
    void OpenVcd(CWnd*) override {}
    void ShowSystemMenu(CWnd*, CPoint) override {}

protected:
    void Deliver(ControlCommand& cmd) {
        if (m_pTarget)
            m_pTarget->SendMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0);
    }
};

} // namespace testsupport
