// The two ways into the command bus. The application object offers them to every window,
// dialog and to the playback controller: SubmitCommand delivers a command to all player
// windows before it returns; PostCommand queues one for commands that must not run inside
// the caller.
#pragma once

#include "playback/ControlCommand.h"

class CWnd;

class ICommandBus {
public:
    virtual ~ICommandBus() = default;

    virtual void SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1 = 0, LPARAM param2 = 0,
                               const std::string& text = {}) = 0;
    virtual void PostCommand(WPARAM code, LPARAM param1) = 0;
};

// The bus over the main window: a submitted record is sent with WM_REG_SUBMITCOMMAND, a posted
// command goes out as WM_REG_POSTCOMMAND; the main window's relay delivers both. Without a main
// window nothing happens.
class CCommandBus : public ICommandBus {
public:
    void SetMainWnd(CWnd* pMainWnd) { m_pMainWnd = pMainWnd; }
    CWnd* GetMainWnd() const { return m_pMainWnd; }

    void SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1 = 0, LPARAM param2 = 0,
                       const std::string& text = {}) override;
    void PostCommand(WPARAM code, LPARAM param1) override;

private:
    CWnd* m_pMainWnd = nullptr;
};
