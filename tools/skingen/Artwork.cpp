// The look: a graphite chassis with sand-coloured title bars and keys, and a warm liquid-crystal
// panel whose colours are the label's own, so glyphs, label and panel meet without seams.
// Keys fill their whole rectangle (controls are copied without transparency), except the round
// play key, whose corners are cut from the background it sits on.
#include "Artwork.h"

#include "PixelFont.h"
#include "res/BuiltInSkinLayout.h"

#include <array>
#include <cmath>
#include <string>

namespace skingen {

namespace {

using namespace builtin;

constexpr double kPi = 3.14159265358979;

// Palette.
constexpr Colour kBodyTop = Rgb(86, 82, 70);
constexpr Colour kBodyBottom = Rgb(48, 45, 38);
constexpr Colour kBody = Rgb(66, 63, 54);
constexpr Colour kEdgeLight = Rgb(128, 121, 101);
constexpr Colour kEdgeDark = Rgb(24, 22, 18);
constexpr Colour kWell = Rgb(34, 32, 27);
constexpr Colour kLcd = Rgb(kLabelBack.r, kLabelBack.g, kLabelBack.b);
constexpr Colour kInk = Rgb(78, 71, 38);
constexpr Colour kGhost = Rgb(226, 221, 182);
constexpr Colour kAmber = Rgb(232, 146, 36);
constexpr Colour kAmberGlow = Rgb(255, 196, 92);
constexpr Colour kBlack = Rgb(0, 0, 0);

enum class Look { Normal, Pressed, Inactive, Hover };

struct KeyColours {
    Colour top, bottom, ink, rim;
};

KeyColours KeyLook(Look look) {
    switch (look) {
    case Look::Pressed:
        return {Rgb(150, 139, 98), Rgb(182, 170, 126), Rgb(40, 36, 26), kEdgeDark};
    case Look::Inactive:
        return {Rgb(132, 128, 116), Rgb(108, 105, 95), Rgb(84, 81, 72), Rgb(40, 38, 33)};
    case Look::Hover:
        return {Rgb(236, 226, 184), Rgb(196, 182, 132), Rgb(150, 84, 12), kEdgeDark};
    case Look::Normal:
    default:
        return {Rgb(216, 206, 164), Rgb(170, 158, 114), Rgb(52, 47, 34), kEdgeDark};
    }
}

// A key filling its rectangle: dark rim, bevelled face; the ink colour for its symbol.
Colour DrawKey(Canvas& c, int x, int y, int w, int h, Look look) {
    const KeyColours k = KeyLook(look);
    c.Fill(x, y, w, h, k.rim);
    c.VGradient(x + 1, y + 1, w - 2, h - 2, k.top, k.bottom);
    if (look == Look::Pressed)
        c.Bevel(x + 1, y + 1, w - 2, h - 2, Mix(k.top, kEdgeDark, 0.4), Mix(k.bottom, kLcd, 0.3));
    else
        c.Bevel(x + 1, y + 1, w - 2, h - 2, Mix(k.top, Rgb(255, 255, 255), 0.5),
                Mix(k.bottom, kEdgeDark, 0.3));
    return k.ink;
}

// Symbols, drawn in a box centred at (cx, cy) of size s.
enum class Sym {
    Prev,
    Play,
    Pause,
    Stop,
    Next,
    Open,
    FullScreen,
    Load,
    New,
    Add,
    Remove,
    Sort,
    Save
};

void DrawSymbol(Canvas& c, Sym sym, double cx, double cy, double s, Colour ink) {
    const double h = s / 2;
    switch (sym) {
    case Sym::Play:
        c.Polygon(
            {{cx - h * 0.7, cy - h * 0.85}, {cx + h * 0.85, cy}, {cx - h * 0.7, cy + h * 0.85}},
            ink);
        break;
    case Sym::Pause:
        c.Polygon({{cx - h * 0.75, cy - h * 0.8},
                   {cx - h * 0.2, cy - h * 0.8},
                   {cx - h * 0.2, cy + h * 0.8},
                   {cx - h * 0.75, cy + h * 0.8}},
                  ink);
        c.Polygon({{cx + h * 0.2, cy - h * 0.8},
                   {cx + h * 0.75, cy - h * 0.8},
                   {cx + h * 0.75, cy + h * 0.8},
                   {cx + h * 0.2, cy + h * 0.8}},
                  ink);
        break;
    case Sym::Stop:
        c.Polygon({{cx - h * 0.7, cy - h * 0.7},
                   {cx + h * 0.7, cy - h * 0.7},
                   {cx + h * 0.7, cy + h * 0.7},
                   {cx - h * 0.7, cy + h * 0.7}},
                  ink);
        break;
    case Sym::Prev:
    case Sym::Next: {
        const double d = sym == Sym::Next ? 1 : -1;
        c.Polygon({{cx - d * h * 0.8, cy - h * 0.75},
                   {cx + d * h * 0.45, cy},
                   {cx - d * h * 0.8, cy + h * 0.75}},
                  ink);
        c.Polygon({{cx + d * h * 0.5, cy - h * 0.75},
                   {cx + d * h * 0.85, cy - h * 0.75},
                   {cx + d * h * 0.85, cy + h * 0.75},
                   {cx + d * h * 0.5, cy + h * 0.75}},
                  ink);
        break;
    }
    case Sym::Open:
        c.Polygon(
            {{cx - h * 0.85, cy + h * 0.15}, {cx, cy - h * 0.8}, {cx + h * 0.85, cy + h * 0.15}},
            ink);
        c.Polygon({{cx - h * 0.85, cy + h * 0.45},
                   {cx + h * 0.85, cy + h * 0.45},
                   {cx + h * 0.85, cy + h * 0.8},
                   {cx - h * 0.85, cy + h * 0.8}},
                  ink);
        break;
    case Sym::FullScreen:
        for (int sx = -1; sx <= 1; sx += 2)
            for (int sy = -1; sy <= 1; sy += 2) {
                const double px = cx + sx * h * 0.8, py = cy + sy * h * 0.8;
                c.Line(px, py, px - sx * h * 0.6, py, 1.4, ink);
                c.Line(px, py, px, py - sy * h * 0.6, 1.4, ink);
            }
        break;
    case Sym::Load: // a folder
        c.Polygon({{cx - h, cy - h * 0.6},
                   {cx - h * 0.2, cy - h * 0.6},
                   {cx, cy - h * 0.35},
                   {cx + h, cy - h * 0.35},
                   {cx + h, cy + h * 0.75},
                   {cx - h, cy + h * 0.75}},
                  ink);
        c.Line(cx - h * 0.75, cy - h * 0.05, cx + h * 0.75, cy - h * 0.05, 1, Mix(ink, kLcd, 0.6));
        break;
    case Sym::New: // a blank page
        c.Polygon({{cx - h * 0.7, cy - h},
                   {cx + h * 0.3, cy - h},
                   {cx + h * 0.7, cy - h * 0.6},
                   {cx + h * 0.7, cy + h},
                   {cx - h * 0.7, cy + h}},
                  ink);
        c.Polygon({{cx - h * 0.45, cy - h * 0.7},
                   {cx + h * 0.2, cy - h * 0.7},
                   {cx + h * 0.45, cy - h * 0.45},
                   {cx + h * 0.45, cy + h * 0.75},
                   {cx - h * 0.45, cy + h * 0.75}},
                  Mix(ink, kLcd, 0.75));
        break;
    case Sym::Add:
        c.Line(cx - h * 0.8, cy, cx + h * 0.8, cy, 2, ink);
        c.Line(cx, cy - h * 0.8, cx, cy + h * 0.8, 2, ink);
        break;
    case Sym::Remove:
        c.Line(cx - h * 0.8, cy, cx + h * 0.8, cy, 2, ink);
        break;
    case Sym::Sort:
        c.Polygon({{cx - h * 0.9, cy - h * 0.1}, {cx - h * 0.45, cy - h * 0.9}, {cx, cy - h * 0.1}},
                  ink);
        c.Line(cx - h * 0.45, cy - h * 0.2, cx - h * 0.45, cy + h * 0.9, 1.3, ink);
        c.Polygon({{cx, cy + h * 0.1}, {cx + h * 0.45, cy + h * 0.9}, {cx + h * 0.9, cy + h * 0.1}},
                  ink);
        c.Line(cx + h * 0.45, cy - h * 0.9, cx + h * 0.45, cy + h * 0.2, 1.3, ink);
        break;
    case Sym::Save: // a disk
        c.Polygon({{cx - h * 0.85, cy - h * 0.85},
                   {cx + h * 0.55, cy - h * 0.85},
                   {cx + h * 0.85, cy - h * 0.55},
                   {cx + h * 0.85, cy + h * 0.85},
                   {cx - h * 0.85, cy + h * 0.85}},
                  ink);
        c.Fill(int(cx - h * 0.45), int(cy - h * 0.85), int(h * 0.9), int(h * 0.6) + 1,
               Mix(ink, kLcd, 0.7));
        c.Fill(int(cx - h * 0.5), int(cy + h * 0.2), int(h) + 1, int(h * 0.5) + 1,
               Mix(ink, kLcd, 0.85));
        break;
    }
}

// Tiny pixel symbols of the 10 x 9 window keys (5 x 5 dots).
using Dots = std::array<const char*, 5>;
constexpr Dots kDotsMenu{"#####", ".....", "#####", ".....", "#####"};
constexpr Dots kDotsMinimize{".....", ".....", ".....", ".....", "#####"};
constexpr Dots kDotsShade{".....", "..#..", ".#.#.", "#...#", "....."};
constexpr Dots kDotsExpand{".....", "#...#", ".#.#.", "..#..", "....."};
constexpr Dots kDotsClose{"#...#", ".#.#.", "..#..", ".#.#.", "#...#"};
constexpr Dots kDotsGrip{"....#", "...#.", "..#.#", ".#.#.", "#.#.#"};
constexpr Dots kDotsSpeaker{"...#.", ".##..", "###..", ".##..", "...#."};
constexpr Dots kDotsMuted{"...#.", ".##.#", "###..", ".##.#", "...#."};

void DrawDots(Canvas& c, int x, int y, const Dots& dots, Colour ink) {
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 5; ++i)
            if (dots[std::size_t(j)][i] == '#')
                c.Set(x + i, y + j, ink);
}

constexpr std::array<Look, 4> kRowLooks{Look::Normal, Look::Pressed, Look::Inactive, Look::Hover};

// A sheet of 10 x 9 window keys: one column per symbol, rows normal, pressed, inactive, hover.
void DrawWindowKeys(Canvas& c, int x0, const std::vector<Dots>& symbols) {
    for (std::size_t col = 0; col < symbols.size(); ++col)
        for (std::size_t row = 0; row < kRowLooks.size(); ++row) {
            const int x = x0 + int(col) * 10, y = int(row) * 9;
            const Colour ink = DrawKey(c, x, y, 10, 9, kRowLooks[row]);
            const int press = kRowLooks[row] == Look::Pressed ? 1 : 0;
            DrawDots(c, x + 3 + press, y + 2 + press, symbols[col], ink);
        }
}

// Engraved text: a light line under dark letters.
void Engrave(Canvas& c, int x, int y, const std::string& text, Colour ink, Colour light) {
    DrawText(c, x, y + 1, text, light);
    DrawText(c, x, y, text, ink);
}

// A title bar strip (18 high) with grooves; no caption.
void TitleStrip(Canvas& c, int x, int y, int w, bool active) {
    const Colour top = active ? Rgb(214, 198, 134) : Rgb(150, 147, 136);
    const Colour bottom = active ? Rgb(164, 148, 92) : Rgb(114, 111, 101);
    c.VGradient(x, y, w, 18, top, bottom);
    c.Fill(x, y, w, 1, active ? Rgb(240, 230, 184) : Rgb(178, 175, 165));
    c.Fill(x, y + 17, w, 1, kEdgeDark);
    const Colour groove = active ? Rgb(128, 114, 66) : Rgb(96, 94, 86);
    const Colour lit = active ? Rgb(230, 218, 164) : Rgb(166, 163, 153);
    for (int gy : {7, 10}) {
        c.Fill(x, y + gy, w, 1, groove);
        c.Fill(x, y + gy + 1, w, 1, lit);
    }
}

// A caption plaque centred in [x, x + w) of a title strip.
void Caption(Canvas& c, int x, int y, int w, const std::string& text, bool active) {
    const int tw = TextWidth(text);
    const int px = x + (w - tw) / 2 - 5;
    c.VGradient(px, y + 3, tw + 10, 12, active ? Rgb(206, 190, 126) : Rgb(144, 141, 130),
                active ? Rgb(178, 162, 104) : Rgb(124, 121, 111));
    c.Bevel(px, y + 3, tw + 10, 12, active ? Rgb(128, 114, 66) : Rgb(96, 94, 86),
            active ? Rgb(236, 224, 172) : Rgb(172, 169, 159));
    Engrave(c, px + 5, y + 6, text, active ? Rgb(58, 50, 26) : Rgb(78, 76, 70),
            active ? Rgb(226, 212, 156) : Rgb(160, 157, 147));
}

// The outer rim of a window's title: lighter left end, darker right end.
void StripEnds(Canvas& c, int x, int y, int w, bool left, bool right) {
    if (left)
        c.Fill(x, y, 1, 18, kEdgeLight);
    if (right)
        c.Fill(x + w - 1, y, 1, 18, kEdgeDark);
}

// A recessed panel of the liquid-crystal display.
void LcdPanel(Canvas& c, int x, int y, int w, int h) {
    c.Fill(x - 2, y - 2, w + 4, h + 4, kWell);
    c.Bevel(x - 2, y - 2, w + 4, h + 4, kEdgeDark, kEdgeLight);
    c.Fill(x, y, w, h, kLcd);
    c.Fill(x, y, w, 1, Mix(kLcd, kInk, 0.25));
}

// Main window ----------------------------------------------------------------------------------

void MainTitle(Canvas& c, int y, bool active) {
    TitleStrip(c, 0, y, 312, active);
    Caption(c, 0, y, 312, "CORVELLA", active);
    StripEnds(c, 0, y, 312, true, true);
}

Canvas MainBackground() {
    Canvas c(312, 118);
    c.VGradient(0, 18, 312, 100, kBodyTop, kBodyBottom);
    c.Bevel(0, 18, 312, 100, kEdgeLight, kEdgeDark);
    MainTitle(c, 0, true);
    // The well of the round play key.
    c.Disc(45.5, 65.5, 35, kEdgeLight);
    c.Disc(45, 65, 35, kWell);
    // The display: clip name on top, state, type, mute, loop and time below.
    LcdPanel(c, 100, 22, 163, 35);
    // The volume track and the position track (the thumbs are controls).
    c.Fill(287, 19, 3, 42, kWell);
    c.Fill(290, 19, 1, 42, kEdgeLight);
    c.Fill(98, 67, 167, 3, kWell);
    c.Fill(98, 70, 167, 1, kEdgeLight);
    // Wells behind the key rows.
    c.Outline(95, 78, 114, 20, kEdgeDark);
    c.Outline(242, 78, 64, 20, kEdgeDark);
    // A speaker grille between the key rows, and the maker's line at the bottom.
    for (int gy = 81; gy <= 93; gy += 3)
        for (int gx = 215; gx <= 236; gx += 3) {
            c.Set(gx, gy, kEdgeDark);
            c.Set(gx + 1, gy + 1, Mix(kBody, kEdgeLight, 0.5));
        }
    Engrave(c, 96, 105, "SKINNED MEDIA PLAYER", Rgb(36, 34, 28), Rgb(96, 91, 77));
    return c;
}

// Rows 0-17: the inactive expanded title; 19-36 and 38-55: the shaded bar, active and
// inactive.
Canvas MainBars() {
    Canvas c(312, 56, kBody);
    MainTitle(c, 0, false);
    for (int i = 0; i < 2; ++i) {
        const int y = 19 + 19 * i;
        TitleStrip(c, 0, y, 312, i == 0);
        StripEnds(c, 0, y, 312, true, true);
        c.Fill(23, y + 1, 108, 16, Mix(kWell, kBody, 0.5));
        c.Fill(197, y + 3, 70, 12, kWell);
        c.Fill(198, y + 4, 68, 10, kLcd);
    }
    return c;
}

// Key sheets with columns of symbols and rows normal, pressed, inactive, hover.
void KeySheet(Canvas& c, int x, int w, int h, Sym sym, double size) {
    for (std::size_t row = 0; row < kRowLooks.size(); ++row) {
        const int y = int(row) * h;
        const Colour ink = DrawKey(c, x, y, w, h, kRowLooks[row]);
        const double press = kRowLooks[row] == Look::Pressed ? 1 : 0;
        DrawSymbol(c, sym, x + w / 2.0 + press, y + h / 2.0 + press, size, ink);
    }
}

Canvas MainSmallTransport() {
    Canvas c(120, 48);
    const std::array<Sym, 6> syms{Sym::Prev, Sym::Play, Sym::Pause,
                                  Sym::Stop, Sym::Next, Sym::Open};
    for (std::size_t i = 0; i < syms.size(); ++i)
        KeySheet(c, int(i) * 20, 20, 12, syms[i], 7);
    return c;
}

Canvas MainWindowButtons() {
    Canvas c(60, 36);
    DrawWindowKeys(c, 0, {kDotsMenu, kDotsMinimize, kDotsShade, kDotsExpand, kDotsClose});
    // The mute key: rows muted, unmuted, hover muted, hover unmuted.
    const std::array<std::pair<Look, const Dots*>, 4> mute{{{Look::Pressed, &kDotsMuted},
                                                            {Look::Normal, &kDotsSpeaker},
                                                            {Look::Hover, &kDotsMuted},
                                                            {Look::Hover, &kDotsSpeaker}}};
    for (std::size_t row = 0; row < mute.size(); ++row) {
        const Colour ink = DrawKey(c, 50, int(row) * 9, 10, 9, mute[row].first);
        const bool muted = mute[row].second == &kDotsMuted;
        DrawDots(c, 53, int(row) * 9 + 2, *mute[row].second, muted ? Rgb(170, 40, 20) : ink);
    }
    return c;
}

Canvas MainTransport() {
    Canvas c(138, 72);
    const std::array<Sym, 5> syms{Sym::Prev, Sym::Stop, Sym::Play, Sym::Next, Sym::Open};
    for (std::size_t i = 0; i < syms.size(); ++i)
        KeySheet(c, int(i) * 28, i == 4 ? 26 : 28, 18, syms[i], 10);
    return c;
}

// The round play key: cells inactive, play, play lit (pressed and hover), pause, pause
// pressed, paused (a lit play), paused pressed, pause hover, paused hover.
Canvas MainPlayPause(const Canvas& background) {
    Canvas c(585, 65);
    struct Cell {
        Look look;
        Sym sym;
        bool amber;
    };
    const std::array<Cell, 9> cells{{{Look::Inactive, Sym::Play, false},
                                     {Look::Normal, Sym::Play, false},
                                     {Look::Hover, Sym::Play, false},
                                     {Look::Normal, Sym::Pause, false},
                                     {Look::Pressed, Sym::Pause, false},
                                     {Look::Normal, Sym::Play, true},
                                     {Look::Pressed, Sym::Play, true},
                                     {Look::Hover, Sym::Pause, false},
                                     {Look::Hover, Sym::Play, true}}};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int x = int(i) * 65;
        for (int y = 0; y < 65; ++y)
            for (int dx = 0; dx < 65; ++dx)
                c.Set(x + dx, y, background.At(13 + dx, 33 + y));
        const KeyColours k = KeyLook(cells[i].look);
        const double cx = x + 32.5, cy = 32.5;
        c.Disc(cx, cy, 31.5, k.rim);
        c.Shape(
            x, 0, x + 65, 65,
            [&](double px, double py) { return std::hypot(px - cx, py - cy) <= 30; },
            [&](double py) { return Mix(k.top, k.bottom, py / 65.0); });
        c.Ring(cx, cy, 27, 30, Mix(k.top, k.bottom, 0.3));
        if (cells[i].look == Look::Hover || cells[i].amber)
            c.Ring(cx, cy, 26, 28, cells[i].look == Look::Hover ? kAmberGlow : kAmber);
        const double press = cells[i].look == Look::Pressed ? 1 : 0;
        DrawSymbol(c, cells[i].sym, cx + press + (cells[i].sym == Sym::Play ? 2 : 0), cy + press,
                   26, cells[i].amber && cells[i].look != Look::Inactive ? Rgb(120, 62, 8) : k.ink);
    }
    return c;
}

