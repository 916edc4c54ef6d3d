// A control that draws from an off-screen image of its own, re-rendered when its content
// changes.
#pragma once

#include "skin/MemCtrl.h"
#include "skin/SkinImage.h"

#include <memory>

class CMemDraw : public CMemCtrl {
public:
    // The own image is made right after the base create; a zero or negative size gives none.
    void Create(CWnd* pParent, UINT nID, int x, int y, int cx, int cy);
    void Draw(CDC& dc) override;
    void SetSize(int cx, int cy) override;

    // Copies the parent's pixels under the control into the own image.
    virtual void CopyBackground(const CDC& dc);
    // Re-renders the own image; nothing in the base.
    virtual void Redraw() {}
    virtual bool CreateImage(int cx, int cy);
    virtual void ReleaseImage();
    virtual void ResizeImage(int cx, int cy);

    const CSkinImage* GetImage() const { return m_pOwnImage.get(); }

protected:
    std::unique_ptr<CSkinImage> m_pOwnImage;
    SkinPoint m_source{0, 0};
};
