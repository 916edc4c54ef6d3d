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

CSize VideoSizeWithin(CSize video, const CRect& area) {
    const long maxCx = std::max(1, area.Width() - kFrameLeft - kFrameRight);
    const long maxCy = std::max(1, area.Height() - kFrameTop - kFrameBottom);
    if (area.IsRectEmpty() || (video.cx <= maxCx && video.cy <= maxCy))
        return video;
    // The smaller of the two scales, in integers: cx * maxCy against cy * maxCx.
    if (long(video.cx) * maxCy >= long(video.cy) * maxCx)
        return {int(maxCx), std::max(1, int(long(video.cy) * maxCx / video.cx))};
    return {std::max(1, int(long(video.cx) * maxCy / video.cy)), int(maxCy)};
}

} // namespace playwnd
