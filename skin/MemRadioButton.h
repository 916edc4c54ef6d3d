// Radio buttons and their group: a click checks a button (it never unchecks itself) and the
// group keeps exactly the selected member checked.
#pragma once

#include "skin/MemCheckButton.h"

#include <vector>

class CMemRadioGroup;

class CMemRadioButton : public CMemCheckButton {
public:
    void SetGroup(CMemRadioGroup* pGroup) { m_pGroup = pGroup; }
    CMemRadioGroup* GetGroup() const { return m_pGroup; }
    void OnLButtonUp(UINT nFlags, CPoint pt) override;

private:
    CMemRadioGroup* m_pGroup = nullptr;
};

class CMemRadioGroup {
public:
    // Adds a member and tells it its group.
    void Add(CMemRadioButton* pButton);
    // Checks pButton and unchecks every other member, redrawing each.
    void Select(CMemRadioButton* pButton);
    // The first checked member, or null.
    CMemRadioButton* GetChecked() const;

private:
    std::vector<CMemRadioButton*> m_buttons;
};
