#include "platform/MessageQueue.h"
#include "platform/Clock.h"
#include "platform/RegisteredMessages.h"
#include "platform/WinApp.h"
#include "tests/support/RecordingWnd.h"

#include <gtest/gtest.h>
#include <thread>

using platform::CMessageQueue;

namespace {

constexpr UINT MSG_A = WM_APP + 1;
constexpr UINT MSG_B = WM_APP + 2;
constexpr UINT MSG_C = WM_APP + 3;

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        CMessageQueue::Instance().Reset();
        ASSERT_TRUE(m_wnd.CreateMessageWindow());
        m_wnd.m_received.clear();
    }
    void TearDown() override { CMessageQueue::Instance().Reset(); }

    // The messages received so far: A, B and C by letter, a timer's tick by its id's digit.
    std::string Seen() const {
        std::string seen;
        for (const auto& m : m_wnd.m_received)
            if (m.message == WM_TIMER || (m.message >= MSG_A && m.message <= MSG_C))
                seen +=
                    m.message == WM_TIMER ? char('0' + m.wParam) : char('A' + m.message - MSG_A);
        return seen;
    }

    platform::CVirtualClock m_clock;
    CRecordingWnd m_wnd;
};

} // namespace

// Sent messages run at once, nested inside a handler; posted ones run after, in their order;
// none reach a destroyed window, and a handler's exception is swallowed.
TEST_F(MessageQueueTest, SentAtOncePostedInOrderNoneForDestroyedWindowsAndExceptionsSwallowed) {
    m_wnd.PostMessage(MSG_A, 1, 0);
    m_wnd.PostMessage(MSG_B, 2, 0);
    m_wnd.SendMessage(MSG_C, 3, 0);
    EXPECT_EQ(Seen(), "C");
    m_clock.Pump();
    EXPECT_EQ(Seen(), "CAB");
    EXPECT_EQ(m_wnd.m_received[1].wParam, 1u);

    m_wnd.m_received.clear();
    m_wnd.m_onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == MSG_A) {
            m_wnd.PostMessage(MSG_C);
            m_wnd.SendMessage(MSG_B);
        }
    };
    m_wnd.PostMessage(MSG_A);
    m_clock.Pump();
    EXPECT_EQ(Seen(), "ABC");
    CRecordingWnd other;
    ASSERT_TRUE(other.CreateMessageWindow());
    other.PostMessage(MSG_A);
    other.SetTimer(1, 100);
    other.DestroyWindow();
    EXPECT_FALSE(other.PostMessage(MSG_B));
    m_clock.Advance(500);
    EXPECT_TRUE(other.Only(MSG_A).empty() && other.Only(WM_TIMER).empty()); // the timer died too

    m_wnd.m_onMessage = [](UINT msg, WPARAM, LPARAM) {
        if (msg == MSG_A)
            throw std::runtime_error("handler failed");
    };
    EXPECT_EQ(m_wnd.SendMessage(MSG_A), 0);
    m_wnd.PostMessage(MSG_A);
    m_wnd.PostMessage(MSG_B);
    m_clock.Pump();
    EXPECT_EQ(Seen(), "ABCAAB");
}

TEST_F(MessageQueueTest,
       TimersRepeatInDueOrderUntilKilledAndZeroAndReplacedTimersTickAfterTheQueue) {
    m_wnd.SetTimer(7, 500);
    m_wnd.SetTimer(1, 1000);
    m_clock.Advance(499);
    m_wnd.SetTimer(1, 1000); // replaces: the next tick is 1000 ms from now
    m_clock.Advance(1);
    EXPECT_EQ(Seen(), "7");
    m_clock.Advance(998);
    EXPECT_EQ(Seen(), "77") << "timer 1 not yet, at 999 ms of its 1000";
    m_clock.Advance(1);
    EXPECT_EQ(Seen(), "771");
    EXPECT_TRUE(m_wnd.KillTimer(7) && m_wnd.KillTimer(1));
    m_clock.Advance(5000);
    EXPECT_FALSE(m_wnd.KillTimer(7));
    m_wnd.SetTimer(1, 1000);
    m_wnd.SetTimer(2, 500);
    m_clock.Advance(1000); // both due at 1000 ms: the one set first goes first
    EXPECT_EQ(Seen(), "771212");

    // A zero timer ticks after the messages already queued; a replaced timer's queued tick is
    // dropped.
    EXPECT_TRUE(m_wnd.KillTimer(1) && m_wnd.KillTimer(2));
    m_wnd.m_received.clear();
    m_wnd.PostMessage(MSG_A);
    m_wnd.SetTimer(2, 0);
    m_wnd.PostMessage(MSG_B);
    m_wnd.SetTimer(1, 0);
    m_wnd.PostMessage(MSG_C);
    m_wnd.m_onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_TIMER)
            m_wnd.KillTimer(2);
        if (msg == MSG_C)
            m_wnd.SetTimer(1, 3000);
    };
    m_clock.Pump();
    EXPECT_EQ(Seen(), "ABC2");
}

TEST_F(MessageQueueTest, PostingFromOtherThreadsLosesNothingAndThreadMessagesReachTheApp) {
    struct App : CWinApp {
        std::vector<UINT> got;
        void OnThreadMessage(UINT m, WPARAM w, LPARAM l) override {
            got.push_back(m);
            CWinApp::OnThreadMessage(m, w, l);
        }
    } app;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([this, t] {
            for (int i = 0; i < 250; ++i)
                m_wnd.PostMessage(MSG_A, WPARAM(t), i);
        });
    threads.emplace_back([] { PostThreadMessage(MSG_C, 0, 0); });
    for (auto& th : threads)
        th.join();
    m_clock.Pump();
    EXPECT_EQ(app.got, (std::vector<UINT>{MSG_C}));
    ASSERT_EQ(m_wnd.Only(MSG_A).size(), 1000u);
    std::vector<LPARAM> last(4, -1); // each thread's own messages keep their order
    for (const auto& m : m_wnd.Only(MSG_A)) {
        EXPECT_GT(m.lParam, last[m.wParam]);
        last[m.wParam] = m.lParam;
    }
}

TEST(RegisteredMessages, EqualNamesGiveEqualNumbersInTheRegisteredRange) {
    EXPECT_EQ(RegisterWindowMessage("WM_REG_MEMCTRL"), WM_REG_MEMCTRL);
    EXPECT_EQ(RegisterWindowMessage("Some Other Name"), RegisterWindowMessage("Some Other Name"));
    EXPECT_TRUE(WM_REG_MEMCTRL != WM_REG_SLIDERPOS &&
                WM_REG_OPENSUCCESSED != WM_REG_QTOPENSUCCESSED);
    EXPECT_TRUE(WM_REG_ONOTHERINSTANCECALL >= 0xC000u && RegisterWindowMessage("") == 0u);
}
