// Translation of whole widget trees: window titles, labels, buttons, check boxes, radio
// buttons, group boxes, tab bars, tool bars, tree items and menus. Fields the user types into
// (line and text edits, spin boxes, combo boxes) are left alone. Nothing happens while the
// current language is the source language.
#pragma once

#include <string>

class QMenu;
class QWidget;

namespace shell {

// From the source language into the current one.
void TranslateWidget(QWidget* pWidget);
// Every item of the menu and its submenus; the part of an item's text behind a tab (its
// shortcut) is kept as it is.
void TranslateMenu(QMenu* pMenu);

// From the current language into language, without changing the current language (the
// language switch translates every window this way before it makes the new one current).
void TranslateWidgetInto(QWidget* pWidget, const std::string& language);
void TranslateMenuInto(QMenu* pMenu, const std::string& language);

} // namespace shell
