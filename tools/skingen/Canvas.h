// A small raster for drawing the built-in skin: 0xRRGGBB pixels (0xAARRGGBB for cursors),
// solid and gradient fills, and anti-aliased shapes sampled 4 x 4 per pixel, so edges stay
// crisp at 1x and smooth when the screen scales the pixel art by two.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skingen {

using Colour = std::uint32_t; // 0xAARRGGBB; opaque colours carry 0xFF alpha

constexpr Colour Rgb(int r, int g, int b) {
    return 0xFF000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}
// Mixes a and b: t = 0 gives a, t = 1 gives b.
Colour Mix(Colour a, Colour b, double t);

struct Pt {
    double x;
    double y;
};

class Canvas {
public:
    Canvas(int w, int h, Colour fill = Rgb(0, 0, 0));

    int Width() const { return m_w; }
    int Height() const { return m_h; }
    Colour At(int x, int y) const { return m_px[std::size_t(y * m_w + x)]; }
    void Set(int x, int y, Colour c);
    // Covers the pixel by alpha (0 to 1) of c.
    void Blend(int x, int y, Colour c, double alpha);

    void Fill(int x, int y, int w, int h, Colour c);
    void VGradient(int x, int y, int w, int h, Colour top, Colour bottom);
    void Outline(int x, int y, int w, int h, Colour c);
    // Light top and left edges, dark bottom and right edges.
    void Bevel(int x, int y, int w, int h, Colour light, Colour dark);
    // Any shape given by an inside test, coloured by a function of the y coordinate.
    void Shape(int x0, int y0, int x1, int y1, const std::function<bool(double, double)>& inside,
               const std::function<Colour(double)>& colour);
    void Shape(int x0, int y0, int x1, int y1, const std::function<bool(double, double)>& inside,
               Colour c);
    void Polygon(const std::vector<Pt>& pts, Colour c);
    void Disc(double cx, double cy, double r, Colour c);
    void Ring(double cx, double cy, double r0, double r1, Colour c);
    void RoundRect(double x, double y, double w, double h, double r, Colour top, Colour bottom);
    void Line(double x0, double y0, double x1, double y1, double width, Colour c);
    // Copies another canvas in at (x, y).
    void Paste(const Canvas& src, int x, int y);

private:
    int m_w;
    int m_h;
    std::vector<Colour> m_px;
};

} // namespace skingen