// Toggles: columns list and video (normal / pressed), rows unchecked, checked, hover; a lamp
// shows the checked state.
Canvas MainToggles() {
    Canvas c(124, 54);
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 3; ++row) {
            const bool pressed = col >= 2;
            const bool checked = row == 1 || (row == 2 && pressed);
            const Look look = pressed ? Look::Pressed : row == 2 ? Look::Hover : Look::Normal;
            const int x = col * 31, y = row * 18;
            const Colour ink = DrawKey(c, x, y, 31, 18, look);
            const int press = pressed ? 1 : 0;
            c.Fill(x + 4 + press, y + 7 + press, 4, 4, kEdgeDark);
            c.Fill(x + 5 + press, y + 8 + press, 2, 2, checked ? kAmberGlow : Rgb(90, 84, 66));
            DrawText(c, x + 10 + press, y + 7 + press, col % 2 ? "VID" : "LIST", ink);
        }
    return c;
}

Canvas MainThumbs() {
    Canvas c(34, 18, kBody);
    for (int i = 0; i < 2; ++i) {
        const Look look = i ? Look::Pressed : Look::Normal;
        DrawKey(c, 17 * i, 0, 17, 6, look);
        c.Fill(17 * i + 4, 2, 9, 1, i ? kAmber : Rgb(120, 110, 76));
        DrawKey(c, 9 * i, 7, 9, 11, look);
        c.Fill(9 * i + 4, 10, 1, 5, i ? kAmber : Rgb(120, 110, 76));
    }
    return c;
}

