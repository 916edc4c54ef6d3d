#include "shell/MenuBuilder.h"

#include <QMenu>

namespace shell {

namespace {

MenuTracker& Tracker() {
    static MenuTracker tracker;
    return tracker;
}

void AddItems(QMenu& menu, const std::vector<res::MenuItem>& items) {
    using Kind = res::MenuItem::Kind;
    for (const res::MenuItem& item : items) {
        if (item.kind == Kind::Separator) {
            menu.addSeparator()->setData(0);
            continue;
        }
        if (item.kind == Kind::Popup) {
            QMenu* pSub = menu.addMenu(QString::fromStdString(item.strText));
            pSub->menuAction()->setData(0);
            pSub->menuAction()->setEnabled(item.bEnabled);
            AddItems(*pSub, item.items);
            continue;
        }
        QAction* pAction = menu.addAction(QString::fromStdString(item.strText));
        pAction->setData(item.nId);
        pAction->setCheckable(item.bCheckable);
        pAction->setEnabled(item.bEnabled);
    }
}

} // namespace

std::unique_ptr<QMenu> BuildMenu(const res::MenuItem& popup, QWidget* pParent) {
    auto pMenu = std::make_unique<QMenu>(QString::fromStdString(popup.strText), pParent);
    AddItems(*pMenu, popup.items);
    return pMenu;
}

std::unique_ptr<QMenu> LoadPopupMenu(std::uint32_t menuId, const std::string& popupName,
                                     QWidget* pParent) {
    const res::MenuItem* pPopup = res::FindMenuPopup(menuId, popupName);
    return pPopup ? BuildMenu(*pPopup, pParent) : nullptr;
}

int MenuItemId(const QAction* pAction) {
    if (!pAction || pAction->isSeparator() || pAction->menu())
        return 0;
    bool ok = false;
    const int id = pAction->data().toInt(&ok);
    return ok ? id : 0;
}

QAction* FindMenuItem(const QMenu& menu, int id) {
    for (QAction* pAction : menu.actions()) {
        if (MenuItemId(pAction) == id && id != 0)
            return pAction;
        if (QMenu* pSub = pAction->menu()) {
            if (QAction* pFound = FindMenuItem(*pSub, id))
                return pFound;
        }
    }
    return nullptr;
}

QMenu* FindSubMenu(const QMenu& menu, const QString& text) {
    for (QAction* pAction : menu.actions()) {
        if (pAction->menu() && pAction->text() == text)
            return pAction->menu();
    }
    return nullptr;
}

int TrackPopupMenu(QMenu& menu, const QPoint& ptScreen) {
    if (Tracker())
        return Tracker()(menu, ptScreen);
    return MenuItemId(menu.exec(ptScreen));
}

void SetMenuTracker(MenuTracker tracker) {
    Tracker() = std::move(tracker);
}

} // namespace shell
