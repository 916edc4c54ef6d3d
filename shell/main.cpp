// Corvella's entry point.
#include "platform/Application.h"
#include "platform/WinApp.h"
#include "shell/CommandLineText.h"
#include "shell/PlayerApp.h"
#include "shell/ProgramOptions.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    CatchTerminationSignals();
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
    CPlayerApp app;
    const int exitCode = app.Run();
    if (app.OtherInstanceRuns())
        return app.HandOverFailed() ? 1 : 0; // a command line that did not arrive is a failure
    return exitCode;
}