// Display glyphs ---------------------------------------------------------------------------

Canvas TypeFont() {
    Canvas c(155, 18, kLcd);
    const std::string alphabet = kTypeAlphabet;
    for (int cell = 0; cell < 93; ++cell) {
        const char ch = cell < int(alphabet.size()) ? alphabet[std::size_t(cell)] : ' ';
        // The last cell stands for every character the alphabet lacks.
        DrawText(c, (cell % 31) * 5, (cell / 31) * 6 + 1, std::string(1, cell == 92 ? '?' : ch),
                 kInk);
    }
    return c;
}

// Seven-segment digits with faint unlit segments, like a real panel.
void SegmentDigit(Canvas& c, int x, int y, int w, int h, int t, int digit) {
    static constexpr std::array<const char*, 10> kOn{
        "abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"};
    const int mid = (h - t) / 2;
    auto seg = [&](char s, Colour ink) {
        switch (s) {
        case 'a':
            c.Fill(x + 1, y, w - 2, t, ink);
            break;
        case 'g':
            c.Fill(x + 1, y + mid, w - 2, t, ink);
            break;
        case 'd':
            c.Fill(x + 1, y + h - t, w - 2, t, ink);
            break;
        case 'f':
            c.Fill(x, y + 1, t, mid + t - 2, ink);
            break;
        case 'b':
            c.Fill(x + w - t, y + 1, t, mid + t - 2, ink);
            break;
        case 'e':
            c.Fill(x, y + mid + 1, t, h - mid - 2, ink);
            break;
        case 'c':
            c.Fill(x + w - t, y + mid + 1, t, h - mid - 2, ink);
            break;
        }
    };
    for (char s : std::string("abcdefg"))
        seg(s, kGhost);
    for (char s : std::string(kOn[std::size_t(digit)]))
        seg(s, kInk);
}

