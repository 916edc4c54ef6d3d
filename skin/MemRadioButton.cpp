#include "skin/MemRadioButton.h"

void CMemRadioButton::OnLButtonUp(UINT nFlags, CPoint pt) {
    if (m_bLPressed && !m_bChecked) {
        if (m_pGroup)
            m_pGroup->Select(this);
        else
            m_bChecked = true;
    }
    CMemButton::OnLButtonUp(nFlags, pt);
}

void CMemRadioGroup::Add(CMemRadioButton* pButton) {
    m_buttons.push_back(pButton);
    pButton->SetGroup(this);
}

void CMemRadioGroup::Select(CMemRadioButton* pButton) {
    for (CMemRadioButton* p : m_buttons) {
        p->SetCheck(p == pButton);
        p->Invalidate();
    }
}

CMemRadioButton* CMemRadioGroup::GetChecked() const {
    for (CMemRadioButton* p : m_buttons)
        if (p->IsChecked())
            return p;
    return nullptr;
}
