// Corvella's entry point.
#include "platform/Application.h"
#include "platform/DC.h"
#include "platform/WinApp.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace {

// The main window until the skinned windows exist: a 312 × 118 borderless window whose
// destruction ends the program, as closing the player's main window does.
class CStartWnd : public CWnd {
public:
    bool Create() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const int left = screen.left() + (screen.width() - 312) / 2;
        const int top = screen.top() + (screen.height() - 118) / 2;
        if (!CreateTopLevel({left, top, left + 312, top + 118}, "Corvella"))
            return false;
        m_surface.CreateSolid(312, 118, RGB(0x1E, 0x24, 0x30));
        m_surface.FillSolidRect({0, 0, 312, 14}, RGB(0x3A, 0x6E, 0xA5));
        m_surface.DrawText("Corvella", {8, 40, 304, 80}, RGB(0xE8, 0xEC, 0xF2), 20,
                           DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetBackBuffer(&m_surface);
        return true;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    CDC m_surface;
};

class CStartApp : public CWinApp {
public:
    bool InitInstance() override {
        if (!m_wnd.Create())
            return false;
        m_pMainWnd = &m_wnd;
        InstallTerminationHandlers();
        m_wnd.ShowWindow(SW_SHOW);
        return true;
    }

private:
    CStartWnd m_wnd;
};

} // namespace

int main(int argc, char** argv) {
    platform::PrepareApplication();
    QApplication qtApp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // the main window's destruction ends the loop
    CStartApp app;
    return app.Run();
}
