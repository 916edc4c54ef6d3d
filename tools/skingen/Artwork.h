// The built-in skin's artwork: one drawing per bitmap resource and per cursor, to the geometry
// of res/BuiltInSkinLayout.h.
#pragma once

#include "Canvas.h"

#include <optional>

namespace skingen {

// The bitmap of a resource number (images, logo, icon); none for an unknown number.
std::optional<Canvas> DrawImage(int nId);
// The program's icon for the desktop at size x size pixels, its corners transparent.
Canvas DrawDesktopIcon(int size);

struct CursorArt {
    Canvas image; // 32 x 32, with alpha
    int hotX;
    int hotY;
};
std::optional<CursorArt> DrawCursor(int nId);

} // namespace skingen
