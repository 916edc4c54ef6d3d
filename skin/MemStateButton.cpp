#include "skin/MemStateButton.h"

bool CMemStateButton::CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n) {
    m_states[0] = {LinePoint(n, 0), LinePoint(n, 1), LinePoint(n, 7)};
    m_states[2] = {LinePoint(n, 2), LinePoint(n, 3), LinePoint(n, 9)};
    m_states[1] = {LinePoint(n, 4), LinePoint(n, 5), LinePoint(n, 8)};
    Create(pParent, nID, n[0], n[1], n[2], n[3], pImage, m_states[0].normal, LinePoint(n, 6),
           m_states[0].pressed, m_states[0].hover);
    m_nState = 0;
    return true;
}

void CMemStateButton::SetState(int nState) {
    if (nState < 0 || nState > 2)
        return;
    m_nState = nState;
    m_normal = m_states[std::size_t(nState)].normal;
    m_pressed = m_states[std::size_t(nState)].pressed;
}

SkinPoint CMemStateButton::GetHoverSource() const {
    const SkinPoint own = m_states[std::size_t(m_nState)].hover;
    return m_nState != 0 && own.IsSet() ? own : m_hover;
}
