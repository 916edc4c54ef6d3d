#include "platform/Clock.h"

#include "platform/MessageQueue.h"

#include <chrono>

namespace platform {

std::int64_t CSteadyClock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CVirtualClock::CVirtualClock() {
    CMessageQueue::Instance().SetClock(this);
}

CVirtualClock::~CVirtualClock() {
    CMessageQueue::Instance().SetClock(nullptr);
}

void CVirtualClock::Pump() {
    auto& queue = CMessageQueue::Instance();
    while (queue.DispatchOne()) {
    }
}

void CVirtualClock::Advance(std::int64_t ms) {
    const std::int64_t end = m_nNow + ms;
    Pump();
    for (;;) {
        auto due = CMessageQueue::Instance().NextTimerDue();
        if (!due || *due > end)
            break;
        if (*due > m_nNow)
            m_nNow = *due;
        Pump();
    }
    m_nNow = end;
    Pump();
}

} // namespace platform
