// What the player windows ask of the application object: the command bus, the playback
// controller, and the operations behind menu items and dropped files. The application object
// implements it and announces itself once at start-up.
#pragma once

#include "platform/WinTypes.h"
#include "playback/CommandBus.h"

#include <string>
#include <vector>

class CUIControl;
class CWnd;

class IPlayerApp : public ICommandBus {
public:
    virtual CUIControl& GetController() = 0;
    // The main window, once created; null before and after.
    virtual CWnd* GetMainWindow() = 0;
    // Adds files to the playlist as dropped files and the open dialog do (the rows follow).
    virtual void AddFiles(const std::vector<std::string>& paths) = 0;
    // The "OpenFile" menu: the open-files dialog, audio CD and video CD.
    virtual void OpenMediaFiles(CWnd* pOwner) = 0;
    virtual void OpenCd(CWnd* pOwner) = 0;
    virtual void OpenVcd(CWnd* pOwner) = 0;
    // Asks for a stream's address or a path and adds it to the playlist and plays it.
    virtual void OpenLocation(CWnd* /*pOwner*/) {}
    // The system menu of a player window (right click), shown at a screen point.
    virtual void ShowSystemMenu(CWnd* pWnd, CPoint ptScreen) = 0;
    // A text in the user's language; the English text when there is no translation.
    virtual std::string Translate(const std::string& text) { return text; }
    // A window's Preferences dialog was closed (WM_REG_PREFDLGCLOSED): it is destroyed now.
    virtual void OnPrefsDialogClosed(CWnd* /*pOwner*/) {}
    // With the icon in the tray only, the main window goes to and comes back from the tray;
    // false when the window minimises and restores as usual.
    virtual bool MinimizeToTray(CWnd* /*pWnd*/) { return false; }
    virtual bool RestoreFromTray(CWnd* /*pWnd*/) { return false; }
};

// The application object, or null while there is none (tests may install their own).
IPlayerApp* GetPlayerApp();
void SetPlayerApp(IPlayerApp* pApp);
// Every text a player window shows passes through here (unchanged without an application).
std::string TranslateText(const std::string& text);
