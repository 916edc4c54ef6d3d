#include "skin/PlayWndMenu.h"

#include "skin/AppLink.h"

namespace playwnd {

namespace {

struct MenuLine {
    UINT nID;
    const char* pszText; // null: separator
    int nLevel;          // 1: inside the display-mode pop-up
};

constexpr const char* kModePopup = "&Video Size";

// The table; the pop-up line has id 0 and a text.
constexpr MenuLine kMenu[] = {
    {ID_PLAY_PAUSE, "&Play/Pause\tCtrl+P", 0},
    {ID_STOP, "&Stop\tCtrl+S", 0},
    {0, nullptr, 0},
    {ID_FULL_SCREEN, "&Full-Screen Mode\tCtrl+F", 0},
    {0, kModePopup, 0},
    {ID_MODE_FIT, "&Fit to window", 1},
    {ID_MODE_FIT + 1, "&50%", 1},
    {ID_MODE_FIT + 2, "&100%", 1},
    {ID_MODE_DOUBLE, "&200%", 1},
    {0, nullptr, 0},
    {ID_REPEAT, "&Repeat\tCtrl+R", 0},
};

} // namespace

std::vector<MenuEntry> BuildContextMenu(int nDisplayMode, bool bRepeat) {
    std::vector<MenuEntry> menu;
    for (const MenuLine& line : kMenu) {
        MenuEntry e;
        e.nID = line.nID;
        if (line.pszText)
            e.strText = TranslateText(line.pszText);
        if (line.nLevel == 0) {
            menu.push_back(std::move(e));
            continue;
        }
        e.bRadio = true;
        e.bChecked = int(line.nID - ID_MODE_FIT) == nDisplayMode;
        menu.back().popup.push_back(std::move(e));
    }
    for (MenuEntry& e : menu)
        if (e.nID == ID_REPEAT)
            e.bChecked = bRepeat;
    return menu;
}

} // namespace playwnd