Canvas Digits(int cellW, int cellH, int t) {
    Canvas c(cellW * 11, cellH, kLcd);
    for (int d = 0; d < 10; ++d)
        SegmentDigit(c, d * cellW + 1, 0, cellW - 2, cellH, t, d);
    const int cx = 10 * cellW + cellW / 2 - t / 2;
    c.Fill(cx, cellH / 4, t, t, kInk);
    c.Fill(cx, cellH - cellH / 4 - t, t, t, kInk);
    return c;
}

// "PASED": playing, paused, stopped, busy, anything else.
Canvas PlayStateGlyphs() {
    Canvas c(45, 10, kLcd);
    DrawSymbol(c, Sym::Play, 4.5, 5, 8, kInk);
    DrawSymbol(c, Sym::Pause, 13.5, 5, 8, kInk);
    DrawSymbol(c, Sym::Stop, 22.5, 5, 8, kInk);
    c.Polygon({{28.5, 1}, {35.5, 1}, {32, 5}}, kInk); // an hourglass
    c.Polygon({{32, 5}, {35.5, 9}, {28.5, 9}}, kInk);
    for (int i = 0; i < 3; ++i)
        c.Fill(37 + 3 * i, 7, 2, 2, kInk); // three dots
    return c;
}

// "0123": sound on, muted, repeat off (faint), repeat on.
Canvas MuteLoopGlyphs() {
    Canvas c(48, 10, kLcd);
    for (int i = 0; i < 2; ++i) {
        const double x = 12.0 * i;
        c.Polygon({{x + 1, 3.5},
                   {x + 3.5, 3.5},
                   {x + 6.5, 0.5},
                   {x + 6.5, 9.5},
                   {x + 3.5, 6.5},
                   {x + 1, 6.5}},
                  kInk);
    }
    c.Shape(
        7, 0, 12, 10,
        [](double px, double py) {
            const double d = std::hypot(px - 6.5, py - 5);
            return px > 7.5 && ((d > 1.8 && d <= 2.8) || (d > 3.8 && d <= 4.8));
        },
        kInk);
    c.Line(20, 2.5, 23.5, 7.5, 1.2, Rgb(170, 40, 20));
    c.Line(23.5, 2.5, 20, 7.5, 1.2, Rgb(170, 40, 20));
    for (int i = 0; i < 2; ++i) {
        const double x = 24 + 12.0 * i;
        const Colour ink = i ? kInk : Mix(kInk, kLcd, 0.7);
        c.Shape(
            int(x), 0, int(x) + 12, 10,
            [=](double px, double py) {
                const double dx = std::max(std::abs(px - (x + 6)) - 2.5, 0.0);
                const double d = std::hypot(dx, py - 5);
                return d > 2.2 && d <= 3.4 && !(px > x + 3 && px < x + 5.5 && py < 5);
            },
            ink);
        c.Polygon({{x + 4.5, 0}, {x + 7.5, 1.8}, {x + 4.5, 3.6}}, ink);
    }
    return c;
}

