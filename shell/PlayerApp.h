// The application object: the one running instance of the player. It owns the playback
// controller and the main window, starts them in order, answers later starts of the program,
// offers the command bus and the file operations to the windows, and shuts down in order.
#pragma once

#include "platform/WinApp.h"
#include "playback/CommandBus.h"
#include "playback/UIControl.h"
#include "shell/SingleInstance.h"
#include "shell/SystemMenu.h"
#include "skin/AppLink.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMainWnd;
class CSystemTray;

namespace shell {

class CMprisService;

// The open-file filter ("label (patterns)|patterns|…||") in the file dialog's notation
// ("label (p1 p2);;…").
QString ToDialogFilter(const std::string& filter);

// Set in the environment, start-up shows no modal dialog (engine check, tip of the day).
constexpr const char* kNoStartupDialogsVariable = "CORVELLA_NO_STARTUP_DIALOGS";
bool StartupDialogsAllowed();

} // namespace shell

class CPlayerApp : public CWinApp, public CSingleInstance, public IPlayerApp {
public:
    using SystemMenuHandler = std::function<void(CWnd*, CPoint)>;

    CPlayerApp();
    ~CPlayerApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    void OnOtherInstanceCall(const std::string& cmdLine) override;
    void OnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // IPlayerApp
    void SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1 = 0, LPARAM param2 = 0,
                       const std::string& text = {}) override;
    void PostCommand(WPARAM code, LPARAM param1) override;
    CUIControl& GetController() override { return m_control; }
    CWnd* GetMainWindow() override;
    void AddFiles(const std::vector<std::string>& paths) override;
    void OpenMediaFiles(CWnd* pOwner) override;
    void OpenCd(CWnd* pOwner) override;
    void OpenLocation(CWnd* pOwner) override;
    // What Open Location does with the text typed: a stream's address, a "file:" URI or a path
    // is added at the end of the playlist and played; false when nothing could be added.
    bool AddAndPlayLocation(const std::string& text);
    void OpenVcd(CWnd* pOwner) override;
    void ShowSystemMenu(CWnd* pWnd, CPoint ptScreen) override;
    std::string Translate(const std::string& text) override;
    void OnPrefsDialogClosed(CWnd* pOwner) override;
    bool MinimizeToTray(CWnd* pWnd) override;
    bool RestoreFromTray(CWnd* pWnd) override;

    // The system menu's code installs itself here.
    void SetSystemMenuHandler(SystemMenuHandler handler) { m_systemMenu = std::move(handler); }
    CMainWnd* GetMainWnd() const { return m_pMain.get(); }
    // The tray icon while the icon placement shows one (null otherwise).
    CSystemTray* GetSystemTray() const { return m_pTray.get(); }

    // Stops playback, empties the playlist and its rows, adds the paths, refills the rows,
    // starts the run again, plays when auto-play is on and remembers the folder.
    void ReplaceAndPlay(const std::vector<std::string>& paths);
    void ProcessCommandLine(const std::string& text);
    // Restores minimised windows, or brings them to the top, and activates the main window.
    void BringForward();

private:
    void WireController();
    void CreateMainWindow();
    // The desktop's media controls on the session bus, when there is one.
    void StartMediaControls();
    void RunStartupDialogs();
    void ClearPlaylist();
    void OpenDisc(bool bVideo);
    void WatchApplicationState();
    void ConnectMenus();
    shell::SystemMenuContext MenuContext();
    // Creates or removes the tray icon as the icon placement asks.
    void UpdateSystemTray();
    void TellUnsavedAtExit();

    CUIControl m_control;
    CCommandBus m_bus;
    std::unique_ptr<CMainWnd> m_pMain;
    std::unique_ptr<CSystemTray> m_pTray;
    std::unique_ptr<shell::CMprisService> m_pMpris;
    CForwardedCommandLine m_forwarded;
    SystemMenuHandler m_systemMenu;
    bool m_bRunning = false;
};
