// Pop-up menus described as plain items (ids, texts, marks, nested pop-ups) and shown with the
// desktop's menu; tracking returns the chosen id.
#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <vector>

class CWnd;

// One item: a command (id > 0), a separator (id 0, no text) or a pop-up (id 0, text, items).
struct CPopupMenuItem {
    UINT nID = 0;
    std::string strText;
    bool bChecked = false;
    bool bRadio = false; // one of a group of choices, shown with a radio mark
    std::vector<CPopupMenuItem> popup;

    bool IsSeparator() const { return nID == 0 && strText.empty(); }
};

// The item of an id anywhere in the menu, or null.
const CPopupMenuItem* FindPopupMenuItem(const std::vector<CPopupMenuItem>& menu, UINT nID);
// Shows the menu at a screen point, owned by pOwner, and returns the chosen id; 0 when none.
UINT TrackPopupMenu(const std::vector<CPopupMenuItem>& menu, CWnd* pOwner, CPoint ptScreen);
