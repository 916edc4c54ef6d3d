// The play window's context menu: a small menu table (ids and English texts) and the menu built
// from it with the current display mode and the repeat flag marked (shown with
// TrackPopupMenu).
#pragma once

#include "platform/PopupMenu.h"

#include <string>
#include <vector>


namespace playwnd {

enum MenuId : UINT {
    ID_PLAY_PAUSE = 32783,
    ID_STOP = 32784,
    ID_FULL_SCREEN = 32785,
    ID_MODE_FIT = 32786, // 32786 to 32789: display modes 0 to 3
    ID_MODE_DOUBLE = 32789,
    ID_REPEAT = 32790,
};

using MenuEntry = CPopupMenuItem;

// The menu in the user's language; item 4 is the pop-up of the display modes, in which the
// current mode carries the radio mark; repeat is checked while on.
std::vector<MenuEntry> BuildContextMenu(int nDisplayMode, bool bRepeat);

} // namespace playwnd
