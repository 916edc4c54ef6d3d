// A memory drawing surface over a 32-bit image: the surface skins, controls and back buffers
// draw into. Drawing is clipped to the surface and to what is left after excluded rectangles.
#pragma once

#include "platform/WinTypes.h"

#include <QImage>
#include <QRegion>
#include <string>

// Text placement flags for DrawText.
enum : UINT {
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_SINGLELINE = 0x0020,
    DT_END_ELLIPSIS = 0x8000,
};

class CDC {
public:
    CDC() = default;

    bool CreateBlank(int width, int height); // black
    bool CreateSolid(int width, int height, COLORREF color);
    // Reads a BMP file (1, 4, 8, 24 or 32 bits per pixel, uncompressed, bottom-up or top-down).
    // Any other file leaves the surface unchanged and returns false.
    bool LoadBitmapFile(const std::string& path);
    bool LoadBitmapData(const std::uint8_t* data, std::size_t size);
    // Takes an image as it is (converted to the surface format).
    void Attach(const QImage& image);
    void Destroy();

    bool IsNull() const { return m_image.isNull(); }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    CRect GetRect() const { return {0, 0, Width(), Height()}; }
    COLORREF GetPixel(int x, int y) const; // 0xFFFFFFFF outside the surface
    void SetPixel(int x, int y, COLORREF color);

    // Copies a w × h block from src at (sx, sy) to (x, y), clipped at both surfaces' edges and
    // by this surface's clipping. src may be this surface (the block must not overlap itself).
    void BitBlt(int x, int y, int w, int h, const CDC& src, int sx, int sy);
    // Scales the whole of src into rect (smoothly when asked), honouring this surface's clipping.
    void StretchBlt(const CRect& rect, const CDC& src, bool smooth = false);
    void FillSolidRect(const CRect& rect, COLORREF color);
    // Draws UTF-8 text in the system title font at a pixel height inside rect.
    void DrawText(const std::string& text, const CRect& rect, COLORREF color, int pixelHeight,
                  UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    // Width in pixels of text in the title font at a pixel height.
    static int GetTextWidth(const std::string& text, int pixelHeight);

    // Clipping: excluded rectangles are left untouched by every drawing call until the clip
    // is reset.
    void ExcludeClipRect(const CRect& rect);
    void ResetClip();

    const QImage& Image() const { return m_image; }
    QImage& Image() { return m_image; }

private:
    QRegion ClipRegion() const;

    QImage m_image;
    QRegion m_excluded;
};
