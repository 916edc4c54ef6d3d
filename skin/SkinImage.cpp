#include "skin/SkinImage.h"

CSkinImage::CSkinImage(CDC* pRef, const CRect& rect, bool bCopyBack)
    : m_pRefDC(pRef), m_rect(rect), m_bCopyBack(bCopyBack) {
    CreateBlank(rect.Width(), rect.Height());
}

CSkinImage::CSkinImage(CDC* pRef, const CRect& rect, COLORREF fill, bool bCopyBack)
    : m_pRefDC(pRef), m_rect(rect), m_bCopyBack(bCopyBack) {
    CreateSolid(rect.Width(), rect.Height(), fill);
}

CSkinImage::~CSkinImage() {
    if (m_bCopyBack && m_pRefDC && !IsNull())
        m_pRefDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), *this, 0, 0);
}

bool CSkinImage::LoadFromResource(const std::uint8_t* pData, std::size_t nSize) {
    if (!LoadBitmapData(pData, nSize))
        return false;
    m_rect = {0, 0, Width(), Height()};
    return true;
}

bool CSkinImage::LoadFromFile(const std::string& strPath, CDC* pRef) {
    if (!LoadBitmapFile(strPath))
        return false;
    m_pRefDC = pRef;
    m_rect = {0, 0, Width(), Height()};
    return true;
}

bool CSkinImage::Load(std::unique_ptr<CSkinImage>& pOut, const std::string& strPath, CDC* pRef) {
    pOut = std::make_unique<CSkinImage>();
    if (pOut->LoadFromFile(strPath, pRef))
        return true;
    pOut.reset();
    return false;
}
