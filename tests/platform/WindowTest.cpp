#include "platform/Clock.h"
#include "platform/DC.h"
#include "platform/MessageBox.h"
#include "platform/MessageQueue.h"
#include "tests/support/RecordingWnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::CMessageQueue::Instance().Reset();
        ASSERT_TRUE(m_wnd.CreateTopLevel({100, 50, 412, 168}, "Test"));
        m_wnd.ShowWindow(SW_SHOW);
        QApplication::processEvents();
        m_wnd.m_received.clear();
    }

    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, pos, m_wnd.GetWidget()->mapToGlobal(pos), button, buttons, mods);
        QApplication::sendEvent(m_wnd.GetWidget(), &e);
    }

    platform::CVirtualClock m_clock;
    CRecordingWnd m_wnd;
};

} // namespace

TEST_F(WindowTest, BorderlessTopLevelHasTheRequestedGeometry) {
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{100, 50, 412, 168}));
    EXPECT_EQ(m_wnd.GetClientRect(), (CRect{0, 0, 312, 118}));
    EXPECT_TRUE(m_wnd.GetWidget()->windowFlags() & Qt::FramelessWindowHint);
    m_wnd.MoveWindow({10, 20, 30, 60});
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{10, 20, 30, 60}));
    auto sizes = m_wnd.Only(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(GET_X_LPARAM(sizes.back().lParam), 20);
    EXPECT_EQ(GET_Y_LPARAM(sizes.back().lParam), 40);
}

TEST_F(WindowTest, MouseEventsArriveAsMessagesWithPositionAndKeyFlags) {
    Mouse(QEvent::MouseButtonPress, {15, 25}, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    Mouse(QEvent::MouseMove, {16, 26}, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {17, 27}, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    Mouse(QEvent::MouseButtonPress, {3, 4}, Qt::RightButton, Qt::RightButton);

    auto down = m_wnd.Only(WM_LBUTTONDOWN);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(down[0].lParam), 15);
    EXPECT_EQ(GET_Y_LPARAM(down[0].lParam), 25);
    EXPECT_EQ(down[0].wParam, MK_LBUTTON | MK_CONTROL);
    auto move = m_wnd.Only(WM_MOUSEMOVE);
    ASSERT_EQ(move.size(), 1u);
    EXPECT_EQ(move[0].wParam, MK_LBUTTON);
    auto up = m_wnd.Only(WM_LBUTTONUP);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].wParam, MK_SHIFT);
    EXPECT_EQ(GET_X_LPARAM(up[0].lParam), 17);
    EXPECT_EQ(m_wnd.Only(WM_RBUTTONDOWN).size(), 1u);
}

TEST_F(WindowTest, KeysArriveAsVirtualKeysAndCharacters) {
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_M, Qt::ControlModifier, "m");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(m_wnd.GetWidget(), &right);
    QApplication::sendEvent(m_wnd.GetWidget(), &letter);
    QApplication::sendEvent(m_wnd.GetWidget(), &release);
    auto keys = m_wnd.Only(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].wParam, VK_RIGHT);
    EXPECT_EQ(keys[1].wParam, WPARAM('M'));
    auto chars = m_wnd.Only(WM_CHAR);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wParam, WPARAM('m'));
    EXPECT_EQ(m_wnd.Only(WM_KEYUP).size(), 1u);
}

TEST_F(WindowTest, DroppedFilesArriveAsLocalPathsInOrder) {
    m_wnd.DragAcceptFiles(true);
    DroppedFiles got;
    m_wnd.m_onMessage = [&](UINT msg, WPARAM wParam, LPARAM) {
        if (msg == WM_DROPFILES)
            got = *reinterpret_cast<DroppedFiles*>(wParam);
    };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/music/b song.mp3"), QUrl("https://example.org/x.mp3"),
                  QUrl::fromLocalFile("/music/a.ogg")});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // QApplication only routes drops that come from its drag manager, so deliver it directly.
    static_cast<QObject*>(m_wnd.GetWidget())->event(&drop);
    EXPECT_EQ(got, (DroppedFiles{"/music/b song.mp3", "/music/a.ogg"}));
}

TEST_F(WindowTest, CloseGoesThroughTheHandlerWhichDestroysByDefault) {
    m_wnd.GetWidget()->close();
    EXPECT_EQ(m_wnd.Only(WM_CLOSE).size(), 1u);
    EXPECT_EQ(m_wnd.Only(WM_DESTROY).size(), 1u);
    EXPECT_FALSE(m_wnd.IsWindow());
}

TEST_F(WindowTest, PaintingCopiesTheBackBuffer) {
    CDC buffer;
    ASSERT_TRUE(buffer.CreateSolid(312, 118, RGB(10, 200, 30)));
    buffer.FillSolidRect({0, 0, 10, 10}, RGB(250, 0, 0));
    m_wnd.SetBackBuffer(&buffer);
    const QImage shot = m_wnd.GetWidget()->grab().toImage();
    EXPECT_EQ(shot.pixel(5, 5), qRgb(250, 0, 0));
    EXPECT_EQ(shot.pixel(100, 100), qRgb(10, 200, 30));
    EXPECT_FALSE(m_wnd.Only(WM_PAINT).empty());
}

TEST_F(WindowTest, ChildWindowsAndCaptureAndTimersBelongToTheirWindow) {
    CRecordingWnd child;
    ASSERT_TRUE(child.CreateChild(&m_wnd, {5, 5, 25, 25}));
    EXPECT_EQ(child.GetParent(), &m_wnd);
    EXPECT_EQ(child.GetWindowRect(), (CRect{5, 5, 25, 25}));
    child.SetCapture();
    EXPECT_EQ(CWnd::GetCapture(), &child);
    CWnd::ReleaseCapture();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(child.Only(WM_CAPTURECHANGED).size(), 1u);

    child.SetTimer(1, 100);
    child.DestroyWindow();
    m_clock.Advance(500); // the destroyed window's timer died with it
    EXPECT_TRUE(child.Only(WM_TIMER).empty());
}

TEST(MessageBoxHook, RequestsReachTheHookWithCaptionTextAndType) {
    std::vector<MessageBoxRequest> seen;
    SetMessageBoxHook([&](const MessageBoxRequest& r) {
        seen.push_back(r);
        return IDYES;
    });
    EXPECT_EQ(MessageBox(nullptr, "Text", "Caption", MB_YESNO | MB_ICONQUESTION), IDYES);
    SetMessageBoxHook({});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Caption");
    EXPECT_EQ(seen[0].text, "Text");
    EXPECT_EQ(seen[0].type, UINT(MB_YESNO | MB_ICONQUESTION));
}

TEST_F(WindowTest, DestroyingAWindowDestroysItsChildrenFirst) {
    CRecordingWnd child;
    ASSERT_TRUE(child.CreateChild(&m_wnd, {5, 5, 25, 25}));
    std::vector<std::string> order;
    child.m_onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_DESTROY)
            order.push_back("child");
    };
    m_wnd.m_onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_DESTROY)
            order.push_back("parent");
    };
    m_wnd.DestroyWindow();
    EXPECT_EQ(order, (std::vector<std::string>{"child", "parent"}));
    EXPECT_FALSE(child.IsWindow());
    EXPECT_EQ(child.GetWidget(), nullptr); // no pointer to a widget that is going away
}
