// The "&Language" submenu of the system menu: one item per language file, with command ids
// from 9024, and the switch to the language the user picks.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QMenu;

namespace shell {

constexpr int kFirstLanguageCommand = 9024;
constexpr int kLastLanguageCommand = 9087; // 64 languages
// The submenu keeps its first two items ("Contribute Your Translation" and a separator).
constexpr int kFixedLanguageMenuItems = 2;

struct LanguageMenuItem {
    int nId = 0;
    std::string strText; // the name in the current language, a tab, "[", the name, "]"
    bool bChecked = false;
};

// The items for the languages found, at most 64 (the ids the switch serves).
std::vector<LanguageMenuItem> BuildLanguageMenuItems();

// The language name an item's text carries (between "[" and "]" behind the tab); nullopt when
// the text has no such part.
std::optional<std::string> LanguageFromMenuText(const std::string& text);

// Rebuilds the submenu: items from the third on are replaced by the language items; each
// action carries its command id as its data.
void RebuildLanguageMenu(QMenu& menu);

// Switches to the language: unless it is the current one, translateWindows is called with the
// new name while the current language still names the old one, then the new name becomes
// current. True when the language changed.
bool SwitchLanguage(const std::string& name,
                    const std::function<void(const std::string&)>& translateWindows);

// The language switch for a picked command id: the item's text is read from the rebuilt
// items. False for ids outside 9024-9087 or without an item.
bool SwitchLanguageByCommand(int id,
                             const std::function<void(const std::string&)>& translateWindows);

} // namespace shell
