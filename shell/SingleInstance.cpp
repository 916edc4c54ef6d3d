#include "shell/SingleInstance.h"

#include "platform/Log.h"
#include "platform/RegisteredMessages.h"
#include "platform/WinApp.h"
#include "shell/CommandLineText.h"

CSingleInstance::CSingleInstance() : m_pListener(std::make_unique<CInstanceListener>(this)) {}

CSingleInstance::~CSingleInstance() {
    Release();
}

bool CSingleInstance::Create(const std::string& identifier) {
    if (!m_pListener || m_bFirst)
        return false;
    const std::optional<std::string> folder = shell::ResolveRuntimeFolder();
    if (!folder)
        return false;
    m_names = shell::MakeInstanceNames(identifier, *folder);
    {
        // Deciding and setting up happen under the setup lock, so a start never opens the
        // objects of a first instance that is still creating them.
        shell::CFileLock setup;
        if (!setup.Open(m_names.strSetupLock) || !setup.Lock() ||
            !m_aliveLock.Open(m_names.strAliveLock))
            return false;
        m_bFirst = m_aliveLock.TryLock();
        if (!SetUp(m_bFirst)) {
            m_bFirst = false;
            m_aliveLock.Close();
            return false;
        }
    }
    if (!m_bFirst) {
        m_aliveLock.Close();
        HandOver();
        return false;
    }
    if (!m_pListener->Start()) {
        Release();
        return false;
    }
    platform::LogVerbose("single instance: first instance, listening");
    return true;
}

bool CSingleInstance::SetUp(bool bFirst) {
    if (bFirst) {
        // Whatever a killed instance left behind is gone before this one creates its own.
        shell::RemoveInstanceObjects(m_names);
        shell::RemoveHandOverFiles(m_names);
    }
    const bool ok = m_pListener->SharedBlock().Create(m_names, bFirst) &&
                    m_pListener->CreateEvent(m_names, bFirst);
    if (!ok && bFirst)
        shell::RemoveInstanceObjects(m_names);
    return ok;
}

void CSingleInstance::HandOver() {
    m_bOtherInstanceRuns = true;
    platform::LogVerbose("single instance: handing the command line to the running instance");
    if (!m_pListener->SharedBlock().Put(shell::GetCommandLine()))
        platform::LogWarning("the command line could not be handed to the running instance");
    if (m_pListener->Pulse())
        m_pListener->ReleaseEvent();
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
    m_strText = std::move(text);
}

std::string CForwardedCommandLine::Get() const {
    std::lock_guard lock(m_mutex);
    return m_strText;
}
