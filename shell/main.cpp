// Corvella's entry point.
#include "platform/Application.h"
#include "platform/DC.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/RegisteredMessages.h"
#include "platform/WinApp.h"
#include "res/StringTable.h"
#include "shell/CommandLineText.h"
#include "shell/FileAssociation.h"
#include "shell/Language.h"
#include "shell/ProfileSettings.h"
#include "shell/ProgramOptions.h"
#include "shell/SingleInstance.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

namespace {

// The main window until the skinned windows exist: a 312 × 118 borderless window whose
// destruction ends the program, as closing the player's main window does.
class CStartWnd : public CWnd {
public:
    bool Create() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const int left = screen.left() + (screen.width() - 312) / 2;
        const int top = screen.top() + (screen.height() - 118) / 2;
        if (!CreateTopLevel({left, top, left + 312, top + 118}, "Corvella"))
            return false;
        m_surface.CreateSolid(312, 118, RGB(0x1E, 0x24, 0x30));
        m_surface.FillSolidRect({0, 0, 312, 14}, RGB(0x3A, 0x6E, 0xA5));
        m_surface.DrawText("Corvella", {8, 40, 304, 80}, RGB(0xE8, 0xEC, 0xF2), 20,
                           DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetBackBuffer(&m_surface);
        return true;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    CDC m_surface;
};

class CStartApp : public CWinApp, public CSingleInstance {
public:
    bool InitInstance() override {
        // A later start hands its command line to the running instance and ends here.
        if (!Create(res::LoadString(147)))
            return false;
        m_bRunning = true;
        shell::SetProfileKey();
        shell::SetCurrentLanguage(shell::ReadUILanguage());
        shell::RegisterPlaylistType(platform::GetProgramPath());
        if (!m_wnd.Create())
            return false;
        m_pMainWnd = &m_wnd;
        InstallTerminationHandlers();
        m_wnd.ShowWindow(SW_SHOW);
        platform::LogVerbose("main window shown");
        return true;
    }

    int ExitInstance() override {
        if (m_bRunning) {
            shell::WriteUILanguage(shell::GetCurrentLanguage());
            Release(); // the listener ends before this object does
        }
        return CWinApp::ExitInstance();
    }

    // Listener thread: keep the text and let the application thread do the rest.
    void OnOtherInstanceCall(const std::string& cmdLine) override {
        m_forwarded.Store(cmdLine);
        PostThreadMessage(WM_REG_ONOTHERINSTANCECALL, 0, 0);
    }

    void OnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_REG_ONOTHERINSTANCECALL) {
            CWinApp::OnThreadMessage(message, wParam, lParam);
            return;
        }
        ActivateMainWindow();
        platform::LogVerbose("command line from another start: " + m_forwarded.Get());
    }

private:
    CStartWnd m_wnd;
    CForwardedCommandLine m_forwarded;
    bool m_bRunning = false;
};

} // namespace

int main(int argc, char** argv) {
    switch (shell::ReadProgramOptions(argc, argv)) {
    case shell::StartAction::ShowHelp:
        std::fputs(shell::UsageText().c_str(), stdout);
        return 0;
    case shell::StartAction::ShowVersion:
        std::puts(shell::VersionText().c_str());
        return 0;
    case shell::StartAction::Run:
        break;
    }
    shell::SetCommandLine(argc, argv);
    platform::PrepareApplication();
    QApplication qtApp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // the main window's destruction ends the loop
    CStartApp app;
    const int exitCode = app.Run();
    return app.OtherInstanceRuns() ? 0 : exitCode;
}
