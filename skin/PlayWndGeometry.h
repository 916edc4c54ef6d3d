// The play window's rectangle arithmetic: the video area inside the frame, the rectangle a
// picture of a given size takes in it, the sizes of the display modes and the window size that
// gives a video area of a wanted size. Pure functions, so they are tested without a window.
#pragma once

#include "platform/WinTypes.h"

namespace playwnd {

// The frame around the video area.
constexpr int kFrameLeft = 6;
constexpr int kFrameTop = 18;
constexpr int kFrameRight = 6;
constexpr int kFrameBottom = 27;
// The smallest window while expanded; its video area is 300 x 212.
constexpr CSize kMinimumWindow{312, 257};

// Display modes: 0 fit to the video area, 1 half, 2 natural, 3 double the picture size.
enum DisplayMode : int { ModeFit = 0, ModeHalf = 1, ModeNatural = 2, ModeDouble = 3 };
constexpr int kModeCount = 4;

// The client rectangle without the frame; the whole client area in full screen.
CRect VideoArea(const CRect& client, bool bFullScreen);
CSize MinimumVideoArea();
// A rectangle of the size centred in the area; a size larger than the area starts at its
// corner (the window clips it).
CRect CentreIn(const CRect& area, CSize size);
// The picture size a mode shows (mode 0 answers the picture size; the area decides there).
CSize ScaleForMode(CSize picture, int nMode);
// The window size whose video area is the given size.
CSize WindowSizeForVideo(CSize video);
// The video size, made smaller in its proportions when the window around it would not fit the
// area (a screen's available area); an empty area leaves it as it is.
CSize VideoSizeWithin(CSize video, const CRect& area);

} // namespace playwnd
