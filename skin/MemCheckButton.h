// Check button: flips its checked state when released after a press; no inactive look.
#pragma once

#include "skin/MemButton.h"

class CMemCheckButton : public CMemButton {
public:
    // x, y, width, height; normal; inactive; pressed; checked normal; checked pressed; hover;
    // checked hover (each sx, sy).
    static constexpr int kLineNumbers = 18;
    bool CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n);

    void Draw(CDC& dc) override;
    void OnLButtonUp(UINT nFlags, CPoint pt) override;
    SkinPoint GetHoverSource() const override;

    void SetCheck(bool bChecked) { m_bChecked = bChecked; }
    bool IsChecked() const { return m_bChecked; }

protected:
    bool m_bChecked = false;
    SkinPoint m_checkedNormal;
    SkinPoint m_checkedPressed;
    SkinPoint m_checkedHover;
};
