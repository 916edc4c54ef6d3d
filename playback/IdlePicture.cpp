#include "playback/IdlePicture.h"

#include <algorithm>

namespace {

const char kAudioOnly[] = "Audio Only";
const COLORREF kBackground = RGB(0, 0, 0);
const COLORREF kTextColour = RGB(255, 255, 255);
const int kTextHeight = 14;
const int kBandHalfHeight = 20;

} // namespace

CSize CIdlePicture::GetLogoSize() const {
    return m_pLogo && !m_pLogo->IsNull() ? CSize{m_pLogo->Width(), m_pLogo->Height()} : CSize{};
}

bool CIdlePicture::Resize(int width, int height) {
    if (m_surface.Width() == width && m_surface.Height() == height)
        return false;
    m_surface.CreateSolid(width, height, kBackground);
    return true;
}

void CIdlePicture::Paint(bool videoShown, bool audioOnlyShown, const std::string& overlay) {
    if (videoShown) {
        if (audioOnlyShown) {
            m_surface.FillSolidRect(m_surface.GetRect(), kBackground);
            DrawBandText(kAudioOnly);
        }
        return;
    }
    m_surface.FillSolidRect(m_surface.GetRect(), kBackground);
    if (!overlay.empty())
        DrawBandText(overlay);
    else if (m_pLogo && !m_pLogo->IsNull() && m_bShowLogo)
        DrawLogo();
    if (audioOnlyShown)
        DrawBandText(kAudioOnly);
}

void CIdlePicture::DrawLogo() {
    const int w = m_surface.Width();
    const int h = m_surface.Height();
    const int lw = m_pLogo->Width();
    const int lh = m_pLogo->Height();
    if (m_nLogoMode == 0) {
        m_surface.BitBlt((w - lw) / 2, (h - lh) / 2, lw, lh, *m_pLogo, 0, 0);
    } else if (m_nLogoMode == 1) {
        m_surface.StretchBlt(m_surface.GetRect(), *m_pLogo);
    } else {
        for (int y = 0; y <= h; y += lh)
            for (int x = 0; x <= w; x += lw)
                m_surface.BitBlt(x, y, lw, lh, *m_pLogo, 0, 0);
    }
}

void CIdlePicture::DrawBandText(const std::string& text) {
    const int h = m_surface.Height();
    const CRect band{0, h / 2 - kBandHalfHeight, m_surface.Width(), h / 2 + kBandHalfHeight};
    std::string lines = text;
    std::replace(lines.begin(), lines.end(), '\r', '\n');
    m_surface.DrawText(lines, band, kTextColour, kTextHeight, DT_CENTER | DT_VCENTER);
}
