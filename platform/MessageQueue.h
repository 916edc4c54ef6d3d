// The process message queue: one FIFO of posted messages, the table of live window handles,
// and the window timers. Posting is safe from any thread; everything else runs on the
// user-interface thread.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>

class CWnd;

namespace platform {

class IClock;

struct QueuedMessage {
    HWND hWnd = 0; // 0: a thread message for the application object
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class CMessageQueue {
public:
    static CMessageQueue& Instance();

    // Windows register when created and leave when destroyed; messages for a handle that has
    // left are dropped.
    HWND RegisterWindow(CWnd* pWnd);
    void UnregisterWindow(HWND hWnd);
    CWnd* FromHandle(HWND hWnd) const;

    // Thread-safe. False when the window does not exist.
    bool Post(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void PostThread(UINT message, WPARAM wParam, LPARAM lParam);

    // Timers: a tick is posted as WM_TIMER (wParam = id) when the timer is due; a timer keeps
    // ticking until killed. Setting a running id again restarts it with the new interval.
    void SetTimer(HWND hWnd, std::uintptr_t id, UINT elapseMs);
    bool KillTimer(HWND hWnd, std::uintptr_t id);
    // Due time of the earliest timer, if any.
    std::optional<std::int64_t> NextTimerDue() const;

    // Posts ticks of due timers, then dispatches the oldest message. False when nothing was
    // waiting. UI thread only.
    bool DispatchOne();
    std::size_t PendingCount() const;

    // Called, from any thread, whenever work arrives or the next timer changes; the event-loop
    // driver uses it to schedule a dispatch pass.
    void SetWakeCallback(std::function<void()> wake);
    // Receives thread messages (hWnd 0); the application object installs it.
    void SetThreadMessageHandler(std::function<void(const QueuedMessage&)> handler);

    void SetClock(IClock* pClock); // null restores the steady clock
    std::int64_t NowMs() const;

    // Drops every message and timer (tests start from a clean queue).
    void Reset();

    // A repeating timer never ticks more often than this, so a 0 ms timer cannot starve the
    // queue: its first tick comes at once (after the messages already queued), later ones
    // at this interval.
    static constexpr std::int64_t kMinRepeatMs = 10;

private:
    CMessageQueue();

    struct TimerKey {
        HWND hWnd;
        std::uintptr_t id;
        bool operator<(const TimerKey& o) const {
            return hWnd != o.hWnd ? hWnd < o.hWnd : id < o.id;
        }
    };
    struct Timer {
        std::int64_t due = 0;
        std::int64_t interval = 0;
        std::uint64_t order = 0; // creation order, breaks ties between equal due times
        bool tickQueued = false;
    };

    void PostDueTimerTicks();
    bool DeliverTimerTick(const QueuedMessage& msg);
    void Wake();

    mutable std::mutex m_mutex; // guards the queue, the window table and the clock pointer
    std::deque<QueuedMessage> m_queue;
    std::unordered_map<HWND, CWnd*> m_windows;
    HWND m_nextHandle = 1;
    std::map<TimerKey, Timer> m_timers;
    std::uint64_t m_nextTimerOrder = 0;
    IClock* m_pClock = nullptr;
    std::function<void()> m_wake;
    std::function<void(const QueuedMessage&)> m_threadHandler;
};

} // namespace platform
