// A skin bitmap held in a memory drawing surface. Controls copy their pieces from it; a window
// also uses it for its off-screen buffers, which may copy themselves back to the surface they
// were made for when they go away.
#pragma once

#include "platform/DC.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CSkinImage : public CDC {
public:
    CSkinImage() = default;
    // A blank (black) off-screen buffer for rect; with bCopyBack it copies its whole rectangle
    // back to pRef at the rectangle's position when destroyed.
    CSkinImage(CDC* pRef, const CRect& rect, bool bCopyBack = false);
    // The same, filled with a solid colour.
    CSkinImage(CDC* pRef, const CRect& rect, COLORREF fill, bool bCopyBack = false);
    ~CSkinImage();
    CSkinImage(const CSkinImage&) = delete;
    CSkinImage& operator=(const CSkinImage&) = delete;

    // A bitmap compiled into the program (the built-in skin).
    bool LoadFromResource(const std::uint8_t* pData, std::size_t nSize);
    bool LoadFromFile(const std::string& strPath, CDC* pRef);

    // Loads a bitmap file into a new image. On failure no image is left: pOut is reset.
    static bool Load(std::unique_ptr<CSkinImage>& pOut, const std::string& strPath, CDC* pRef);

    int GetWidth() const { return m_rect.Width(); }
    int GetHeight() const { return m_rect.Height(); }
    const CRect& GetImageRect() const { return m_rect; }
    CDC* GetReferenceDC() const { return m_pRefDC; }

private:
    CDC* m_pRefDC = nullptr;
    CRect m_rect;
    bool m_bCopyBack = false;
};
