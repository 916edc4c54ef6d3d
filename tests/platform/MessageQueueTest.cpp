#include "platform/MessageQueue.h"
#include "platform/Clock.h"
#include "platform/RegisteredMessages.h"
#include "platform/WinApp.h"
#include "tests/support/RecordingWnd.h"

#include <gtest/gtest.h>
#include <thread>

using platform::CMessageQueue;
using platform::CVirtualClock;

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

    std::vector<UINT> Sequence(UINT from = WM_APP) const {
        std::vector<UINT> seq;
        for (const auto& m : m_wnd.m_received)
            if (m.message >= from)
                seq.push_back(m.message);
        return seq;
    }

    CVirtualClock m_clock;
    CRecordingWnd m_wnd;
};

} // namespace

TEST_F(MessageQueueTest, SentMessagesRunBeforePostedOnesAndPostsKeepTheirOrder) {
    m_wnd.PostMessage(MSG_A, 1, 0);
    m_wnd.PostMessage(MSG_B, 2, 0);
    m_wnd.SendMessage(MSG_C, 3, 0);
    EXPECT_EQ(Sequence(), (std::vector<UINT>{MSG_C}));
    m_clock.Pump();
    EXPECT_EQ(Sequence(), (std::vector<UINT>{MSG_C, MSG_A, MSG_B}));
    EXPECT_EQ(m_wnd.m_received[1].wParam, 1u);
}

TEST_F(MessageQueueTest, SendInsideAHandlerRunsNestedAndPostInsideAHandlerRunsAfterIt) {
    std::vector<std::string> trace;
    m_wnd.m_onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == MSG_A) {
            trace.push_back("A begin");
            m_wnd.PostMessage(MSG_C);
            m_wnd.SendMessage(MSG_B);
            trace.push_back("A end");
        } else if (msg == MSG_B) {
            trace.push_back("B");
        } else if (msg == MSG_C) {
            trace.push_back("C");
        }
    };
    m_wnd.PostMessage(MSG_A);
    m_clock.Pump();
    EXPECT_EQ(trace, (std::vector<std::string>{"A begin", "B", "A end", "C"}));
}

TEST_F(MessageQueueTest, MessagesForADestroyedWindowAreDropped) {
    CRecordingWnd other;
    ASSERT_TRUE(other.CreateMessageWindow());
    other.PostMessage(MSG_A);
    other.DestroyWindow();
    EXPECT_FALSE(other.PostMessage(MSG_B));
    m_clock.Pump();
    EXPECT_TRUE(other.Only(MSG_A).empty());
}

TEST_F(MessageQueueTest, TimersRepeatUntilKilledAndSettingOneAgainRestartsIt) {
    m_wnd.SetTimer(7, 500);
    m_wnd.SetTimer(1, 1000);
    m_clock.Advance(499);
    EXPECT_TRUE(m_wnd.Only(WM_TIMER).empty());
    m_wnd.SetTimer(1, 1000); // replaces: the next tick is 1000 ms from now
    m_clock.Advance(1);
    ASSERT_EQ(m_wnd.Only(WM_TIMER).size(), 1u);
    EXPECT_EQ(m_wnd.Only(WM_TIMER)[0].wParam, 7u);
    m_clock.Advance(998);
    EXPECT_EQ(m_wnd.Only(WM_TIMER).size(), 2u) << "timer 1 not yet, at 999 ms of its 1000";
    m_clock.Advance(1);
    EXPECT_EQ(m_wnd.Only(WM_TIMER).back().wParam, 1u);
    EXPECT_TRUE(m_wnd.KillTimer(7));
    EXPECT_TRUE(m_wnd.KillTimer(1));
    m_clock.Advance(5000);
    EXPECT_EQ(m_wnd.Only(WM_TIMER).size(), 3u);
    EXPECT_FALSE(m_wnd.KillTimer(7));
}

