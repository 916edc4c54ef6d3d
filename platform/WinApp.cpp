#include "platform/WinApp.h"

#include "platform/MessageQueue.h"
#include "platform/QtMessagePump.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

CWinApp* g_pApp = nullptr;
int g_signalPipe[2] = {-1, -1};
bool g_bEndRequested = false;
constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Closes the dialogs and menus whose own event loops run; true when there were any.
bool CloseModalWindows() {
    bool any = false;
    if (QWidget* pPopup = QApplication::activePopupWidget()) {
        pPopup->close();
        any = true;
    }
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        auto* pDialog = qobject_cast<QDialog*>(pWidget);
        if (pDialog && pDialog->isVisible() && pDialog->isModal()) {
            pDialog->reject();
            any = true;
        }
    }
    return any;
}

// Only async-signal-safe work here: one byte into the pipe.
void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] auto n = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

CWinApp::CWinApp() {
    g_pApp = this;
    platform::CMessageQueue::Instance().SetThreadMessageHandler(
        [this](const platform::QueuedMessage& m) {
            OnThreadMessage(m.message, m.wParam, m.lParam);
        });
}

CWinApp::~CWinApp() {
    platform::CMessageQueue::Instance().SetThreadMessageHandler({});
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

void CWinApp::OnThreadMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_QUIT) {
        m_nExitCode = int(wParam);
        QCoreApplication::exit(m_nExitCode);
    }
}

int CWinApp::Run() {
    platform::CQtMessagePump pump;
    if (!InitInstance()) {
        ExitInstance();
        return 1;
    }
    m_bLoopRunning = true;
    QCoreApplication::exec();
    m_bLoopRunning = false;
    return ExitInstance();
}

bool IsEndRequested() {
    return g_bEndRequested;
}

void CWinApp::RequestEnd() {
    g_bEndRequested = true;
    CloseModalWindows();
    // The window closes from the application's own loop: a dialog's loop still unwinding, or
    // start-up still running, would otherwise go on with the windows gone.
    auto* pTimer = new QTimer(QCoreApplication::instance());
    QObject::connect(pTimer, &QTimer::timeout, [this, pTimer] {
        if (CloseModalWindows() || !m_bLoopRunning || QThread::currentThread()->loopLevel() > 1)
            return;
        pTimer->stop();
        pTimer->deleteLater();
        if (m_pMainWnd && m_pMainWnd->IsWindow())
            m_pMainWnd->PostMessage(WM_CLOSE);
        else
            PostQuitMessage(0);
    });
    pTimer->start(10);
}

void CatchTerminationSignals() {
    if (g_signalPipe[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction sa {};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    // A launcher may hand them on blocked; a request to end must still reach the program.
    sigset_t termination;
    sigemptyset(&termination);
    for (int sig : kTerminationSignals) {
        ::sigaction(sig, &sa, nullptr);
        sigaddset(&termination, sig);
    }
    ::sigprocmask(SIG_UNBLOCK, &termination, nullptr);
}

void CWinApp::InstallTerminationHandlers() {
    CatchTerminationSignals();
    if (g_signalPipe[0] < 0 || m_bTerminationWatched)
        return;
    m_bTerminationWatched = true;
    // A signal caught before this point waits in the pipe and is acted on once the loop runs.
    auto* notifier =
        new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [this] {
        char buf[16];
        [[maybe_unused]] auto n = ::read(g_signalPipe[0], buf, sizeof buf);
        if (!g_bEndRequested)
            RequestEnd();
    });
}

void PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    platform::CMessageQueue::Instance().PostThread(message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    PostThreadMessage(WM_QUIT, WPARAM(exitCode), 0);
}
