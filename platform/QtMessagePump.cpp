#include "platform/QtMessagePump.h"

#include "platform/MessageQueue.h"

#include <QMetaObject>
#include <algorithm>

namespace platform {

namespace {
// A pass handles at most this many messages before letting Qt paint and take input.
constexpr int kMessagesPerPass = 200;
} // namespace

CQtMessagePump::CQtMessagePump() {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { ScheduleDispatch(); });
    CMessageQueue::Instance().SetWakeCallback([this] { ScheduleDispatch(); });
    ScheduleDispatch();
}

CQtMessagePump::~CQtMessagePump() {
    CMessageQueue::Instance().SetWakeCallback({});
}

void CQtMessagePump::ScheduleDispatch() {
    if (m_bScheduled.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this, [this] { DispatchPass(); }, Qt::QueuedConnection);
}

void CQtMessagePump::DispatchPass() {
    m_bScheduled = false;
    auto& queue = CMessageQueue::Instance();
    int handled = 0;
    while (handled < kMessagesPerPass && queue.DispatchOne())
        ++handled;
    if (handled == kMessagesPerPass)
        ScheduleDispatch();
    ArmTimer();
}

void CQtMessagePump::ArmTimer() {
    auto due = CMessageQueue::Instance().NextTimerDue();
    if (!due) {
        m_timer.stop();
        return;
    }
    const std::int64_t wait = std::max<std::int64_t>(0, *due - CMessageQueue::Instance().NowMs());
    m_timer.start(int(std::min<std::int64_t>(wait, 24 * 3600 * 1000)));
}

} // namespace platform
