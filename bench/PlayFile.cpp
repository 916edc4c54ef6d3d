// corvella-playfile FILE: plays one file through the media engine in a real 640 × 480 window
// and exits when it has finished (exit code 1 when it failed). The CPU comparison script runs
// it beside a plain GStreamer player.
#include "platform/QtMessagePump.h"
#include "platform/RegisteredMessages.h"
#include "playback/EngineManager.h"

#include <QApplication>
#include <cstdio>

namespace {

class CPlayerWnd : public CWnd {
public:
    int m_nResult = -1;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_REG_PLAYCOMPLETED) {
            m_nResult = wParam ? 1 : 0;
            QApplication::exit(0); // quit() would close (and so destroy) the windows first
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvella-playfile FILE\n");
        return 2;
    }
    platform::CQtMessagePump pump;
    CPlayerWnd window;
    window.CreateTopLevel({0, 0, 640, 480}, "corvella-playfile");
    window.ShowWindow(SW_SHOW);
    CEngineManager manager;
    manager.ApplyEditionSwitch();
    manager.SetExtensions(EngineDShow, "*.asf;*.mpg;*.mp3;*.mp2;*.mpeg;*.mpa;*.mpga;*.mpv;*.dat;"
                                       "*.avi;*.wav;*.au;*.wma;*.wmv");
    manager.Create({0, 0, 640, 480}, &window, 1);
    manager.SetPath(argv[1]);
    manager.Play(true);
    manager.SetRect({0, 0, 640, 480});
    app.exec();
    return window.m_nResult == 0 ? 0 : 1;
}
