// Slider: a thumb moved along a track that belongs to the window background. The value runs
// from the minimum to the maximum; a vertical slider grows upwards unless top-is-minimum.
#pragma once

#include "skin/MemCtrl.h"

class CMemSlider : public CMemCtrl {
public:
    // x, y, width, height; base normal; base inactive; thumb width, thumb height; thumb;
    // pressed thumb (each source sx, sy).
    static constexpr int kLineNumbers = 14;
    bool CreateFromLine(CWnd* pParent, UINT nID, CSkinImage* pImage, const int* n);

    void Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy, CSkinImage* pImage,
                SkinPoint normal, SkinPoint inactive, int nThumbWidth, int nThumbHeight,
                SkinPoint thumb, SkinPoint thumbPressed);

    void Draw(CDC& dc) override;
    CRect GetRect() const override; // the thumb
    void OnLButtonDown(UINT nFlags, CPoint pt) override;
    void OnLButtonUp(UINT nFlags, CPoint pt) override;
    void OnMouseMove(UINT nFlags, CPoint pt) override;
    void Cancel() override;

    void SetRangeMax(int nMax) { m_nMax = nMax; }
    int GetRangeMax() const { return m_nMax; }
    void SetValue(int nValue);
    int GetValue() const { return m_nValue; }
    void SetHorizontal(bool b) { m_bHorizontal = b; }
    void SetTopIsMinimum(bool b) { m_bTopIsMin = b; }
    bool IsDragging() const { return m_bDragging; }
    int GetThumbOffset() const { return m_nOffset; }
    // Pixels of track per unit of value.
    double GetScale() const;

private:
    int TrackLength() const;
    bool GrowsUpwards() const { return !m_bHorizontal && !m_bTopIsMin; }
    CPoint ThumbPos() const;
    void MoveThumb(CPoint pt);
    void UpdateValue();

    SkinPoint m_thumb;
    SkinPoint m_thumbPressed;
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
    int m_nOffset = 0;
    int m_nMax = 100;
    int m_nMin = 0;
    int m_nValue = 0;
    bool m_bHorizontal = true;
    bool m_bDragging = false;
    bool m_bTopIsMin = false;
    CPoint m_grab;
};
