// Menus from the menu tables of res/: each action carries its command id as its data (0 for
// separators and popups), so a chosen action, a check mark or a text is found by id. Tracking a
// menu returns the chosen id; tests replace the tracking, which would block on the menu.
#pragma once

#include "res/MenuTables.h"

#include <QPoint>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QWidget;

namespace shell {

// A menu of a popup's items, submenus included.
std::unique_ptr<QMenu> BuildMenu(const res::MenuItem& popup, QWidget* pParent = nullptr);
// The named popup of a menu resource; null when the resource or the popup is missing.
std::unique_ptr<QMenu> LoadPopupMenu(std::uint32_t menuId, const std::string& popupName,
                                     QWidget* pParent = nullptr);

// The command id an action carries; 0 for separators, popups and foreign actions.
int MenuItemId(const QAction* pAction);
// The first action with the id, searched through the submenus; null when none.
QAction* FindMenuItem(const QMenu& menu, int id);
// The submenu whose item text equals text; null when none.
QMenu* FindSubMenu(const QMenu& menu, const QString& text);

// Shows the menu at a screen point until the user picks an item or dismisses it; the chosen
// command id, or 0.
int TrackPopupMenu(QMenu& menu, const QPoint& ptScreen);
// Replaces the tracking (tests: inspect the menu and answer an id); empty restores it.
using MenuTracker = std::function<int(QMenu&, const QPoint&)>;
void SetMenuTracker(MenuTracker tracker);

} // namespace shell
