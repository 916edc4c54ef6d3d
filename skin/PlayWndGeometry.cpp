#include "skin/PlayWndGeometry.h"

#include <algorithm>

namespace playwnd {

CRect VideoArea(const CRect& client, bool bFullScreen) {
    if (bFullScreen)
        return client;
    return {client.left + kFrameLeft, client.top + kFrameTop, client.right - kFrameRight,
            client.bottom - kFrameBottom};
}

CSize MinimumVideoArea() {
    const CRect area = VideoArea({0, 0, kMinimumWindow.cx, kMinimumWindow.cy}, false);
    return {area.Width(), area.Height()};
}

CRect CentreIn(const CRect& area, CSize size) {
    const int left = area.left + (std::max(area.Width(), size.cx) - size.cx) / 2;
    const int top = area.top + (std::max(area.Height(), size.cy) - size.cy) / 2;
    return {left, top, left + size.cx, top + size.cy};
}

CSize ScaleForMode(CSize picture, int nMode) {
    switch (nMode) {
    case ModeHalf:
        return {picture.cx / 2, picture.cy / 2};
    case ModeDouble:
        return {picture.cx * 2, picture.cy * 2};
    default:
        return picture;
    }
}

CSize WindowSizeForVideo(CSize video) {
    return {video.cx + kFrameLeft + kFrameRight, video.cy + kFrameTop + kFrameBottom};
}

} // namespace playwnd