// Nine frames of a dot running round a ring, leaving a fading trail.
Canvas LoadingAnimation() {
    Canvas c(81, 10, kLcd);
    for (int f = 0; f < 9; ++f)
        for (int d = 0; d < 9; ++d) {
            const double a = 2 * kPi * d / 9 - kPi / 2;
            const int age = (f - d + 9) % 9;
            const double fade = age < 4 ? 1.0 - age * 0.25 : 0.12;
            c.Disc(f * 9 + 4.5 + 3.3 * std::cos(a), 5 + 3.3 * std::sin(a), 0.95,
                   Mix(kLcd, kInk, fade));
        }
    return c;
}

// Playlist and play windows -----------------------------------------------------------------

// A frame image after the arrangement of MakeFramePieces.
Canvas Frame(const FramePieces& p, int width, int height, const std::string& caption, Colour body,
             bool scrollTrack) {
    Canvas c(width, height, kBody);
    for (int set = 0; set < 4; ++set) {
        const bool active = set % 2 == 0;
        const int y = 18 * set;
        TitleStrip(c, 0, y, 200, active);
        Caption(c, 25, y, 100, caption, active);
        StripEnds(c, 0, y, 25, true, false);
        StripEnds(c, 150, y, 50, false, true);
    }
    // The bottom row: a key bay in the left piece, the rim along the bottom.
    const FramePiece& bl = p[8];
    const int w = bl.cx + 75;
    c.VGradient(0, bl.y, w, bl.cy, kBody, kBodyBottom);
    c.Fill(0, bl.y, w, 1, kEdgeDark);
    c.Fill(0, bl.y + bl.cy - 1, w, 1, kEdgeDark);
    c.Fill(0, bl.y, 1, bl.cy, kEdgeLight);
    c.Fill(w - 1, bl.y, 1, bl.cy, kEdgeDark);
    c.Fill(bl.cx + 74, bl.y, 1, bl.cy, kEdgeDark);
    // Edges are flat along their length so they tile; a dark line meets the content.
    const FramePiece& le = p[11];
    const FramePiece& re = p[12];
    c.Fill(le.x, le.y, le.cx, le.cy, kBody);
    c.Fill(le.x, le.y, 1, le.cy, kEdgeLight);
    c.Fill(le.x + le.cx - 1, le.y, 1, le.cy, kEdgeDark);
    c.Fill(re.x, re.y, re.cx, re.cy, kBody);
    c.Fill(re.x, re.y, 1, re.cy, kEdgeDark);
    c.Fill(re.x + re.cx - 1, re.y, 1, re.cy, kEdgeDark);
    if (scrollTrack) {
        c.Fill(re.x + 8, re.y, 10, re.cy, kWell);
        c.Fill(re.x + 8, re.y, 1, re.cy, kEdgeDark);
        c.Fill(re.x + 17, re.y, 1, re.cy, kEdgeLight);
    }
    c.Fill(p[21].x, p[21].y, p[21].cx, p[21].cy, body);
    return c;
}

