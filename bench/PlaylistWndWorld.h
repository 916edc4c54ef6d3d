// A playlist window fed by a player application that forwards the command bus to it, on a
// registry of its own, as the playlist benchmarks use it; all is undone when it goes. And
// the main function of such a benchmark program.
#pragma once

#include "core/CorePrefs.h"
#include "platform/MessageQueue.h"
#include "platform/Registry.h"
#include "playback/ControlCommand.h"
#include "playback/UIControl.h"
#include "skin/AppLink.h"
#include "skin/PlaylistWnd.h"
#include "skin/SnapWnd.h"
#include "tests/support/RecordingPlayerApp.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

class CPlaylistWndWorld {
public:
    CPlaylistWndWorld()
        : m_strRegistry(std::filesystem::temp_directory_path().string() + "/corvella-bench-" +
                        std::to_string(::getpid())) {
        platform::CMessageQueue::Instance().Reset();
        CRegistry::Instance().Reset(m_strRegistry);
        CCorePrefs::ResetToDefaults();
        m_pApp = std::make_unique<testsupport::CRecordingPlayerApp>();
        SetPlayerApp(m_pApp.get());
        m_pWnd = std::make_unique<CPlaylistWnd>();
        m_pWnd->Create(nullptr);
        m_pApp->m_pTarget = m_pWnd.get();
    }
    ~CPlaylistWndWorld() {
        Clear();
        m_pWnd->DestroyWindow();
        m_pWnd.reset();
        SetPlayerApp(nullptr);
        m_pApp.reset();
        CSnapWnd::UnregisterAll();
        CRegistry::Instance().Reset();
        platform::CMessageQueue::Instance().Reset();
        std::error_code ec;
        std::filesystem::remove_all(m_strRegistry, ec);
    }
    CPlaylistWndWorld(const CPlaylistWndWorld&) = delete;
    CPlaylistWndWorld& operator=(const CPlaylistWndWorld&) = delete;

    CUIControl& Control() { return m_pApp->m_control; }
    CPlaylistWnd& Wnd() { return *m_pWnd; }
    void Submit(int code) { m_pApp->SubmitCommand(nullptr, code, 0, 0, {}); }
    // No rows and no clips.
    void Clear() {
        Submit(CmdClosing);
        Control().ClearPlaylist();
    }

private:
    std::string m_strRegistry;
    std::unique_ptr<testsupport::CRecordingPlayerApp> m_pApp;
    std::unique_ptr<CPlaylistWnd> m_pWnd;
};

// Runs the program's benchmarks in a Qt application on the offscreen platform.
inline int RunOffscreenBenchmarks(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
