// One running instance per user session. The first start becomes the running instance and
// listens for later starts; a later start hands its whole command line to the running
// instance and ends.
#pragma once

#include "shell/InstanceListener.h"
#include "shell/InstanceObjects.h"

#include <memory>
#include <mutex>
#include <string>

class CSingleInstance {
public:
    CSingleInstance();
    virtual ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True only in the first instance, once its listener runs. False when another instance
    // runs (after handing this process's command line over) or when the objects cannot be
    // set up.
    bool Create(const std::string& identifier);
    // True after Create found another instance running: this process is a later start.
    bool OtherInstanceRuns() const { return m_bOtherInstanceRuns; }

    // Stops and joins the listener and removes the shared objects. A derived class calls it
    // at shutdown, before its own part is destroyed, because the listener calls the override
    // below.
    void Release();

    // Runs on the listener thread with a command line forwarded by a later start. The
    // default asks the application thread (WM_REG_ONOTHERINSTANCECALL) to bring the main
    // window forward, which cannot be done from this thread.
    virtual void OnOtherInstanceCall(const std::string& cmdLine);

    // Brings the main window forward (restoring it when minimised); application thread only.
    static void ActivateMainWindow();

protected:
    std::unique_ptr<CInstanceListener> m_pListener;

private:
    bool SetUp(bool bFirst);
    void HandOver();

    shell::InstanceNames m_names;
    shell::CFileLock m_aliveLock;
    bool m_bFirst = false;
    bool m_bOtherInstanceRuns = false;
};

// The last command line forwarded by a later start: written on the listener thread, read on
// the application thread.
class CForwardedCommandLine {
public:
    void Store(std::string text);
    std::string Get() const;

private:
    mutable std::mutex m_mutex;
    std::string m_strText;
};
