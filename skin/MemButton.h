// Push button: the base look plus a pressed image while the left button is held on it.
#pragma once

#include "skin/MemCtrl.h"

class CMemButton : public CMemCtrl {
public:
    // x, y, width, height; normal; inactive; pressed; hover (each sx, sy).
    static constexpr int kLineNumbers = 12;
    bool CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n);

    void Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                SkinPoint normal, SkinPoint inactive, SkinPoint pressed, SkinPoint hover);
    void Draw(CDC& dc) override;

protected:
    SkinPoint m_pressed;
};
