#include "skin/MemAnimation.h"

#include "platform/DC.h"
#include "skin/SkinImage.h"

bool CMemAnimation::CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n) {
    Create(pParent, nID, n[0], n[1], n[2], n[3], pImage, n[4]);
    return true;
}

void CMemAnimation::Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy,
                           CSkinImage* pImage, int nFrames) {
    CMemCtrl::Create(pParent, nID, x, y, cx, cy, pImage, SkinPoint{0, 0}, SkinPoint{}, SkinPoint{});
    m_nFrames = nFrames;
    m_nFrame = 0;
}

void CMemAnimation::Draw(CDC& dc) {
    if (m_pImage)
        dc.BitBlt(m_x, m_y, m_cx, m_cy, *m_pImage, m_nFrame * m_cx, 0);
}

void CMemAnimation::SetTimerOwner(CWnd* pOwner, std::uintptr_t nTimerID) {
    m_pTimerOwner = pOwner;
    m_nTimerID = nTimerID;
}

void CMemAnimation::Start() {
    if (m_pTimerOwner) {
        m_pTimerOwner->KillTimer(m_nTimerID);
        m_pTimerOwner->SetTimer(m_nTimerID, m_nInterval);
    }
    m_nFrame = 0;
}

void CMemAnimation::Stop() {
    if (m_pTimerOwner)
        m_pTimerOwner->KillTimer(m_nTimerID);
}

void CMemAnimation::NextFrame() {
    Invalidate();
    // A line without frames (0 or fewer) keeps showing the first.
    m_nFrame = m_nFrame + 1 < m_nFrames ? m_nFrame + 1 : 0;
}
