// Time sources for the message queue's timers: the steady clock of the running program and a
// virtual clock that tests move by hand.
#pragma once

#include <cstdint>

namespace platform {

class IClock {
public:
    virtual ~IClock() = default;
    virtual std::int64_t NowMs() const = 0; // milliseconds on a monotonic scale
};

class CSteadyClock : public IClock {
public:
    std::int64_t NowMs() const override;
};

// A clock that stands still until told to move. Installing it on the message queue makes the
// queue's timers deterministic: Pump() runs what is due now, Advance() lets time pass.
class CVirtualClock : public IClock {
public:
    CVirtualClock();           // installs itself as the queue's clock
    ~CVirtualClock() override; // restores the steady clock
    CVirtualClock(const CVirtualClock&) = delete;
    CVirtualClock& operator=(const CVirtualClock&) = delete;

    std::int64_t NowMs() const override { return m_nNow; }

    // Dispatches queued messages and due timer ticks until nothing is left at this instant.
    void Pump();
    // Moves time forward by ms, stopping at each timer's due time to deliver its tick and pump.
    void Advance(std::int64_t ms);

private:
    std::int64_t m_nNow = 0;
};

} // namespace platform
