// The play window's context menu: a small menu table (ids and English texts), the menu built
// from it with the current display mode and the repeat flag marked, and the tracking of that
// menu as a pop-up at a screen point.
#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <vector>

class CWnd;

namespace playwnd {

enum MenuId : UINT {
    ID_PLAY_PAUSE = 32783,
    ID_STOP = 32784,
    ID_FULL_SCREEN = 32785,
    ID_MODE_FIT = 32786, // 32786 to 32789: display modes 0 to 3
    ID_MODE_DOUBLE = 32789,
    ID_REPEAT = 32790,
};

// One item: a command, a separator (id 0, no text) or a pop-up (id 0, text, items).
struct MenuEntry {
    UINT nID = 0;
    std::string strText;
    bool bChecked = false;
    bool bRadio = false;
    std::vector<MenuEntry> popup;

    bool IsSeparator() const { return nID == 0 && strText.empty(); }
};

// The menu in the user's language; item 4 is the pop-up of the display modes, in which the
// current mode carries the radio mark; repeat is checked while on.
std::vector<MenuEntry> BuildContextMenu(int nDisplayMode, bool bRepeat);
// The entry of an id anywhere in the menu, or null.
const MenuEntry* FindEntry(const std::vector<MenuEntry>& menu, UINT nID);
// Shows the menu at a screen point and returns the chosen id, 0 when none was chosen.
UINT TrackMenu(const std::vector<MenuEntry>& menu, CWnd* pOwner, CPoint ptScreen);

} // namespace playwnd
