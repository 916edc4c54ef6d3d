// Animation: frames side by side in the image, stepped by the owner window's timer.
#pragma once

#include "skin/MemCtrl.h"

#include <cstdint>

class CMemAnimation : public CMemCtrl {
public:
    // x, y, width, height, number of frames.
    static constexpr int kLineNumbers = 5;
    bool CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n);

    void Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                int nFrames);
    void Draw(CDC& dc) override;

    void SetTimerOwner(CWnd* pOwner, std::uintptr_t nTimerID);
    void Start();
    void Stop();
    // Called by the owner on each tick: shows the current frame, then steps to the next.
    void NextFrame();
    int GetFrame() const { return m_nFrame; }
    int GetFrameCount() const { return m_nFrames; }

    static constexpr UINT kIntervalMs = 250;

private:
    CWnd* m_pTimerOwner = nullptr;
    std::uintptr_t m_nTimerID = 0;
    UINT m_nInterval = kIntervalMs;
    int m_nFrames = 0;
    int m_nFrame = 0;
};
