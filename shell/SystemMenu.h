// The system menu of the player windows (menu 171, popup "System") and the "OpenFile" popup of
// menu 128: preparing the menu each time it pops up, showing it, and carrying out the chosen
// command. What the menu needs from the windows arrives as plain values and callbacks in a
// SystemMenuContext, so nothing here knows the window classes.
#pragma once

#include "core/CorePrefs.h"
#include "platform/WinTypes.h"
#include "playback/EngineCheck.h"
#include "shell/WebLinks.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CEngineManager;
class CWnd;
class IPlayerApp;
class QDialog;
class QMenu;
class QWidget;

namespace shell {

// Runs a modal dialog and returns its result; tests answer without showing it.
using DialogRunner = std::function<int(QDialog&)>;
// A core preference changed through the menu or the Preferences dialog, with its old value
// (the windows apply always on top, font sizes, tooltips, icon placement at once).
using PrefChangeHandler = std::function<void(CCorePrefs::Pref pref, std::int32_t oldValue)>;

struct SystemMenuContext {
    // The command bus, the controller, the main window and the open operations.
    IPlayerApp* pApp = nullptr;
    bool bPlaylistVisible = false;
    bool bPlayWndVisible = false;
    std::function<void()> togglePlaylistWnd;
    std::function<void()> togglePlayWnd;
    // Shows the window again after the tray ("Restore").
    std::function<void()> restoreFromTray;
    PrefChangeHandler prefChanged;
    // The CD drive's door (the engine manager's); without them the door counts as closed and
    // the item does nothing.
    std::function<bool()> isCdDoorOpen;
    std::function<bool(bool open)> setCdDoor;
    // Whether a CD-ROM drive exists; empty: the system's drive list.
    std::function<bool()> hasCdromDrive;
    // Which engines work, for "Check for Media Engines..."; empty: none counts as missing.
    std::function<EngineAvailability()> engineAvailability;
    // Empty: the dialogs run modally, pages open with the desktop's handler.
    DialogRunner runDialog;
    UrlOpener open;
    // The folder Help -> Manual takes the manual from; empty: the program folder.
    std::string strManualFolder;
};

// Fills the CD door and engine callbacks from the play window's engine manager.
void BindEngineManager(SystemMenuContext& ctx, CEngineManager* pManager);

// The "System" popup of menu 171 as built from its table, not yet prepared.
std::unique_ptr<QMenu> LoadSystemMenu(QWidget* pParent = nullptr);
// Translates the menu, drops "Restore" and its separator unless it comes from the tray,
// rebuilds the About text, sets the check marks and the CD item, rebuilds the languages.
void PrepareSystemMenu(QMenu& menu, bool bFromTray, const SystemMenuContext& ctx);

// A right click on a player window: the prepared menu at the screen point, then the chosen
// command carried out. Returns the chosen id (0 when dismissed).
int ShowPlayerSystemMenu(CWnd* pWnd, CPoint ptScreen, const SystemMenuContext& ctx);

// Carries out a command of the system menu or of the "OpenFile" popup for the window pWnd;
// false for an id that is not one of theirs.
bool ExecuteSystemCommand(int id, CWnd* pWnd, const SystemMenuContext& ctx);

} // namespace shell
