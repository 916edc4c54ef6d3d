// Waiting in tests while the real event loop runs: for a condition (with a generous limit, so
// a loaded machine passes), or for a moment in which nothing more should happen.
#pragma once

#include <QApplication>
#include <chrono>
#include <functional>

namespace testsupport {

inline bool WaitFor(const std::function<bool()>& pred, int limitMs = 30000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

inline void Settle(int ms = 200) {
    WaitFor([] { return false; }, ms);
}

} // namespace testsupport
