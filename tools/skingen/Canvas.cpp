#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace skingen {

namespace {

int Channel(Colour c, int shift) {
    return int((c >> shift) & 0xFF);
}

bool InPolygon(const std::vector<Pt>& pts, double x, double y) {
    bool in = false;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const Pt& a = pts[i];
        const Pt& b = pts[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

} // namespace

Colour Mix(Colour a, Colour b, double t) {
    auto mix = [&](int shift) {
        return std::uint32_t(std::lround(Channel(a, shift) * (1 - t) + Channel(b, shift) * t))
               << shift;
    };
    return mix(24) | mix(16) | mix(8) | mix(0);
}

Canvas::Canvas(int w, int h, Colour fill) : m_w(w), m_h(h), m_px(std::size_t(w * h), fill) {}

void Canvas::Set(int x, int y, Colour c) {
    if (x >= 0 && y >= 0 && x < m_w && y < m_h)
        m_px[std::size_t(y * m_w + x)] = c;
}

void Canvas::Blend(int x, int y, Colour c, double alpha) {
    if (x < 0 || y < 0 || x >= m_w || y >= m_h || alpha <= 0)
        return;
    Colour& p = m_px[std::size_t(y * m_w + x)];
    const double a = alpha * Channel(c, 24) / 255.0;
    const double below = Channel(p, 24) / 255.0;
    const double out = a + below * (1 - a);
    if (out <= 0)
        return;
    auto ch = [&](int shift) {
        const double v = (Channel(c, shift) * a + Channel(p, shift) * below * (1 - a)) / out;
        return std::uint32_t(std::clamp(std::lround(v), 0L, 255L)) << shift;
    };
    p = (std::uint32_t(std::lround(out * 255)) << 24) | ch(16) | ch(8) | ch(0);
}

void Canvas::Fill(int x, int y, int w, int h, Colour c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            Set(i, j, c);
}

void Canvas::VGradient(int x, int y, int w, int h, Colour top, Colour bottom) {
    for (int j = 0; j < h; ++j)
        Fill(x, y + j, w, 1, Mix(top, bottom, h > 1 ? double(j) / (h - 1) : 0));
}

void Canvas::Outline(int x, int y, int w, int h, Colour c) {
    Fill(x, y, w, 1, c);
    Fill(x, y + h - 1, w, 1, c);
    Fill(x, y, 1, h, c);
    Fill(x + w - 1, y, 1, h, c);
}

void Canvas::Bevel(int x, int y, int w, int h, Colour light, Colour dark) {
    Fill(x, y, w, 1, light);
    Fill(x, y, 1, h, light);
    Fill(x, y + h - 1, w, 1, dark);
    Fill(x + w - 1, y, 1, h, dark);
}

void Canvas::Shape(int x0, int y0, int x1, int y1,
                   const std::function<bool(double, double)>& inside,
                   const std::function<Colour(double)>& colour) {
    constexpr int kSamples = 4;
    for (int y = std::max(y0, 0); y < std::min(y1, m_h); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, m_w); ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    hits += inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
            Blend(x, y, colour(y + 0.5), double(hits) / (kSamples * kSamples));
        }
}

void Canvas::Shape(int x0, int y0, int x1, int y1,
                   const std::function<bool(double, double)>& inside, Colour c) {
    Shape(x0, y0, x1, y1, inside, [c](double) { return c; });
}

void Canvas::Polygon(const std::vector<Pt>& pts, Colour c) {
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (const Pt& p : pts) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    Shape(
        int(std::floor(minX)), int(std::floor(minY)), int(std::ceil(maxX)), int(std::ceil(maxY)),
        [&](double x, double y) { return InPolygon(pts, x, y); }, c);
}

void Canvas::Disc(double cx, double cy, double r, Colour c) {
    Ring(cx, cy, -1, r, c);
}

void Canvas::Ring(double cx, double cy, double r0, double r1, Colour c) {
    Shape(
        int(cx - r1) - 1, int(cy - r1) - 1, int(cx + r1) + 2, int(cy + r1) + 2,
        [=](double x, double y) {
            const double d = std::hypot(x - cx, y - cy);
            return d <= r1 && d > r0;
        },
        c);
}

void Canvas::RoundRect(double x, double y, double w, double h, double r, Colour top,
                       Colour bottom) {
    auto inside = [=](double px, double py) {
        const double cx = std::clamp(px, x + r, x + w - r);
        const double cy = std::clamp(py, y + r, y + h - r);
        return px >= x && px <= x + w && py >= y && py <= y + h &&
               std::hypot(px - cx, py - cy) <= r;
    };
    Shape(int(x), int(y), int(std::ceil(x + w)), int(std::ceil(y + h)), inside,
          [=](double py) { return Mix(top, bottom, std::clamp((py - y) / h, 0.0, 1.0)); });
}

void Canvas::Line(double x0, double y0, double x1, double y1, double width, Colour c) {
    const double len = std::hypot(x1 - x0, y1 - y0);
    const double half = width / 2;
    auto inside = [=](double px, double py) {
        const double t =
            len > 0 ? std::clamp(((px - x0) * (x1 - x0) + (py - y0) * (y1 - y0)) / (len * len), 0.0,
                                 1.0)
                    : 0.0;
        return std::hypot(px - (x0 + t * (x1 - x0)), py - (y0 + t * (y1 - y0))) <= half;
    };
    Shape(int(std::min(x0, x1) - half) - 1, int(std::min(y0, y1) - half) - 1,
          int(std::max(x0, x1) + half) + 2, int(std::max(y0, y1) + half) + 2, inside, c);
}

void Canvas::Paste(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.m_h; ++j)
        for (int i = 0; i < src.m_w; ++i)
            Set(x + i, y + j, src.At(i, j));
}

} // namespace skingen
