#include "skin/PlayWndMenu.h"

#include "platform/Wnd.h"
#include "skin/PlayerApp.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

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

void AddEntries(QMenu& qmenu, const std::vector<MenuEntry>& menu) {
    QActionGroup* group = nullptr;
    for (const MenuEntry& e : menu) {
        if (e.IsSeparator()) {
            qmenu.addSeparator();
            continue;
        }
        if (!e.popup.empty()) {
            AddEntries(*qmenu.addMenu(QString::fromStdString(e.strText)), e.popup);
            continue;
        }
        QAction* action = qmenu.addAction(QString::fromStdString(e.strText));
        action->setData(QVariant::fromValue(uint(e.nID)));
        action->setCheckable(e.bRadio || e.bChecked);
        action->setChecked(e.bChecked);
        if (e.bRadio) {
            if (!group)
                group = new QActionGroup(&qmenu);
            group->addAction(action);
        }
    }
}

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

const MenuEntry* FindEntry(const std::vector<MenuEntry>& menu, UINT nID) {
    for (const MenuEntry& e : menu) {
        if (e.nID == nID && !e.IsSeparator())
            return &e;
        if (const MenuEntry* inner = FindEntry(e.popup, nID))
            return inner;
    }
    return nullptr;
}

UINT TrackMenu(const std::vector<MenuEntry>& menu, CWnd* pOwner, CPoint ptScreen) {
    QMenu qmenu(pOwner ? pOwner->GetWidget() : nullptr);
    AddEntries(qmenu, menu);
    QAction* chosen = qmenu.exec(QPoint(ptScreen.x, ptScreen.y));
    return chosen ? UINT(chosen->data().toUInt()) : 0;
}

} // namespace playwnd
