// The system menu's context built from the real windows: the main window's playlist and play
// windows (visibility and toggles), restoring from the tray, the preference changes applied
// to the three windows at once, and the play window's engine manager for the CD door and the
// engine check.
#pragma once

#include "shell/SystemMenu.h"

class CMainWnd;

namespace shell {

// Applies a changed core preference to the windows: always on top, the playlist's font sizes
// and clip numbers, tooltips, and the hidden play window.
void ApplyPrefToWindows(CMainWnd& main, CCorePrefs::Pref pref);

// The context for a menu shown now. onPrefChanged runs after the windows have applied a change
// (the application follows the icon placement there).
SystemMenuContext BuildSystemMenuContext(IPlayerApp& app, CMainWnd& main,
                                         PrefChangeHandler onPrefChanged = {});

} // namespace shell
