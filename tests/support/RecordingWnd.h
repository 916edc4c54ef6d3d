// A message window for tests that records every message it receives, optionally running a
// reaction for each.
#pragma once

#include "platform/Wnd.h"

#include <functional>
#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CRecordingWnd : public CWnd {
public:
    std::vector<RecordedMessage> m_received;
    std::function<void(UINT, WPARAM, LPARAM)> m_onMessage;

    // Messages of one kind, in arrival order.
    std::vector<RecordedMessage> Only(UINT message) const {
        std::vector<RecordedMessage> out;
        for (const auto& m : m_received)
            if (m.message == message)
                out.push_back(m);
        return out;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        m_received.push_back({message, wParam, lParam});
        if (m_onMessage)
            m_onMessage(message, wParam, lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};
