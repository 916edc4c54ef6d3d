// Three-state button (play/pause): each state has its own normal, pressed and hover images;
// the inactive image is shared.
#pragma once

#include "skin/MemButton.h"

#include <array>

class CMemStateButton : public CMemButton {
public:
    // x, y, width, height; state 0 normal, pressed; state 2 normal, pressed; state 1 normal,
    // pressed; inactive; state 0 hover; state 1 hover; state 2 hover (each sx, sy).
    static constexpr int kLineNumbers = 24;
    bool CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n);

    // States outside 0 to 2 are ignored.
    void SetState(int nState);
    int GetState() const { return m_nState; }
    SkinPoint GetHoverSource() const override;

private:
    struct StateImages {
        SkinPoint normal;
        SkinPoint pressed;
        SkinPoint hover;
    };
    std::array<StateImages, 3> m_states;
    int m_nState = 0;
};
