// The application object: one per process. It runs the event loop that drives the message
// queue, receives thread messages, and turns SIGINT and SIGTERM into an orderly close of the
// main window.
#pragma once

#include "platform/WinTypes.h"
#include "platform/Wnd.h"

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    // Start-up; false ends the process before the event loop runs.
    virtual bool InitInstance() { return true; }
    // Shutdown; the result is the process exit code.
    virtual int ExitInstance() { return m_nExitCode; }
    // A message posted with PostThreadMessage.
    virtual void OnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // InitInstance, then the event loop until PostQuitMessage, then ExitInstance.
    int Run();

    // SIGINT and SIGTERM close the main window (the path a user's exit takes); without a main
    // window they end the loop. Signals caught earlier (CatchTerminationSignals) are acted on
    // once the loop runs.
    void InstallTerminationHandlers();

    CWnd* m_pMainWnd = nullptr;

protected:
    int m_nExitCode = 0;

private:
    bool m_bTerminationWatched = false;
};

// Catches SIGINT and SIGTERM from here on (unblocking them when inherited blocked) and keeps
// them until the application object installs its handlers, so a request to end that comes
// during start-up ends the program in order instead of killing it. Call first thing in main.
void CatchTerminationSignals();

CWinApp* AfxGetApp();

// Thread-safe: queues a message for the application object.
void PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
// Ends the event loop with the given exit code once the queue reaches the message.
void PostQuitMessage(int exitCode);
