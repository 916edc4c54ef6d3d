// The engine manager's picture of the video area while no video covers it: black, with the
// skin's logo (centred, stretched or tiled) or a line of text across the middle (an overlay
// text such as a failure's reason or "Buffering 40%", and "Audio Only" while a clip without a
// picture plays).
#pragma once

#include "platform/DC.h"

#include <string>

class CIdlePicture {
public:
    // The logo bitmap comes from the skin; the caller keeps it alive. Null paints no logo.
    void SetLogo(const CDC* pLogo) { m_pLogo = pLogo; }
    // 0 centred, 1 stretched over the area, any other tiled from the top left.
    void SetLogoMode(int mode) { m_nLogoMode = mode; }
    void SetShowLogo(bool show) { m_bShowLogo = show; }
    CSize GetLogoSize() const;

    // Makes the picture black at that size; false when it had that size already.
    bool Resize(int width, int height);
    // Lets the picture go while a video covers the area.
    void Release() { m_surface.Destroy(); }
    // With the video shown the engine's window covers the area, unless the clip has no
    // picture: then "Audio Only" on black. Otherwise the overlay text or else the logo, and
    // "Audio Only" over it while such a clip plays.
    void Paint(bool videoShown, bool audioOnlyShown, const std::string& overlay);
    const CDC& GetSurface() const { return m_surface; }

private:
    void DrawLogo();
    void DrawBandText(const std::string& text);

    CDC m_surface;
    const CDC* m_pLogo = nullptr;
    int m_nLogoMode = 0;
    bool m_bShowLogo = true;
};
