// The play window's place in the engine benchmarks: it notes the open and finish reports of
// an engine manager, and the loop is pumped until one arrives.
#pragma once

#include "platform/RegisteredMessages.h"
#include "platform/Wnd.h"

#include <QApplication>

namespace benchsupport {

class CReportWnd : public CWnd {
public:
    bool m_bOpened = false;
    bool m_bFinished = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_REG_OPENSUCCESSED && wParam == 1)
            m_bOpened = true;
        else if (message == WM_REG_PLAYCOMPLETED)
            m_bFinished = true;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

inline void PumpUntil(const bool& flag) {
    while (!flag)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace benchsupport
