// Drives the message queue from Qt's event loop with the steady clock: queued messages are
// dispatched soon after they are posted, timers fire through a single Qt timer armed for the
// earliest due time.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>

namespace platform {

class CQtMessagePump : public QObject {
public:
    CQtMessagePump();
    ~CQtMessagePump() override;

private:
    void ScheduleDispatch(); // any thread
    void DispatchPass();     // UI thread
    void ArmTimer();

    QTimer m_timer;
    std::atomic<bool> m_bScheduled{false};
};

} // namespace platform