TEST_F(MessageQueueTest, AReplacedTimersQueuedTickIsDropped) {
    m_wnd.SetTimer(1, 0);
    m_wnd.PostMessage(MSG_A);
    m_wnd.m_onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == MSG_A)
            m_wnd.SetTimer(1, 3000);
    };
    m_clock.Pump();
    EXPECT_TRUE(m_wnd.Only(WM_TIMER).empty());
}

TEST_F(MessageQueueTest, AZeroTimerFiresAfterTheMessagesAlreadyQueued) {
    m_wnd.PostMessage(MSG_A);
    m_wnd.SetTimer(2, 0);
    m_wnd.PostMessage(MSG_B);
    m_wnd.m_onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_TIMER)
            m_wnd.KillTimer(2);
    };
    m_clock.Pump();
    std::vector<UINT> order;
    for (const auto& m : m_wnd.m_received)
        if (m.message == WM_TIMER || m.message == MSG_A || m.message == MSG_B)
            order.push_back(m.message);
    EXPECT_EQ(order, (std::vector<UINT>{MSG_A, MSG_B, WM_TIMER}));
}

TEST_F(MessageQueueTest, TimersOfOneWindowFireInDueOrder) {
    m_wnd.SetTimer(1, 1000);
    m_wnd.SetTimer(2, 500);
    m_wnd.SetTimer(3, 60000);
    m_clock.Advance(1000);
    auto ticks = m_wnd.Only(WM_TIMER);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_EQ(ticks[0].wParam, 2u); // 500 ms
    // At 1000 ms both are due; the one set first goes first.
    EXPECT_EQ(ticks[1].wParam, 1u);
    EXPECT_EQ(ticks[2].wParam, 2u);
}

TEST_F(MessageQueueTest, PostingFromOtherThreadsLosesNothing) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([this, t] {
            for (int i = 0; i < 250; ++i)
                m_wnd.PostMessage(MSG_A, WPARAM(t), i);
        });
    for (auto& th : threads)
        th.join();
    m_clock.Pump();
    auto got = m_wnd.Only(MSG_A);
    ASSERT_EQ(got.size(), 1000u);
    // Each thread's own messages keep their order.
    std::vector<LPARAM> last(4, -1);
    for (const auto& m : got) {
        EXPECT_GT(m.lParam, last[m.wParam]);
        last[m.wParam] = m.lParam;
    }
}

TEST_F(MessageQueueTest, AnExceptionInAHandlerIsSwallowed) {
    m_wnd.m_onMessage = [](UINT msg, WPARAM, LPARAM) {
        if (msg == MSG_A)
            throw std::runtime_error("handler failed");
    };
    EXPECT_EQ(m_wnd.SendMessage(MSG_A), 0);
    m_wnd.PostMessage(MSG_A);
    m_wnd.PostMessage(MSG_B);
    m_clock.Pump();
    EXPECT_EQ(m_wnd.Only(MSG_B).size(), 1u);
}

TEST_F(MessageQueueTest, ThreadMessagesReachTheApplicationObject) {
    struct App : CWinApp {
        std::vector<UINT> got;
        void OnThreadMessage(UINT m, WPARAM w, LPARAM l) override {
            got.push_back(m);
            CWinApp::OnThreadMessage(m, w, l);
        }
    } app;
    std::thread([] { PostThreadMessage(MSG_C, 0, 0); }).join();
    m_wnd.PostMessage(MSG_A);
    m_clock.Pump();
    EXPECT_EQ(app.got, (std::vector<UINT>{MSG_C}));
}

TEST(RegisteredMessages, EqualNamesGiveEqualNumbersInTheRegisteredRange) {
    EXPECT_EQ(RegisterWindowMessage("WM_REG_MEMCTRL"), WM_REG_MEMCTRL);
    EXPECT_EQ(RegisterWindowMessage("Some Other Name"), RegisterWindowMessage("Some Other Name"));
    EXPECT_NE(WM_REG_MEMCTRL, WM_REG_SLIDERPOS);
    EXPECT_NE(WM_REG_OPENSUCCESSED, WM_REG_QTOPENSUCCESSED);
    EXPECT_GE(WM_REG_ONOTHERINSTANCECALL, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
}
