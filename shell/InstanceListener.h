// The first instance's listener: a thread that waits on the named wake-up event, takes the
// command line a second start left in the shared block, and hands it to the owner.
#pragma once

#include "shell/SharedCmdLine.h"

#include <atomic>
#include <memory>
#include <semaphore.h>
#include <string>
#include <system_error>
#include <thread>

class CSingleInstance;

class CInstanceListener {
public:
    explicit CInstanceListener(CSingleInstance* pOwner);
    ~CInstanceListener();
    CInstanceListener(const CInstanceListener&) = delete;
    CInstanceListener& operator=(const CInstanceListener&) = delete;

    CSharedCmdLine& SharedBlock() { return *m_pBlock; }

    // Opens the running instance's event, or (bCreate) creates it afresh, not signalled.
    bool CreateEvent(const shell::InstanceNames& names, bool bCreate);
    // First instance: starts the thread.
    bool Start();
    // Stops the thread and waits until it has ended.
    void Stop();
    // Second start: wakes the running instance's listener once.
    bool Pulse();
    void ReleaseEvent();

private:
    void Run();

    sem_t* m_hEvent = SEM_FAILED;
    // The stop event: set, then the thread is woken through the named event.
    std::atomic<bool> m_bStop{false};
    std::unique_ptr<CSharedCmdLine> m_pBlock;
    CSingleInstance* m_pOwner;
    std::thread m_thread;
};
