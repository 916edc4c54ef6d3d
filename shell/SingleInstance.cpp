#include "shell/SingleInstance.h"

#include "platform/Log.h"
#include "platform/RegisteredMessages.h"
#include "platform/WinApp.h"
#include "shell/CommandLineText.h"

#include <thread>

CSingleInstance::CSingleInstance() : m_pListener(std::make_unique<CInstanceListener>(this)) {}

CSingleInstance::~CSingleInstance() {
    Release();
}

bool CSingleInstance::Create(const std::string& identifier) {
    if (!m_pListener || m_bFirst || m_bAlone || m_bOtherInstanceRuns)
        return false;
    std::string problem;
    if (!Decide(identifier, problem))
        return RunAlone(problem);
    if (m_bOtherInstanceRuns) {
        HandOver();
        return false;
    }
    if (!m_pListener->Start()) {
        Release();
        return RunAlone("its listener cannot start");
    }
    platform::LogVerbose("single instance: first instance, listening");
    return true;
}

bool CSingleInstance::Decide(const std::string& identifier, std::string& problem) {
    const std::optional<std::string> folder = shell::ResolveRuntimeFolder();
    if (!folder) {
        problem = "there is no private runtime folder";
        return false;
    }
    m_names = shell::MakeInstanceNames(identifier, *folder);
    // Deciding and setting up happen under the setup lock, so a start never opens the objects
    // of a first instance that is still creating them.
    shell::CFileLock setup;
    if (!setup.Open(m_names.strSetupLock) || !setup.Lock() ||
        !m_aliveLock.Open(m_names.strAliveLock)) {
        problem = "its lock files in " + *folder + " are not files of this user";
        return false;
    }
    if (m_aliveLock.TryLock()) {
        m_bFirst = SetUpFirst(identifier);
        if (!m_bFirst)
            m_aliveLock.Close();
        problem = "its shared objects cannot be created";
        return m_bFirst;
    }
    m_aliveLock.Close();
    m_bOtherInstanceRuns = true;
    m_bHandOverFailed = !m_pListener->SharedBlock().Create(m_names, false) ||
                        !m_pListener->CreateEvent(m_names, false);
    return true;
}

bool CSingleInstance::SetUpFirst(const std::string& identifier) {
    // Whatever a killed instance left behind is gone before this one creates its own.
    if (!shell::ReadObjectToken(m_names.strAliveLock).empty())
        shell::RemoveInstanceObjects(m_names);
    shell::RemoveHandOverFiles(m_names);
    // A name someone else holds already is never used: another token is drawn.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const std::string token = NewToken();
        if (token.empty())
            return false;
        m_names = shell::WithObjectToken(m_names, identifier, token);
        CSharedCmdLine& block = m_pListener->SharedBlock();
        if (!block.Create(m_names, true))
            continue;
        if (!m_pListener->CreateEvent(m_names, true)) {
            block.Close(true);
            continue;
        }
        if (m_aliveLock.Write(token))
            return true;
        m_pListener->ReleaseEvent();
        block.Close(false);
        shell::RemoveInstanceObjects(m_names);
        return false;
    }
    return false;
}

std::string CSingleInstance::NewToken() {
    return shell::NewObjectToken();
}

bool CSingleInstance::RunAlone(const std::string& why) {
    m_bAlone = true;
    platform::LogWarning("single instance: " + why +
                         "; this player runs on its own and later starts open their own");
    return true;
}

void CSingleInstance::HandOver() {
    platform::LogVerbose("single instance: handing the command line to the running instance");
    CSharedCmdLine& block = m_pListener->SharedBlock();
    const std::string text =
        m_bHandOverFailed ? std::string() : block.Prepare(shell::GetCommandLine());
    if (!text.empty() && PutWhenFree(text)) {
        m_pListener->ReleaseEvent();
        return;
    }
    block.Withdraw(text);
    m_bHandOverFailed = true;
    platform::LogWarning("the running player did not take this start's command line in time; "
                         "nothing was opened");
}

bool CSingleInstance::PutWhenFree(const std::string& text) {
    using Clock = std::chrono::steady_clock;
    constexpr auto kPoll = std::chrono::milliseconds(5);
    constexpr auto kNudge = std::chrono::milliseconds(200);
    auto deadline = Clock::now() + kHandOverPatience;
    auto nudge = Clock::now() + kNudge;
    std::string seen;
    for (;;) {
        std::string waiting;
        if (m_pListener->SharedBlock().TryPut(text, waiting)) {
            m_pListener->Pulse();
            return true;
        }
        const auto now = Clock::now();
        if (waiting != seen) { // a line was taken: the running instance is alive
            seen = waiting;
            deadline = now + kHandOverPatience;
        }
        if (now >= deadline)
            return false;
        if (now >= nudge) { // the start that left the line may have died before waking it
            m_pListener->Pulse();
            nudge = now + kNudge;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

void CSingleInstance::Release() {
    if (!m_bFirst)
        return;
    m_pListener->Stop();
    shell::CFileLock setup; // a start waits until the objects are gone and the lock is free
    if (setup.Open(m_names.strSetupLock))
        setup.Lock();
    shell::RemoveInstanceObjects(m_names);
    m_aliveLock.Close();
    m_bFirst = false;
}

void CSingleInstance::OnOtherInstanceCall(const std::string&) {
    PostThreadMessage(WM_REG_ONOTHERINSTANCECALL, 0, 0);
}

void CSingleInstance::ActivateMainWindow() {
    CWinApp* pApp = AfxGetApp();
    CWnd* pMain = pApp ? pApp->m_pMainWnd : nullptr;
    if (!pMain || !pMain->IsWindow())
        return;
    if (pMain->IsIconic())
        pMain->ShowWindow(SW_RESTORE);
    pMain->SetForegroundWindow();
}

void CForwardedCommandLine::Store(std::string text) {
    std::lock_guard lock(m_mutex);
    m_lines.push_back(std::move(text));
}

std::string CForwardedCommandLine::Take() {
    std::lock_guard lock(m_mutex);
    if (m_lines.empty())
        return {};
    std::string text = std::move(m_lines.front());
    m_lines.pop_front();
    return text;
}
