// The application object: one per process. It runs the event loop that drives the message
// queue, receives thread messages, and turns SIGINT, SIGTERM and SIGHUP into an orderly close
// of the main window.
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

    // SIGINT, SIGTERM and SIGHUP end the program (RequestEnd). Signals caught earlier
    // (CatchTerminationSignals) are acted on once the loop runs.
    void InstallTerminationHandlers();
    // Ends the program in order whatever it is doing: open dialogs and menus are closed, no
    // further message box is shown, and once the application's loop runs again the main window
    // closes (the path a user's exit takes; without a main window the loop just ends).
    void RequestEnd();

    CWnd* m_pMainWnd = nullptr;

protected:
    int m_nExitCode = 0;

private:
    bool m_bTerminationWatched = false;
    bool m_bLoopRunning = false; // the application's own loop, not one of a dialog
};

// The program is ending (RequestEnd): nobody is left to answer a question.
bool IsEndRequested();

// Catches SIGINT, SIGTERM and SIGHUP from here on (unblocking them when inherited blocked) and
// keeps them until the application object installs its handlers, so a request to end that comes
// during start-up ends the program in order instead of killing it. Call first thing in main.
void CatchTerminationSignals();

CWinApp* AfxGetApp();

// Thread-safe: queues a message for the application object.
void PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
// Ends the event loop with the given exit code once the queue reaches the message.
void PostQuitMessage(int exitCode);
