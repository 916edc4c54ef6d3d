// Waiting on the virtual clock for reports that other threads post: the clock stands still while
// its queue is pumped until the condition holds (with a generous limit, so a loaded machine
// passes).
#pragma once

#include "platform/Clock.h"

#include <chrono>
#include <functional>
#include <thread>

namespace testsupport {

inline bool PumpUntil(platform::CVirtualClock& clock, const std::function<bool()>& pred) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!pred() && std::chrono::steady_clock::now() < end) {
        clock.Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pred();
}

} // namespace testsupport
