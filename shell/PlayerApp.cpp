#include "shell/PlayerApp.h"

#include "core/CommandLineOptions.h"
#include "core/CorePrefs.h"
#include "core/DiscDiscovery.h"
#include "core/MediaTypes.h"
#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "platform/RegisteredMessages.h"
#include "playback/EngineManager.h"
#include "playback/GstSupport.h"
#include "res/BuiltInSkinLayout.h"
#include "res/StringTable.h"
#include "shell/CommandLineProcessor.h"
#include "shell/CommandLineText.h"
#include "shell/DownloadCenterDlg.h"
#include "shell/FileAssociation.h"
#include "shell/Language.h"
#include "shell/ListeningSettings.h"
#include "shell/MprisService.h"
#include "shell/PlayerMenuContext.h"
#include "shell/PrefsDlg.h"
#include "shell/ProfileSettings.h"
#include "shell/ProgramFiles.h"
#include "shell/StoreNoticeBox.h"
#include "shell/SystemTray.h"
#include "shell/TipDlg.h"
#include "skin/BuiltInSkin.h"
#include "skin/MainWnd.h"
#include "skin/SnapWnd.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QInputDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace shell {

QString ToDialogFilter(const std::string& filter) {
    // Fields alternate label, patterns; an empty field ends the list.
    QStringList groups;
    std::size_t start = 0;
    while (start < filter.size()) {
        const std::size_t labelEnd = filter.find('|', start);
        if (labelEnd == std::string::npos || labelEnd == start)
            break;
        const std::size_t patternsEnd = filter.find('|', labelEnd + 1);
        const std::string label = filter.substr(start, labelEnd - start);
        const std::string patterns = filter.substr(
            labelEnd + 1,
            (patternsEnd == std::string::npos ? filter.size() : patternsEnd) - labelEnd - 1);
        // Qt reads the patterns from the parentheses at the end of the label.
        const std::size_t open = label.rfind(" (");
        const QString name =
            QString::fromStdString(open == std::string::npos ? label : label.substr(0, open));
        QString list = QString::fromStdString(patterns);
        list.replace(';', ' ');
        groups << name + " (" + list.simplified() + ")";
        if (patternsEnd == std::string::npos)
            break;
        start = patternsEnd + 1;
    }
    return groups.join(";;");
}

bool StartupDialogsAllowed() {
    return std::getenv(kNoStartupDialogsVariable) == nullptr;
}

} // namespace shell

CPlayerApp::CPlayerApp() = default;

CPlayerApp::~CPlayerApp() {
    if (GetPlayerApp() == this)
        SetPlayerApp(nullptr);
}

// Start-up and shutdown ----------------------------------------------------------------------

// The first file the command line this process started with names (its first word is the
// program); empty when it names none.
static std::string FirstFileArgument() {
    std::vector<std::string> words = core::SplitCommandLine(shell::GetCommandLine());
    if (!words.empty())
        words.erase(words.begin());
    const std::vector<std::string> files = core::ParseCommandLineWords(words).fileArgs;
    return files.empty() ? std::string() : files.front();
}

bool CPlayerApp::InitInstance() {
    // A later start hands its command line to the running instance and ends here.
    if (!Create(res::LoadString(147)))
        return false;
    m_bRunning = true;
    // Files on the command line play at once: GStreamer starts while the settings are read and
    // the windows are made. A start without files leaves it unloaded.
    if (const std::string first = FirstFileArgument(); !first.empty()) {
        platform::LogVerbose("media framework starts beside the windows");
        gstsupport::StartInBackground(first);
    }
    shell::SetProfileKey();
    shell::SetCurrentLanguage(shell::ReadUILanguage());
    shell::LoadListeningSettings(m_control);
    shell::RegisterPlaylistKeys(platform::GetProgramPath());
    SetPlayerApp(this);
    WireController();
    CreateMainWindow();
    if (!m_pMain)
        return false;
    m_pMainWnd = m_pMain.get();
    m_control.SetTimerWindow(m_pMain.get());
    ConnectMenus();
    m_control.Start();
    InstallTerminationHandlers();
    QThread::currentThread()->setPriority(QThread::HighPriority);
    ProcessCommandLine(shell::GetCommandLine());
    // The first clip opens before the windows are shown: GStreamer reads and prerolls it on
    // its own threads while X maps and paints them.
    m_control.RunPendingPlay();
    m_pMain->ShowWindows();
    WatchApplicationState();
    platform::LogVerbose("main window shown");
    // The desktop files (with their database tools) and the engine check, which starts
    // GStreamer, wait until the event loop has shown the windows, so neither delays them.
    QTimer::singleShot(0, QCoreApplication::instance(), [this] {
        if (IsEndRequested())
            return;
        if (m_pMain)
            shell::ShowStoreNotices(m_pMain->GetWidget());
        shell::ReportMissingProgramFiles();
        // Asking whether the desktop has a tray may wait for its session bus (without one,
        // for a bus started on demand), so the icon comes once the windows are up.
        UpdateSystemTray();
        StartMediaControls();
        shell::RegisterDesktopFiles();
        RunStartupDialogs();
    });
    return true;
}

