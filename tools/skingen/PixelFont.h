// The skin's own 4 x 5 pixel font, drawn one pixel per dot: the clip-type glyphs and the
// small engraved captions of the frames.
#pragma once

#include "Canvas.h"

#include <string>

namespace skingen {

constexpr int kFontWidth = 4;
constexpr int kFontHeight = 5;

// Whether the glyph of ch has a dot at (x, y); characters without a glyph draw a question mark.
bool FontDot(char ch, int x, int y);
// Draws text from (x, y), advancing 5 pixels per character.
void DrawText(Canvas& c, int x, int y, const std::string& text, Colour ink);
int TextWidth(const std::string& text);

} // namespace skingen
