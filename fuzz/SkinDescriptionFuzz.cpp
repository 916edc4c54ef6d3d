// The skin description files, read by the three player windows themselves from a copy of the
// sample skin folder (so the bitmaps and cursors they name exist). The first input byte picks
// the window; the rest is its description file.
#include "fuzz/FuzzSupport.h"
#include "platform/MessageQueue.h"
#include "playback/UIControl.h"
#include "skin/MainWnd.h"
#include "skin/PlayWnd.h"
#include "skin/AppLink.h"
#include "skin/PlaylistWnd.h"
#include "skin/SkinCursor.h"

#include <cstdlib>
#include <filesystem>

namespace {

// An application that carries no command anywhere: loading a skin submits none.
class CQuietApp : public IPlayerApp {
public:
    void SubmitCommand(CCmdTarget*, int, LPARAM, LPARAM, const std::string&) override {}
    void PostCommand(WPARAM, LPARAM) override {}
    CUIControl& GetController() override { return m_control; }
    CWnd* GetMainWindow() override { return nullptr; }
    void AddFiles(const std::vector<std::string>&) override {}
    void OpenMediaFiles(CWnd*) override {}
    void OpenCd(CWnd*) override {}
    void OpenVcd(CWnd*) override {}
    void ShowSystemMenu(CWnd*, CPoint) override {}

private:
    CUIControl m_control;
};

const std::string& SkinFolder() {
    static const std::string folder = [] {
        const std::string copy = fuzzsupport::ScratchFolder() + "/skin/";
        std::error_code error;
        std::filesystem::copy(CORVELLA_SAMPLE_SKIN_DIR, copy,
                              std::filesystem::copy_options::recursive, error);
        if (error)
            std::abort();
        return copy;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kFiles[] = {"MainWindow.txt", "PlayWindow.txt", "PlaylistWindow.txt"};
    if (size == 0)
        return 0;
    fuzzsupport::EnsureApplication();
    static CQuietApp app;
    SetPlayerApp(&app);
    const int window = data[0] % 3;
    const std::string& folder = SkinFolder();
    fuzzsupport::WriteScratchFile(std::string("skin/") + kFiles[window],
                                  fuzzsupport::AsText(data + 1, size - 1));
    if (window == 0) {
        CMainWnd wnd;
        wnd.LoadSkin(folder);
    } else if (window == 1) {
        CPlayWnd wnd;
        wnd.LoadSkin(folder);
    } else {
        CPlaylistWnd wnd;
        wnd.LoadSkin(folder);
    }
    CSkinCursors::Clear();
    SetPlayerApp(nullptr);
    platform::CMessageQueue::Instance().Reset();
    return 0;
}