void CPlayerApp::WireController() {
    m_control.SetCommandBus(this);
    m_control.SetTranslator([](const std::string& text) { return shell::TranslateText(text); });
}

void CPlayerApp::StartMediaControls() {
    if (!m_pMain)
        return;
    shell::MprisActions actions;
    actions.raise = [this] { BringForward(); };
    actions.openFile = [this](const std::string& path) { ReplaceAndPlay({path}); };
    auto pService = std::make_unique<shell::CMprisService>(*m_pMain, m_control, actions);
    if (pService->Start())
        m_pMpris = std::move(pService);
}

void CPlayerApp::CreateMainWindow() {
    auto pMain = std::make_unique<CMainWnd>();
    m_bus.SetMainWnd(pMain.get());
    pMain->SetDestroyedHook([] { PostQuitMessage(0); });
    if (!pMain->CreateWindows()) {
        m_bus.SetMainWnd(nullptr);
        pMain.reset();
        return;
    }
    m_pMain = std::move(pMain);
}

void CPlayerApp::ConnectMenus() {
    SetSystemMenuHandler([this](CWnd* pWnd, CPoint pt) {
        if (m_pMain)
            shell::ShowPlayerSystemMenu(pWnd, pt, MenuContext());
    });
}

shell::SystemMenuContext CPlayerApp::MenuContext() {
    if (!m_pMain)
        return {};
    // The windows apply the change themselves; the tray follows the icon placement.
    return shell::BuildSystemMenuContext(*this, *m_pMain,
                                         [this](CCorePrefs::Pref pref, std::int32_t) {
                                             if (pref == CCorePrefs::IconPlacement)
                                                 UpdateSystemTray();
                                         });
}

namespace {

// Icon 128 of the built-in skin; an empty icon when the program lacks it.
QIcon BuiltInIcon() {
    QPixmap pixmap;
    if (const builtin::BuiltInResource* pRes = builtin::FindBuiltInResource(builtin::kIcon))
        pixmap.loadFromData(pRes->pData, uint(pRes->nSize), "BMP");
    return QIcon(pixmap);
}

} // namespace

void CPlayerApp::UpdateSystemTray() {
    if (!m_pMain || shell::EffectiveIconPlacement() == 0) {
        m_pTray.reset();
        return;
    }
    if (m_pTray)
        return;
    auto pTray = std::make_unique<CSystemTray>();
    pTray->SetMenuContext([this] { return MenuContext(); });
    // "Restore", the first item of the tray's menu, is its default.
    pTray->SetMenuDefaultItem(0, true);
    if (pTray->Create(m_pMain.get(), res::LoadString(116), BuiltInIcon()))
        m_pTray = std::move(pTray);
}

void CPlayerApp::RunStartupDialogs() {
    if (!shell::StartupDialogsAllowed())
        return;
    QWidget* pParent = m_pMain ? m_pMain->GetWidget() : nullptr;
    if (auto* pManager = dynamic_cast<CEngineManager*>(m_control.GetEngineManager()))
        shell::CheckEnginesAtStartUp(*pManager, pParent);
    shell::ShowTipAtStartUp(pParent);
}

