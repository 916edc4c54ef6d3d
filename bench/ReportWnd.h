// The play window's place in the engine benchmarks: it notes the open and finish reports of
// an engine manager made with it, and the loop is pumped until one arrives.
#pragma once

#include "platform/RegisteredMessages.h"
#include "platform/Wnd.h"
#include "playback/EngineManager.h"

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

// An engine manager whose media engine takes the given extensions, reporting to parent (made
// here as a top-level window).
inline void CreateEngineManager(CEngineManager& manager, CReportWnd& parent,
                                const char* extensions) {
    parent.CreateTopLevel({0, 0, 320, 240}, "bench");
    manager.ApplyEditionSwitch();
    manager.SetExtensions(EngineDShow, extensions);
    manager.Create({0, 0, 320, 240}, &parent, 1);
}

inline void PumpUntil(const bool& flag) {
    while (!flag)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace benchsupport
