#include "shell/SystemMenu.h"

#include "platform/CdromDrives.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/Wnd.h"
#include "playback/EngineManager.h"
#include "playback/UIControl.h"
#include "res/StringTable.h"
#include "shell/AboutDlg.h"
#include "shell/DownloadCenterDlg.h"
#include "shell/EqualizerDlg.h"
#include "shell/Language.h"
#include "shell/LanguageMenu.h"
#include "shell/MenuBuilder.h"
#include "shell/PrefsDlg.h"
#include "shell/TipDlg.h"
#include "shell/UpgradeCheckDlg.h"
#include "shell/WidgetTranslator.h"
#include "skin/AppLink.h"

#include <QAction>
#include <QMenu>

namespace shell {

namespace {

constexpr std::uint32_t kIdsAbout = 4507;
constexpr std::uint32_t kIdsProductName = 116;

QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}

QWidget* WidgetOf(CWnd* pWnd) {
    return pWnd ? pWnd->GetWidget() : nullptr;
}

void SetChecked(QMenu& menu, int id, bool checked) {
    if (QAction* pAction = FindMenuItem(menu, id))
        pAction->setChecked(checked);
}

bool HasCdromDrive(const SystemMenuContext& ctx) {
    return ctx.hasCdromDrive ? ctx.hasCdromDrive() : !platform::ListCdromDevices().empty();
}

void PrepareCdItem(QMenu& menu, const SystemMenuContext& ctx) {
    QAction* pAction = FindMenuItem(menu, res::ID_EJECT_CD);
    if (!pAction)
        return;
    const bool drive = HasCdromDrive(ctx);
    const bool open = drive && ctx.isCdDoorOpen && ctx.isCdDoorOpen();
    pAction->setText(ToQ(LoadTranslatedString(open ? res::IDS_CLOSE_CDROM : res::IDS_EJECT_CDROM)));
    pAction->setEnabled(drive);
}

// The languages' submenu is the one holding "Contribute Your Translation", whatever its
// translated text.
QMenu* FindLanguageMenu(QMenu& menu) {
    QAction* pContribute = FindMenuItem(menu, res::ID_CONTRIBUTE_TRANSLATION);
    if (!pContribute)
        return nullptr;
    for (QObject* pObject : pContribute->associatedObjects()) {
        if (auto* pMenu = qobject_cast<QMenu*>(pObject))
            return pMenu;
    }
    return nullptr;
}

void Submit(const SystemMenuContext& ctx, CWnd* pWnd, int code, LPARAM param1 = 0,
            const std::string& text = {}) {
    if (ctx.pApp)
        ctx.pApp->SubmitCommand(pWnd, code, param1, 0, text);
}

int RunDialog(const SystemMenuContext& ctx, QDialog& dlg) {
    return ctx.runDialog ? ctx.runDialog(dlg) : dlg.exec();
}

void ShowManual(CWnd* pWnd, const SystemMenuContext& ctx) {
    const std::string folder =
        ctx.strManualFolder.empty() ? platform::GetProgramFolder() : ctx.strManualFolder;
    const std::string path = folder + res::LoadString(res::IDS_MANUAL_FILE);
    if (!platform::FileExists(path)) {
        TranslatedMessageBox(pWnd, FormatOne(LoadTranslatedString(res::IDS_NO_MANUAL), path),
                             MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Without a program to show it (no desktop browser), the user is told where it is.
    if (!OpenAddress(path, ctx.open))
        TranslatedMessageBox(pWnd, FormatOne(LoadTranslatedString(res::IDS_NO_MANUAL_VIEWER), path),
                             MB_OK | MB_ICONINFORMATION);
}

void CheckMediaEngines(CWnd* pWnd, const SystemMenuContext& ctx) {
    const EngineAvailability engines =
        ctx.engineAvailability ? ctx.engineAvailability() : EngineAvailability{};
    DownloadCenterRunner run;
    if (ctx.runDialog)
        run = [&ctx](CDownloadCenterDlg& dlg) { ctx.runDialog(dlg); };
    if (!CheckEngines(engines, WidgetOf(pWnd), run))
        TranslatedMessageBox(pWnd, res::IDS_ENGINES_INSTALLED, MB_OK | MB_ICONINFORMATION);
}

void ToggleAlwaysOnTop(const SystemMenuContext& ctx) {
    const std::int32_t old = CCorePrefs::Get(CCorePrefs::AlwaysOnTop);
    CCorePrefs::Set(CCorePrefs::AlwaysOnTop, old ? 0 : 1);
    if (ctx.prefChanged)
        ctx.prefChanged(CCorePrefs::AlwaysOnTop, old);
}

void EjectOrCloseCd(CWnd* pWnd, const SystemMenuContext& ctx) {
    Submit(ctx, pWnd, CmdUserCommand);
    if (!HasCdromDrive(ctx) || !ctx.setCdDoor)
        return;
    if (ctx.pApp)
        ctx.pApp->GetController().Stop();
    const bool open = ctx.isCdDoorOpen && ctx.isCdDoorOpen();
    ctx.setCdDoor(!open);
}

// The language items: every window translates itself while the old language is current.
void SwitchLanguageTo(int id, CWnd* pWnd, const SystemMenuContext& ctx) {
    SwitchLanguageByCommand(
        id, [&](const std::string& name) { Submit(ctx, pWnd, CmdTranslate, 0, name); });
}

// Commands that open dialogs or pages.
bool ExecuteDialogCommand(int id, CWnd* pWnd, const SystemMenuContext& ctx) {
    switch (id) {
    case res::ID_APP_ABOUT: {
        Submit(ctx, pWnd, CmdUserCommand);
        CAboutDlg dlg(WidgetOf(pWnd));
        dlg.SetOpener(ctx.open);
        RunDialog(ctx, dlg);
        return true;
    }
    case res::ID_HELP_MANUAL:
        Submit(ctx, pWnd, CmdUserCommand);
        ShowManual(pWnd, ctx);
        return true;
    case res::ID_PREFERENCES:
        OpenPreferences(pWnd, ctx.prefChanged);
        return true;
    case res::ID_EQUALIZER: {
        CEqualizerDlg dlg(WidgetOf(pWnd));
        RunDialog(ctx, dlg);
        return true;
    }
    case res::ID_CHECK_UPGRADE: {
        Submit(ctx, pWnd, CmdUserCommand);
        CUpgradeCheckDlg dlg(WidgetOf(pWnd));
        RunDialog(ctx, dlg);
        return true;
    }
    case res::ID_CHECK_ENGINES:
        CheckMediaEngines(pWnd, ctx);
        return true;
    case res::ID_TIP_OF_THE_DAY: {
        CTipDlg dlg(WidgetOf(pWnd));
        RunDialog(ctx, dlg);
        return true;
    }
    case res::ID_TELL_FRIEND:
        TellAFriend(ctx.open);
        return true;
    case res::ID_HOMEPAGE:
        OpenMakerPage(IDS_HOMEPAGE, ctx.open);
        return true;
    case res::ID_ONLINE_FAQ:
        OpenMakerPage(IDS_FAQ, ctx.open);
        return true;
    case res::ID_ONLINE_FEEDBACK:
        OpenMakerPage(IDS_FEEDBACK, ctx.open);
        return true;
    case res::ID_CONTRIBUTE_TRANSLATION:
        OpenMakerPage(IDS_TRANSLATIONS, ctx.open);
        return true;
    }
    return false;
}

// Commands on the windows and the player.
bool ExecutePlayerCommand(int id, CWnd* pWnd, const SystemMenuContext& ctx) {
    auto call = [](const std::function<void()>& f) {
        if (f)
            f();
    };
    switch (id) {
    case res::ID_RESTORE:
        call(ctx.restoreFromTray);
        return true;
    case res::ID_ALWAYS_ON_TOP:
        ToggleAlwaysOnTop(ctx);
        return true;
    case res::ID_PLAYLIST_WINDOW:
        call(ctx.togglePlaylistWnd);
        return true;
    case res::ID_PLAY_WINDOW:
        call(ctx.togglePlayWnd);
        return true;
    case res::ID_EJECT_CD:
        EjectOrCloseCd(pWnd, ctx);
        return true;
    }
    if (!ctx.pApp)
        return false;
    IPlayerApp& app = *ctx.pApp;
    CUIControl& controller = app.GetController();
    switch (id) {
    case res::ID_RESET_WINDOWS:
        controller.Stop();
        app.PostCommand(CmdResetPositions, 0);
        return true;
    case res::ID_REPEAT:
        controller.ToggleRepeat();
        return true;
    case res::ID_REPEAT_ONE:
        controller.ToggleRepeatOne();
        return true;
    case res::ID_SHUFFLE:
        controller.ToggleShuffle();
        return true;
    case res::ID_MUTE:
        controller.ToggleMute();
        return true;
    case res::ID_APP_EXIT:
        Submit(ctx, pWnd, CmdUserCommand);
        if (CWnd* pMain = app.GetMainWindow())
            pMain->PostMessage(WM_CLOSE);
        return true;
    case res::ID_OPEN_MEDIAFILE:
        Submit(ctx, pWnd, CmdUserCommand);
        app.OpenMediaFiles(pWnd);
        return true;
    case res::ID_OPEN_LOCATION:
        app.OpenLocation(pWnd);
        return true;
    case res::ID_OPEN_CD:
        app.OpenCd(pWnd);
        return true;
    case res::ID_OPEN_VCD:
        app.OpenVcd(pWnd);
        return true;
    }
    return false;
}

} // namespace

void BindEngineManager(SystemMenuContext& ctx, CEngineManager* pManager) {
    if (!pManager)
        return;
    ctx.isCdDoorOpen = [pManager] { return pManager->IsCdDoorOpen(); };
    ctx.setCdDoor = [pManager](bool open) { return pManager->OpenCdDoor(open); };
    ctx.engineAvailability = [pManager] {
        return GetEngineAvailability(*pManager, CheckMediaDecoders());
    };
}

std::unique_ptr<QMenu> LoadSystemMenu(QWidget* pParent) {
    return LoadPopupMenu(res::IDR_SYSTEMMENU, "System", pParent);
}

void PrepareSystemMenu(QMenu& menu, bool bFromTray, const SystemMenuContext& ctx) {
    TranslateMenu(&menu);
    if (bFromTray) {
        menu.setDefaultAction(FindMenuItem(menu, res::ID_RESTORE));
    } else {
        // "Restore" and the separator below it belong to the tray's menu only.
        for (int i = 0; i < 2 && !menu.actions().isEmpty(); ++i) {
            QAction* pFirst = menu.actions().first();
            menu.removeAction(pFirst);
            delete pFirst;
        }
    }
    if (QAction* pAbout = FindMenuItem(menu, res::ID_APP_ABOUT))
        pAbout->setText(
            ToQ(LoadTranslatedString(kIdsAbout) + " " + res::LoadString(kIdsProductName) + "..."));
    SetChecked(menu, res::ID_PLAYLIST_WINDOW, ctx.bPlaylistVisible);
    SetChecked(menu, res::ID_PLAY_WINDOW, ctx.bPlayWndVisible);
    SetChecked(menu, res::ID_ALWAYS_ON_TOP, CCorePrefs::Get(CCorePrefs::AlwaysOnTop) != 0);
    if (ctx.pApp) {
        SetChecked(menu, res::ID_REPEAT, ctx.pApp->GetController().GetRepeat());
        SetChecked(menu, res::ID_REPEAT_ONE, ctx.pApp->GetController().GetRepeatOne());
        SetChecked(menu, res::ID_SHUFFLE, ctx.pApp->GetController().GetShuffle());
        SetChecked(menu, res::ID_MUTE, ctx.pApp->GetController().GetMute());
    }
    PrepareCdItem(menu, ctx);
    if (QMenu* pLanguages = FindLanguageMenu(menu))
        RebuildLanguageMenu(*pLanguages);
}

int ShowPlayerSystemMenu(CWnd* pWnd, CPoint ptScreen, const SystemMenuContext& ctx) {
    std::unique_ptr<QMenu> pMenu = LoadSystemMenu(WidgetOf(pWnd));
    if (!pMenu)
        return 0;
    PrepareSystemMenu(*pMenu, false, ctx);
    const int id = TrackPopupMenu(*pMenu, QPoint(ptScreen.x, ptScreen.y));
    pMenu.reset();
    if (id != 0)
        ExecuteSystemCommand(id, pWnd, ctx);
    return id;
}

bool ExecuteSystemCommand(int id, CWnd* pWnd, const SystemMenuContext& ctx) {
    if (id >= kFirstLanguageCommand && id <= kLastLanguageCommand) {
        SwitchLanguageTo(id, pWnd, ctx);
        return true;
    }
    return ExecuteDialogCommand(id, pWnd, ctx) || ExecutePlayerCommand(id, pWnd, ctx);
}

} // namespace shell