namespace {

// The window manager minimises and restores the main window by itself too (taskbar, title
// bar); the other two windows follow it as they follow the minimise button.
class CMinimizeWatcher : public QObject {
public:
    explicit CMinimizeWatcher(CMainWnd& wnd) : QObject(wnd.GetWidget()), m_wnd(wnd) {}

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::WindowStateChange && m_wnd.IsWindow()) {
            const bool minimized = m_wnd.IsIconic();
            if (minimized != m_wnd.IsMinimizedAll())
                m_wnd.SendMessage(WM_SYSCOMMAND, minimized ? SC_MINIMIZE : SC_RESTORE, 0);
        }
        return QObject::eventFilter(pObject, pEvent);
    }

private:
    CMainWnd& m_wnd;
};

} // namespace

void CPlayerApp::WatchApplicationState() {
    if (QWidget* pWidget = m_pMain->GetWidget())
        pWidget->installEventFilter(new CMinimizeWatcher(*m_pMain));
    // The three windows come forward together whenever the program becomes active.
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, qApp,
                     [this](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive && m_pMain && m_pMain->IsWindow())
                             m_pMain->SendMessage(WM_ACTIVATEAPP, 1, 0);
                     });
}

int CPlayerApp::ExitInstance() {
    if (m_bRunning) {
        shell::ShowStoreNotices(nullptr);
        m_pMpris.reset(); // it watches the main window
        CSnapWnd::UnregisterAll();
        m_pTray.reset();
        if (m_pMain && m_pMain->IsWindow())
            m_pMain->DestroyWindow();
        m_pMain.reset();
        m_pMainWnd = nullptr;
        m_bus.SetMainWnd(nullptr);
        shell::WriteUILanguage(shell::GetCurrentLanguage());
        shell::SaveListeningSettings(m_control);
        TellUnsavedAtExit();
        Release(); // the listener ends before this object does
        m_bRunning = false;
    }
    SetPlayerApp(nullptr);
    return CWinApp::ExitInstance();
}

// A save that failed on the way out is told before the program ends, unless the session ends
// with it (then standard error has it).
void CPlayerApp::TellUnsavedAtExit() {
    const auto notices = platform::TakeStoreNotices();
    if (!notices.empty() && !IsEndRequested() && shell::StartupDialogsAllowed())
        MessageBox(nullptr, shell::StoreNoticeText(notices), shell::LoadTranslatedString(106),
                   MB_OK | MB_ICONWARNING);
}

// Later starts -------------------------------------------------------------------------------

void CPlayerApp::OnOtherInstanceCall(const std::string& cmdLine) {
    // Listener thread: keep the text and let the application thread do the rest.
    m_forwarded.Store(cmdLine);
    PostThreadMessage(WM_REG_ONOTHERINSTANCECALL, 0, 0);
}

void CPlayerApp::OnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_REG_ONOTHERINSTANCECALL) {
        CWinApp::OnThreadMessage(message, wParam, lParam);
        return;
    }
    const std::string text = m_forwarded.Take();
    platform::LogVerbose("command line from another start: " + text);
    BringForward();
    ProcessCommandLine(text);
}

void CPlayerApp::BringForward() {
    // A window in the tray is hidden rather than minimised; it comes back the same way.
    if (m_pMain && (m_pMain->IsIconic() || m_pMain->IsMinimizedAll()))
        m_pMain->SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    else
        SubmitCommand(nullptr, CmdBringToTop);
    if (m_pMain)
        m_pMain->SetForegroundWindow();
}

void CPlayerApp::ProcessCommandLine(const std::string& text) {
    shell::CCommandLineProcessor processor(m_control, *this, platform::GetProgramPath(),
                                           core::BuildOpenFilter());
    processor.ProcessCommandLine(text);
}

// The command bus ----------------------------------------------------------------------------

void CPlayerApp::SubmitCommand(CCmdTarget* pSender, int code, LPARAM param1, LPARAM param2,
                               const std::string& text) {
    m_bus.SubmitCommand(pSender, code, param1, param2, text);
}

void CPlayerApp::PostCommand(WPARAM code, LPARAM param1) {
    m_bus.PostCommand(code, param1);
}

CWnd* CPlayerApp::GetMainWindow() {
    return m_pMain && m_pMain->IsWindow() ? m_pMain.get() : nullptr;
}

std::string CPlayerApp::Translate(const std::string& text) {
    return shell::TranslateText(text);
}

void CPlayerApp::OnPrefsDialogClosed(CWnd* pOwner) {
    shell::DestroyPrefsDlg(pOwner);
}

