#include "platform/PopupMenu.h"

#include "platform/Wnd.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

namespace {

void AddItems(QMenu& qmenu, const std::vector<CPopupMenuItem>& menu) {
    QActionGroup* group = nullptr;
    for (const CPopupMenuItem& item : menu) {
        if (item.IsSeparator()) {
            qmenu.addSeparator();
            continue;
        }
        if (item.nID == 0) {
            AddItems(*qmenu.addMenu(QString::fromStdString(item.strText)), item.popup);
            continue;
        }
        QAction* action = qmenu.addAction(QString::fromStdString(item.strText));
        action->setData(QVariant::fromValue(uint(item.nID)));
        action->setCheckable(item.bRadio || item.bChecked);
        action->setChecked(item.bChecked);
        if (item.bRadio) {
            if (!group)
                group = new QActionGroup(&qmenu);
            group->addAction(action);
        }
    }
}

} // namespace

const CPopupMenuItem* FindPopupMenuItem(const std::vector<CPopupMenuItem>& menu, UINT nID) {
    for (const CPopupMenuItem& item : menu) {
        if (item.nID == nID && !item.IsSeparator())
            return &item;
        if (const CPopupMenuItem* inner = FindPopupMenuItem(item.popup, nID))
            return inner;
    }
    return nullptr;
}

UINT TrackPopupMenu(const std::vector<CPopupMenuItem>& menu, CWnd* pOwner, CPoint ptScreen) {
    QMenu qmenu(pOwner ? pOwner->GetWidget() : nullptr);
    AddItems(qmenu, menu);
    QAction* chosen = qmenu.exec(QPoint(ptScreen.x, ptScreen.y));
    return chosen ? UINT(chosen->data().toUInt()) : 0;
}