Canvas PlaylistFrame() {
    const SkinColour& list = kPlaylistColours[0];
    return Frame(builtin::kPlaylistPieces, 225, 125, "PLAYLIST", Rgb(list.r, list.g, list.b), true);
}

Canvas PlayFrame() {
    return Frame(builtin::kPlayPieces, 275, 124, "VIDEO", kBlack, false);
}

Canvas WindowButtons() {
    Canvas c(40, 36);
    DrawWindowKeys(c, 0, {kDotsGrip, kDotsShade, kDotsExpand, kDotsClose});
    return c;
}

// Six bands (load, new, add, remove, sort, save) of normal, pressed, inactive and hover keys,
// then the scroll thumb, normal and pressed.
Canvas PlaylistButtons() {
    Canvas c(104, 96, kBody);
    const std::array<Sym, 6> syms{Sym::Load, Sym::New, Sym::Add, Sym::Remove, Sym::Sort, Sym::Save};
    const std::array<Look, 4> looks{Look::Normal, Look::Pressed, Look::Inactive, Look::Hover};
    for (std::size_t band = 0; band < syms.size(); ++band)
        for (std::size_t col = 0; col < looks.size(); ++col) {
            const int x = int(col) * 21, y = int(band) * 16;
            const Colour ink = DrawKey(c, x, y, 21, 16, looks[col]);
            const double press = looks[col] == Look::Pressed ? 1 : 0;
            DrawSymbol(c, syms[band], x + 10.5 + press, y + 8 + press, 9, ink);
        }
    for (int i = 0; i < 2; ++i) {
        DrawKey(c, 84 + 10 * i, 0, 10, 18, i ? Look::Pressed : Look::Normal);
        for (int gy = 6; gy <= 11; gy += 2)
            c.Fill(87 + 10 * i, gy, 4, 1, i ? kAmber : Rgb(120, 110, 76));
    }
    return c;
}

