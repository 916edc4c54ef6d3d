// Menu resources as tables: popups, command items with their ids, separators, and the initial
// check, radio and enabled states. Item texts come from the string table, so the language
// files hold them; an accelerator shown behind a tab is not translated.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace res {

enum : std::uint32_t {
    IDR_MAINFRAME = 128, // popups of the windows; "OpenFile" among them
    IDR_SYSTEMMENU = 171,
};

// Command ids of the system menu and of the "OpenFile" popup.
enum : int {
    ID_APP_EXIT = 32772,
    ID_OPEN_MEDIAFILE = 32798,
    ID_OPEN_CD = 32799,
    ID_OPEN_VCD = 32800,
    ID_PLAYLIST_WINDOW = 32803,
    ID_PREFERENCES = 32808,
    ID_RESTORE = 32809,
    ID_PLAY_WINDOW = 32810,
    ID_MUTE = 32811,
    ID_REPEAT = 32812,
    ID_ALWAYS_ON_TOP = 32813,
    ID_TELL_FRIEND = 32814,
    ID_HOMEPAGE = 32819,
    ID_ONLINE_FAQ = 32820,
    ID_CHECK_UPGRADE = 32821,
    ID_EJECT_CD = 32822,
    ID_TIP_OF_THE_DAY = 32823,
    ID_CHECK_ENGINES = 32824,
    ID_ONLINE_FEEDBACK = 32825,
    ID_RESET_WINDOWS = 32827,
    ID_CONTRIBUTE_TRANSLATION = 32828,
    ID_SHUFFLE = 33200,
    ID_REPEAT_ONE = 33201,
    ID_EQUALIZER = 33202,
    ID_OPEN_LOCATION = 33253,
    ID_APP_ABOUT = 57664,
    ID_HELP_MANUAL = 57670,
};

// String ids of the menu texts that the handlers rebuild or show.
enum : std::uint32_t {
    IDS_MANUAL_FILE = 113,
    IDS_MENU_LANGUAGE = 4407,
    IDS_EJECT_CDROM = 4421,
    IDS_CLOSE_CDROM = 4422,
    IDS_ENGINES_INSTALLED = 4426,
    IDS_NO_MANUAL = 4430,
    IDS_NO_MANUAL_VIEWER = 5300,
};

struct MenuItem {
    enum class Kind { Command, Separator, Popup };
    Kind kind = Kind::Command;
    int nId = 0;         // 0 for separators and popups
    std::string strText; // with "\t" and the accelerator where it has one
    bool bCheckable = false;
    bool bEnabled = true;
    std::vector<MenuItem> items; // a popup's items
};

// The popups of a menu resource, in order; null for an unknown id.
const std::vector<MenuItem>* LoadMenuTable(std::uint32_t id);
// A popup of a menu resource by its name ("System", "OpenFile"); null when there is none.
const MenuItem* FindMenuPopup(std::uint32_t menuId, const std::string& name);

} // namespace res