bool CPlayerApp::MinimizeToTray(CWnd* pWnd) {
    if (!m_pTray || shell::EffectiveIconPlacement() != 1)
        return false;
    CSystemTray::MinimiseToTray(pWnd);
    return true;
}

bool CPlayerApp::RestoreFromTray(CWnd* pWnd) {
    // Only a window the tray took away comes back from it; a minimised one restores as usual.
    if (!m_pTray || !pWnd || pWnd->IsWindowVisible())
        return false;
    CSystemTray::RestoreFromTray(pWnd);
    return true;
}

void CPlayerApp::ShowSystemMenu(CWnd* pWnd, CPoint ptScreen) {
    if (m_systemMenu)
        m_systemMenu(pWnd, ptScreen);
}

// Files --------------------------------------------------------------------------------------

void CPlayerApp::AddFiles(const std::vector<std::string>& paths) {
    if (paths.empty())
        return;
    m_control.AddFiles(paths, false);
    SubmitCommand(nullptr, CmdAppendRows);
    m_control.Start();
}

// The playlist window's rows point at the clips, so they go before the clips are destroyed.
void CPlayerApp::ClearPlaylist() {
    SubmitCommand(nullptr, CmdClosing);
    m_control.ClearPlaylist();
}

void CPlayerApp::ReplaceAndPlay(const std::vector<std::string>& paths) {
    m_control.Stop();
    ClearPlaylist();
    m_control.AddFiles(paths, false);
    SubmitCommand(nullptr, CmdRefillRows);
    m_control.Start();
    if (CCorePrefs::Get(CCorePrefs::AutoPlay) != 0)
        m_control.Play();
    if (!paths.empty() && !core::IsStreamUri(paths.front()))
        m_control.SetLastOpenFolder(std::string(core::FolderPart(paths.front())));
}

void CPlayerApp::OpenMediaFiles(CWnd* pOwner) {
    const QString filter = shell::ToDialogFilter(
        core::BuildOpenFilter([](const std::string& text) { return shell::TranslateText(text); }));
    const QStringList chosen = QFileDialog::getOpenFileNames(
        pOwner ? pOwner->GetWidget() : nullptr, {},
        QString::fromStdString(m_control.GetLastOpenFolder()), filter);
    if (chosen.isEmpty())
        return;
    SubmitCommand(nullptr, CmdUserCommand);
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(path.toStdString());
    ReplaceAndPlay(paths);
}

void CPlayerApp::OpenLocation(CWnd* pOwner) {
    bool ok = false;
    const QString text = QInputDialog::getText(
        pOwner ? pOwner->GetWidget() : nullptr,
        QString::fromStdString(shell::LoadTranslatedString(5507)),
        QString::fromStdString(shell::LoadTranslatedString(5508)), QLineEdit::Normal, {}, &ok);
    if (!ok)
        return;
    SubmitCommand(nullptr, CmdUserCommand);
    if (!AddAndPlayLocation(text.toStdString()) && !text.trimmed().isEmpty())
        shell::TranslatedMessageBox(pOwner, 5509, MB_OK | MB_ICONERROR);
}

bool CPlayerApp::AddAndPlayLocation(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return false;
    std::string location = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    if (const std::string path = core::FileUriToPath(location); !path.empty())
        location = path;
    const core::AddFilesResult result = m_control.AddFiles({location}, false);
    if (result.added.empty())
        return false;
    SubmitCommand(nullptr, CmdAppendRows);
    m_control.Start();
    m_control.PlayClip(result.added.front(), true);
    return true;
}

void CPlayerApp::OpenCd(CWnd*) {
    OpenDisc(false);
}

void CPlayerApp::OpenVcd(CWnd*) {
    OpenDisc(true);
}

void CPlayerApp::OpenDisc(bool bVideo) {
    SubmitCommand(nullptr, CmdUserCommand);
    const std::vector<std::string> drives = core::ListCdromDrives();
    const core::DiscOpenResult result = bVideo ? core::OpenVcd(drives) : core::OpenCd(drives);
    if (!result.paths.empty()) {
        ReplaceAndPlay(result.paths);
        return;
    }
    ClearPlaylist();
    if (IEngineManagerControl* pManager = m_control.GetEngineManager())
        pManager->SetOverlayText(shell::TranslateText(result.notFoundText));
}