Canvas PlayTransport() {
    Canvas c(106, 72);
    const std::array<Sym, 7> syms{Sym::Prev, Sym::Play, Sym::Pause,     Sym::Stop,
                                  Sym::Next, Sym::Open, Sym::FullScreen};
    for (std::size_t i = 0; i < syms.size(); ++i)
        KeySheet(c, int(i) * 15, i == 6 ? 16 : 15, 18, syms[i], 8);
    return c;
}

// Display-mode radio keys: rows normal, pressed, checked, checked pressed, hover, checked
// hover; the checked ones carry a lit lamp line.
Canvas PlayModes() {
    Canvas c(68, 108);
    const std::array<const char*, 4> labels{"FIT", "1/2", "1X", "2X"};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 6; ++row) {
            const bool checked = row == 2 || row == 3 || row == 5;
            const bool pressed = row == 1 || row == 3;
            const Look look = pressed ? Look::Pressed : row >= 4 ? Look::Hover : Look::Normal;
            const int x = col * 17, y = row * 18;
            const Colour ink = DrawKey(c, x, y, 17, 18, look);
            const int press = pressed ? 1 : 0;
            const std::string text = labels[std::size_t(col)];
            DrawText(c, x + (17 - TextWidth(text)) / 2 + press, y + 5 + press, text, ink);
            c.Fill(x + 4 + press, y + 13 + press, 9, 2,
                   checked ? kAmberGlow : Mix(ink, KeyLook(look).bottom, 0.6));
        }
    return c;
}

// The emblem: a ring with a play mark.
void Emblem(Canvas& c, double cx, double cy, double r) {
    c.Disc(cx, cy, r, kEdgeDark);
    c.Shape(
        int(cx - r), int(cy - r), int(cx + r) + 1, int(cy + r) + 1,
        [=](double px, double py) { return std::hypot(px - cx, py - cy) <= r - 1; },
        [=](double py) {
            return Mix(Rgb(226, 214, 166), Rgb(160, 146, 96), (py - cy + r) / (2 * r));
        });
    c.Ring(cx, cy, r * 0.62, r * 0.78, kAmber);
    DrawSymbol(c, Sym::Play, cx + r * 0.08, cy, r * 0.9, Rgb(52, 47, 34));
}

Canvas Logo() {
    Canvas c(160, 60, kBlack);
    Emblem(c, 30, 30, 20);
    // The name at twice the font size.
    const std::string name = "CORVELLA";
    for (std::size_t i = 0; i < name.size(); ++i)
        for (int y = 0; y < kFontHeight; ++y)
            for (int x = 0; x < kFontWidth; ++x)
                if (FontDot(name[i], x, y))
                    c.Fill(58 + int(i) * 12 + 2 * x, 20 + 2 * y, 2, 2, Rgb(222, 208, 156));
    DrawText(c, 58, 36, "MEDIA PLAYER", Rgb(150, 136, 92));
    return c;
}

