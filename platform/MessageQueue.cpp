#include "platform/MessageQueue.h"

#include "platform/Clock.h"
#include "platform/Wnd.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {
CSteadyClock g_steadyClock;
}

CMessageQueue::CMessageQueue() : m_pClock(&g_steadyClock) {}

CMessageQueue& CMessageQueue::Instance() {
    static CMessageQueue queue;
    return queue;
}

HWND CMessageQueue::RegisterWindow(CWnd* pWnd) {
    std::lock_guard lock(m_mutex);
    HWND h = m_nextHandle++;
    m_windows[h] = pWnd;
    return h;
}

void CMessageQueue::UnregisterWindow(HWND hWnd) {
    std::lock_guard lock(m_mutex);
    m_windows.erase(hWnd);
    for (auto it = m_timers.begin(); it != m_timers.end();)
        it = it->first.hWnd == hWnd ? m_timers.erase(it) : std::next(it);
}

CWnd* CMessageQueue::FromHandle(HWND hWnd) const {
    std::lock_guard lock(m_mutex);
    auto it = m_windows.find(hWnd);
    return it == m_windows.end() ? nullptr : it->second;
}

bool CMessageQueue::Post(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_windows.contains(hWnd))
            return false;
        m_queue.push_back({hWnd, message, wParam, lParam});
    }
    Wake();
    return true;
}

void CMessageQueue::PostThread(UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back({0, message, wParam, lParam});
    }
    Wake();
}

void CMessageQueue::SetTimer(HWND hWnd, std::uintptr_t id, UINT elapseMs) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_windows.contains(hWnd))
            return;
        Timer& t = m_timers[{hWnd, id}];
        t.interval = elapseMs;
        t.due = m_pClock->NowMs() + elapseMs;
        t.order = m_nextTimerOrder++;
        // A tick of the replaced timer still in the queue is dropped when it comes up.
        t.tickQueued = false;
    }
    Wake();
}

bool CMessageQueue::KillTimer(HWND hWnd, std::uintptr_t id) {
    std::lock_guard lock(m_mutex);
    return m_timers.erase({hWnd, id}) > 0;
}

std::optional<std::int64_t> CMessageQueue::NextTimerDue() const {
    std::lock_guard lock(m_mutex);
    std::optional<std::int64_t> next;
    for (const auto& [key, t] : m_timers)
        if (!t.tickQueued && (!next || t.due < *next))
            next = t.due;
    return next;
}

void CMessageQueue::PostDueTimerTicks() {
    const std::int64_t now = m_pClock->NowMs();
    std::vector<std::pair<const TimerKey*, Timer*>> due;
    for (auto& [key, t] : m_timers)
        if (!t.tickQueued && t.due <= now)
            due.emplace_back(&key, &t);
    std::sort(due.begin(), due.end(), [](const auto& a, const auto& b) {
        return a.second->due != b.second->due ? a.second->due < b.second->due
                                              : a.second->order < b.second->order;
    });
    for (auto& [key, t] : due) {
        t->tickQueued = true;
        // The tick carries the timer's order so that a replaced timer's old tick is recognised.
        m_queue.push_back({key->hWnd, WM_TIMER, key->id, LPARAM(t->order)});
    }
}

bool CMessageQueue::DeliverTimerTick(const QueuedMessage& msg) {
    std::lock_guard lock(m_mutex);
    auto it = m_timers.find({msg.hWnd, msg.wParam});
    if (it == m_timers.end() || it->second.order != std::uint64_t(msg.lParam))
        return false; // killed or replaced since the tick was queued
    Timer& t = it->second;
    t.tickQueued = false;
    const std::int64_t now = m_pClock->NowMs();
    t.due = std::max(t.due + std::max(t.interval, kMinRepeatMs), now);
    return true;
}

bool CMessageQueue::DispatchOne() {
    QueuedMessage msg;
    {
        std::lock_guard lock(m_mutex);
        PostDueTimerTicks();
        if (m_queue.empty())
            return false;
        msg = m_queue.front();
        m_queue.pop_front();
    }
    if (msg.message == WM_TIMER && msg.hWnd != 0 && !DeliverTimerTick(msg))
        return true;
    if (msg.hWnd == 0) {
        if (m_threadHandler)
            m_threadHandler(msg);
        return true;
    }
    if (CWnd* pWnd = FromHandle(msg.hWnd))
        pWnd->SendMessage(msg.message, msg.wParam, msg.message == WM_TIMER ? 0 : msg.lParam);
    return true;
}

std::size_t CMessageQueue::PendingCount() const {
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

void CMessageQueue::SetWakeCallback(std::function<void()> wake) {
    std::lock_guard lock(m_mutex);
    m_wake = std::move(wake);
}

void CMessageQueue::SetThreadMessageHandler(std::function<void(const QueuedMessage&)> handler) {
    m_threadHandler = std::move(handler);
}

void CMessageQueue::Wake() {
    std::function<void()> wake;
    {
        std::lock_guard lock(m_mutex);
        wake = m_wake;
    }
    if (wake)
        wake();
}

void CMessageQueue::SetClock(IClock* pClock) {
    std::lock_guard lock(m_mutex);
    m_pClock = pClock ? pClock : &g_steadyClock;
}

std::int64_t CMessageQueue::NowMs() const {
    std::lock_guard lock(m_mutex);
    return m_pClock->NowMs();
}

void CMessageQueue::Reset() {
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    m_timers.clear();
}

} // namespace platform
