// The application as the player windows see it: a real controller, a record of every command and
// request, and submitted commands delivered nowhere (the default), to one window (m_pTarget;
// param1 as its observers left it) or over a real bus to every player window (m_bus.SetMainWnd).
#pragma once

#include "platform/RegisteredMessages.h"
#include "playback/CommandBus.h"
#include "playback/ControlCommand.h"
#include "playback/UIControl.h"
#include "skin/AppLink.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

class CRecordingPlayerApp : public IPlayerApp {
public:
    struct Command {
        int code = 0;
        CCmdTarget* pSender = nullptr;
        LPARAM param1 = 0;
        std::string text;
        bool bPosted = false;
    };

    CUIControl m_control;
    CCommandBus m_bus;
    CWnd* m_pTarget = nullptr;
    CWnd* m_pMain = nullptr; // the main window when there is no bus
    std::vector<Command> m_commands;
    std::vector<std::vector<std::string>> m_added;
    std::vector<std::string> m_opened; // "media", "cd", "vcd", "location"
    std::vector<CPoint> m_menus;
    std::function<void(const Command&)> m_onCommand; // as each is submitted, before delivery
    std::function<std::string(const std::string&)> m_translate; // for another language

    // With bControllerUsesBus the controller announces its changes through this application's bus.
    explicit CRecordingPlayerApp(bool bControllerUsesBus = false) {
        if (bControllerUsesBus)
            m_control.SetCommandBus(this);
    }

    void SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1, LPARAM param2,
                       const std::string& text) override {
        const std::size_t index = m_commands.size();
        m_commands.push_back({code, pSender, param1, text, false});
        if (m_onCommand)
            m_onCommand(m_commands.back());
        if (m_bus.GetMainWnd()) {
            m_bus.SubmitCommand(pSender, code, param1, param2, text);
        } else if (m_pTarget) {
            ControlCommand cmd{code, pSender, param1, param2, text};
            m_pTarget->SendMessage(WM_REG_OBSERVECOMMAND, WPARAM(&cmd), 0);
            m_commands[index].param1 = cmd.param1; // as the observers left it
        }
    }
    void PostCommand(WPARAM code, LPARAM param1) override {
        m_commands.push_back({int(code), nullptr, param1, {}, true});
        if (m_bus.GetMainWnd())
            m_bus.PostCommand(code, param1);
    }
    CUIControl& GetController() override { return m_control; }
    CWnd* GetMainWindow() override { return m_bus.GetMainWnd() ? m_bus.GetMainWnd() : m_pMain; }
    void AddFiles(const std::vector<std::string>& paths) override { m_added.push_back(paths); }
    void OpenMediaFiles(CWnd*) override { m_opened.push_back("media"); }
    void OpenCd(CWnd*) override { m_opened.push_back("cd"); }
    void OpenVcd(CWnd*) override { m_opened.push_back("vcd"); }
    void OpenLocation(CWnd*) override { m_opened.push_back("location"); }
    void ShowSystemMenu(CWnd*, CPoint pt) override { m_menus.push_back(pt); }
    std::string Translate(const std::string& text) override {
        return m_translate ? m_translate(text) : text;
    }

    // The codes of the submitted (bPosted false) or posted commands, in order.
    std::vector<int> Codes(bool bPosted = false) const {
        std::vector<int> codes;
        for (const Command& c : m_commands)
            if (c.bPosted == bPosted)
                codes.push_back(c.code);
        return codes;
    }
    bool HasCode(int code) const {
        return std::ranges::any_of(m_commands, [code](const Command& c) { return c.code == code; });
    }
};

} // namespace testsupport