// The icon is designed on 32 x 32 pixels; other sizes scale the design, not its pixels.
Canvas IconAt(int size, Colour background) {
    Canvas c(size, size, background);
    const double k = size / 32.0;
    c.RoundRect(0.5 * k, 0.5 * k, 31 * k, 31 * k, 6 * k, kBodyTop, kBodyBottom);
    Emblem(c, 16 * k, 16 * k, 12 * k);
    return c;
}

// The skin's icon bitmap has no alpha, so its rounded corners sit on black.
Canvas Icon() {
    return IconAt(32, kBlack);
}

} // namespace

Canvas DrawDesktopIcon(int size) {
    return IconAt(size, 0x00000000u);
}

std::optional<Canvas> DrawImage(int nId) {
    switch (nId) {
    case kMainBackground:
        return MainBackground();
    case kMainSmallTransport:
        return MainSmallTransport();
    case kMainWindowButtons:
        return MainWindowButtons();
    case kMainTransport:
        return MainTransport();
    case kMainPlayPause:
        return MainPlayPause(MainBackground());
    case kMainToggles:
        return MainToggles();
    case kMainBars:
        return MainBars();
    case kMainThumbs:
        return MainThumbs();
    case kMainTypeFont:
        return TypeFont();
    case kMainLargeDigits:
        return Digits(10, 11, 2);
    case kMainSmallDigits:
        return Digits(8, 9, 1);
    case kMainPlayState:
        return PlayStateGlyphs();
    case kMainMuteLoop:
        return MuteLoopGlyphs();
    case kMainAnimation:
        return LoadingAnimation();
    case kPlaylistFrame:
        return PlaylistFrame();
    case kWindowButtons:
        return WindowButtons();
    case kPlaylistButtons:
        return PlaylistButtons();
    case kPlayFrame:
        return PlayFrame();
    case kPlayTransport:
        return PlayTransport();
    case kPlayModes:
        return PlayModes();
    case kLogo:
        return Logo();
    case kIcon:
        return Icon();
    default:
        return std::nullopt;
    }
}

// Cursors ------------------------------------------------------------------------------------

namespace {

constexpr Colour kClear = 0x00000000u;
constexpr Colour kCursorFill = Rgb(236, 226, 186);
constexpr Colour kCursorLine = Rgb(28, 26, 20);

// Fills a polygon and draws its outline.
void Outlined(Canvas& c, const std::vector<Pt>& pts) {
    c.Polygon(pts, kCursorFill);
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Pt& a = pts[i];
        const Pt& b = pts[(i + 1) % pts.size()];
        c.Line(a.x, a.y, b.x, b.y, 1.2, kCursorLine);
    }
}

// A double-headed arrow along the x axis, turned by angle around (16, 16).
std::vector<Pt> DoubleArrow(double angle, double len) {
    const std::vector<Pt> base{{-len, 0},     {-len + 5, -5}, {-len + 5, -2}, {len - 5, -2},
                               {len - 5, -5}, {len, 0},       {len - 5, 5},   {len - 5, 2},
                               {-len + 5, 2}, {-len + 5, 5}};
    std::vector<Pt> out;
    for (const Pt& p : base)
        out.push_back({16 + p.x * std::cos(angle) - p.y * std::sin(angle),
                       16 + p.x * std::sin(angle) + p.y * std::cos(angle)});
    return out;
}

std::vector<Pt> Pointer() {
    return {{1, 1}, {1, 19}, {5.5, 15}, {9, 22.5}, {12, 21}, {8.5, 13.8}, {14.5, 13.8}};
}

} // namespace

std::optional<CursorArt> DrawCursor(int nId) {
    Canvas c(32, 32, kClear);
    switch (nId) {
    case kCursorElsewhere:
        Outlined(c, Pointer());
        return CursorArt{c, 1, 1};
    case kCursorButton:
        Outlined(c, Pointer());
        c.Disc(18, 20, 4, kCursorLine);
        c.Disc(18, 20, 2.8, kAmber);
        return CursorArt{c, 1, 1};
    case kCursorDrag:
        Outlined(c, DoubleArrow(0, 12));
        Outlined(c, DoubleArrow(kPi / 2, 12));
        c.Fill(14, 14, 5, 5, kCursorFill);
        return CursorArt{c, 16, 16};
    case kCursorHorizontal:
        Outlined(c, DoubleArrow(0, 12));
        return CursorArt{c, 16, 16};
    case kCursorVertical:
        Outlined(c, DoubleArrow(kPi / 2, 12));
        return CursorArt{c, 16, 16};
    case kCursorCorner:
        Outlined(c, DoubleArrow(kPi / 4, 12));
        return CursorArt{c, 16, 16};
    default:
        return std::nullopt;
    }
}

} // namespace skingen
