#include "res/MenuTables.h"

#include "res/StringTable.h"

#include <map>

namespace res {

namespace {

using Kind = MenuItem::Kind;

MenuItem Command(int id, std::uint32_t textId, const char* accel = nullptr,
                 bool checkable = false) {
    MenuItem item{Kind::Command, id, LoadString(textId), checkable, true, {}};
    if (accel)
        item.strText += std::string("\t") + accel;
    return item;
}

MenuItem Checked(int id, std::uint32_t textId, const char* accel = nullptr) {
    return Command(id, textId, accel, true);
}

MenuItem Separator() {
    return MenuItem{Kind::Separator, 0, {}, false, true, {}};
}

MenuItem Popup(std::string text, std::vector<MenuItem> items) {
    return MenuItem{Kind::Popup, 0, std::move(text), false, true, std::move(items)};
}

MenuItem Popup(std::uint32_t textId, std::vector<MenuItem> items) {
    return Popup(LoadString(textId), std::move(items));
}

std::vector<MenuItem> SystemMenu() {
    return {Popup(
        "System",
        {
            Command(ID_RESTORE, 4401),
            Separator(),
            Command(ID_APP_ABOUT, 4402),
            Command(ID_HELP_MANUAL, 4403, "F1"),
            Popup(4404, {Command(ID_PREFERENCES, 4405), Checked(ID_ALWAYS_ON_TOP, 4406, "Ctrl+A"),
                         Command(ID_EQUALIZER, 5402)}),
            // The languages are appended each time the menu is shown.
            Popup(IDS_MENU_LANGUAGE, {Command(ID_CONTRIBUTE_TRANSLATION, 4408), Separator()}),
            Popup(4409, {Command(ID_TELL_FRIEND, 4410), Command(ID_HOMEPAGE, 4411),
                         Command(ID_ONLINE_FAQ, 4412), Command(ID_ONLINE_FEEDBACK, 4413),
                         Command(ID_CHECK_UPGRADE, 4414), Command(ID_CHECK_ENGINES, 4415),
                         Command(ID_TIP_OF_THE_DAY, 4416)}),
            Separator(),
            Command(ID_TELL_FRIEND, 4410),
            Separator(),
            Checked(ID_PLAYLIST_WINDOW, 4417),
            Checked(ID_PLAY_WINDOW, 4418),
            Command(ID_RESET_WINDOWS, 4419),
            Separator(),
            Command(ID_OPEN_LOCATION, 5506, "Ctrl+L"),
            Command(ID_EJECT_CD, 4420),
            Checked(ID_REPEAT, 4423, "Ctrl+R"),
            Checked(ID_REPEAT_ONE, 5401, "Ctrl+T"),
            Checked(ID_SHUFFLE, 5400, "Ctrl+H"),
            Checked(ID_MUTE, 4424, "Ctrl+M"),
            Separator(),
            Command(ID_APP_EXIT, 4425),
        })};
}

// The windows' own popups of this resource are added beside "OpenFile" by their windows.
std::vector<MenuItem> MainFrameMenu() {
    return {Popup("OpenFile", {Command(ID_OPEN_MEDIAFILE, 4427), Command(ID_OPEN_CD, 4428),
                               Command(ID_OPEN_VCD, 4429)})};
}

} // namespace

const std::vector<MenuItem>* LoadMenuTable(std::uint32_t id) {
    static const std::map<std::uint32_t, std::vector<MenuItem>> menus = {
        {IDR_MAINFRAME, MainFrameMenu()},
        {IDR_SYSTEMMENU, SystemMenu()},
    };
    auto it = menus.find(id);
    return it == menus.end() ? nullptr : &it->second;
}

const MenuItem* FindMenuPopup(std::uint32_t menuId, const std::string& name) {
    const std::vector<MenuItem>* popups = LoadMenuTable(menuId);
    if (!popups)
        return nullptr;
    for (const MenuItem& popup : *popups) {
        if (popup.kind == Kind::Popup && popup.strText == name)
            return &popup;
    }
    return nullptr;
}

} // namespace res
