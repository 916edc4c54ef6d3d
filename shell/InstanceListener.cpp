#include "shell/InstanceListener.h"

#include "shell/SingleInstance.h"

#include <cerrno>
#include <fcntl.h>

CInstanceListener::CInstanceListener(CSingleInstance* pOwner)
    : m_pBlock(std::make_unique<CSharedCmdLine>()), m_pOwner(pOwner) {}

CInstanceListener::~CInstanceListener() {
    Stop();
    ReleaseEvent();
}

bool CInstanceListener::CreateEvent(const shell::InstanceNames& names, bool bCreate) {
    m_hEvent = bCreate ? ::sem_open(names.strEvent.c_str(), O_CREAT | O_EXCL, 0600, 0)
                       : ::sem_open(names.strEvent.c_str(), 0);
    return m_hEvent != SEM_FAILED;
}

bool CInstanceListener::Start() {
    if (m_hEvent == SEM_FAILED || m_thread.joinable())
        return false;
    m_bStop = false;
    try {
        m_thread = std::thread(&CInstanceListener::Run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CInstanceListener::Stop() {
    if (!m_thread.joinable())
        return;
    m_bStop = true;
    ::sem_post(m_hEvent);
    m_thread.join();
}

bool CInstanceListener::Pulse() {
    return m_hEvent != SEM_FAILED && ::sem_post(m_hEvent) == 0;
}

void CInstanceListener::ReleaseEvent() {
    if (m_hEvent != SEM_FAILED)
        ::sem_close(m_hEvent);
    m_hEvent = SEM_FAILED;
}

void CInstanceListener::Run() {
    for (;;) {
        if (::sem_wait(m_hEvent) != 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (m_bStop)
            return;
        // Wake-ups outnumber command lines when two starts come close together; the block
        // is emptied by each read, so a command line is never handed on twice.
        std::string text = m_pBlock->Take();
        if (m_pOwner && !text.empty())
            m_pOwner->OnOtherInstanceCall(text);
    }
}
