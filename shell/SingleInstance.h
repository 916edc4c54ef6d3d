// One running instance per user session. The first start becomes the running instance and
// listens for later starts; a later start hands its whole command line to the running
// instance and ends. When the instance objects cannot be had (no private runtime folder, a
// lock path that is not a file of ours), the player runs on its own without the hand-over and
// says so once: nothing another user does can keep it from starting.
#pragma once

#include "shell/InstanceListener.h"
#include "shell/InstanceObjects.h"

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

class CSingleInstance {
public:
    CSingleInstance();
    virtual ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // How long a later start waits for the running instance to take the command line that
    // waits before its own; every line taken restarts the wait.
    static constexpr std::chrono::milliseconds kHandOverPatience{2000};

    // True in the first instance once its listener runs, and in a player that runs without
    // the hand-over. False when another instance runs (after handing this process's command
    // line over, or failing to) and when there is no listener.
    bool Create(const std::string& identifier);
    // True after Create found another instance running: this process is a later start.
    bool OtherInstanceRuns() const { return m_bOtherInstanceRuns; }
    // True when this later start's command line did not reach the running instance.
    bool HandOverFailed() const { return m_bHandOverFailed; }
    // True when Create let this process run without the hand-over.
    bool RunsAlone() const { return m_bAlone; }

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
    // The random part of the object names; tests replace it.
    virtual std::string NewToken();

    std::unique_ptr<CInstanceListener> m_pListener;

private:
    bool Decide(const std::string& identifier, std::string& problem);
    bool SetUpFirst(const std::string& identifier);
    bool RunAlone(const std::string& why);
    void HandOver();
    bool PutWhenFree(const std::string& text);

    shell::InstanceNames m_names;
    shell::CFileLock m_aliveLock;
    bool m_bFirst = false;
    bool m_bOtherInstanceRuns = false;
    bool m_bHandOverFailed = false;
    bool m_bAlone = false;
};

// The command lines forwarded by later starts, in the order they arrived: stored on the
// listener thread, taken one by one on the application thread, so none is lost when starts
// come faster than the application thread handles them.
class CForwardedCommandLine {
public:
    void Store(std::string text);
    // The oldest line not yet taken; empty when none waits.
    std::string Take();

private:
    std::mutex m_mutex;
    std::deque<std::string> m_lines;
};
