#include "platform/Clock.h"
#include "platform/DC.h"
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
    void Send(QEvent&& e) { QApplication::sendEvent(m_wnd.GetWidget(), &e); }
    QMouseEvent Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        return {type, pos, m_wnd.GetWidget()->mapToGlobal(pos), button, buttons, mods};
    }

    platform::CVirtualClock m_clock;
    CRecordingWnd m_wnd;
};

} // namespace

TEST_F(WindowTest, TopLevelGeometryBackBufferChildrenCaptureAndDestruction) {
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{100, 50, 412, 168}));
    EXPECT_EQ(m_wnd.GetClientRect(), (CRect{0, 0, 312, 118}));
    EXPECT_TRUE(m_wnd.GetWidget()->windowFlags() & Qt::FramelessWindowHint);
    CDC buffer;
    ASSERT_TRUE(buffer.CreateSolid(312, 118, RGB(10, 200, 30)));
    buffer.FillSolidRect({0, 0, 10, 10}, RGB(250, 0, 0));
    m_wnd.SetBackBuffer(&buffer);
    const QImage shot = m_wnd.GetWidget()->grab().toImage();
    EXPECT_EQ(shot.pixel(5, 5), qRgb(250, 0, 0));
    EXPECT_EQ(shot.pixel(100, 100), qRgb(10, 200, 30));
    EXPECT_FALSE(m_wnd.Only(WM_PAINT).empty());
    m_wnd.MoveWindow({10, 20, 30, 60});
    EXPECT_EQ(m_wnd.GetWindowRect(), (CRect{10, 20, 30, 60}));
    ASSERT_FALSE(m_wnd.Only(WM_SIZE).empty());
    EXPECT_EQ(m_wnd.Only(WM_SIZE).back().lParam, MAKELPARAM(20, 40));
    // Child windows, capture, and destroying the children first.
    CRecordingWnd child;
    ASSERT_TRUE(child.CreateChild(&m_wnd, {5, 5, 25, 25}));
    EXPECT_EQ(child.GetParent(), &m_wnd);
    EXPECT_EQ(child.GetWindowRect(), (CRect{5, 5, 25, 25}));
    child.SetCapture();
    EXPECT_EQ(CWnd::GetCapture(), &child);
    CWnd::ReleaseCapture();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(child.Only(WM_CAPTURECHANGED).size(), 1u);

    std::vector<std::string> order;
    child.m_onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_DESTROY)
            order.push_back("child");
    };
    m_wnd.m_onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_DESTROY)
            order.push_back("parent");
    };
    m_wnd.GetWidget()->close(); // through the close handler, which destroys by default
    EXPECT_EQ(m_wnd.Only(WM_CLOSE).size(), 1u);
    EXPECT_EQ(order, (std::vector<std::string>{"child", "parent"}));
    EXPECT_FALSE(m_wnd.IsWindow() || child.IsWindow());
    EXPECT_EQ(child.GetWidget(), nullptr); // no pointer to a widget that is going away
}

TEST_F(WindowTest, MouseKeyAndDropEventsArriveAsMessages) {
    Send(Mouse(QEvent::MouseButtonPress, {15, 25}, Qt::LeftButton, Qt::LeftButton,
               Qt::ControlModifier));
    Send(Mouse(QEvent::MouseMove, {16, 26}, Qt::NoButton, Qt::LeftButton));
    Send(Mouse(QEvent::MouseButtonRelease, {17, 27}, Qt::LeftButton, Qt::NoButton,
               Qt::ShiftModifier));
    Send(Mouse(QEvent::MouseButtonPress, {3, 4}, Qt::RightButton, Qt::RightButton));
    Send(QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier));
    Send(QKeyEvent(QEvent::KeyPress, Qt::Key_M, Qt::ControlModifier, "m"));
    Send(QKeyEvent(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier));
    std::vector<std::pair<UINT, WPARAM>> got;
    for (const auto& m : m_wnd.m_received)
        if (m.message >= WM_KEYDOWN && m.message <= WM_MOUSEWHEEL)
            got.emplace_back(m.message, m.wParam);
    EXPECT_EQ(got, (std::vector<std::pair<UINT, WPARAM>>{{WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL},
                                                         {WM_MOUSEMOVE, MK_LBUTTON},
                                                         {WM_LBUTTONUP, MK_SHIFT},
                                                         {WM_RBUTTONDOWN, MK_RBUTTON},
                                                         {WM_KEYDOWN, VK_RIGHT},
                                                         {WM_KEYDOWN, 'M'},
                                                         {WM_CHAR, 'm'},
                                                         {WM_KEYUP, VK_RIGHT}}));
    EXPECT_EQ(m_wnd.Only(WM_LBUTTONDOWN).at(0).lParam, MAKELPARAM(15, 25));
    EXPECT_EQ(m_wnd.Only(WM_LBUTTONUP).at(0).lParam, MAKELPARAM(17, 27));
    // Dropped files arrive as local paths, in order.
    m_wnd.DragAcceptFiles(true);
    DroppedFiles dropped;
    m_wnd.m_onMessage = [&](UINT msg, WPARAM wParam, LPARAM) {
        if (msg == WM_DROPFILES)
            dropped = *reinterpret_cast<DroppedFiles*>(wParam);
    };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/music/b song.mp3"), QUrl("https://example.org/x.mp3"),
                  QUrl::fromLocalFile("/music/a.ogg")});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // QApplication only routes drops that come from its drag manager, so deliver it directly.
    static_cast<QObject*>(m_wnd.GetWidget())->event(&drop);
    EXPECT_EQ(dropped, (DroppedFiles{"/music/b song.mp3", "/music/a.ogg"}));
}
