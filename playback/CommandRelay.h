// The main window's part of the command bus: it hands each submitted or posted command to the
// three player windows. A submitted command goes to the play window, the playlist window and
// the main window, in that order; a posted one is built on arrival and goes the other way
// round, main window first.
#pragma once

#include "platform/WinTypes.h"

#include <functional>

class CWnd;
struct ControlCommand;

class CCommandRelay {
public:
    // Any of the windows may be null (not created yet, or already gone); it is skipped.
    void SetWindows(CWnd* pMainWnd, CWnd* pPlaylistWnd, CWnd* pPlayWnd);

    // Handles WM_REG_SUBMITCOMMAND and WM_REG_POSTCOMMAND; false for every other message.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void DeliverSubmitted(ControlCommand& cmd);
    void DeliverPosted(WPARAM code, LPARAM param1);

    // Runs after the three windows have handled a command, so that what watches the player
    // from outside (the desktop's media controls) reads the state the windows now show.
    using Watcher = std::function<void(const ControlCommand&)>;
    void SetWatcher(Watcher watcher) { m_watcher = std::move(watcher); }

private:
    static void Observe(CWnd* pWnd, ControlCommand& cmd);

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pPlaylistWnd = nullptr;
    CWnd* m_pPlayWnd = nullptr;
    Watcher m_watcher;
};
