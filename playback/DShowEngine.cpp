#include "playback/DShowEngine.h"

#include "playback/DShowWnd.h"

#include <cmath>

CDShowEngine::CDShowEngine() = default;

CDShowEngine::~CDShowEngine() {
    Destroy();
}

double CDShowEngine::VolumeToGain(int volume) {
    return volume <= 0 ? 1e-4 : volume / 100.0;
}

int CDShowEngine::GainToVolume(double gain) {
    // Rounded: the sink may keep the factor as a float, a hair below the whole volume.
    return int(std::lround(gain * 100.0));
}

void CDShowEngine::SetVideoSize(int width, int height) {
    if (m_pWnd) {
        const CRect r = m_pWnd->GetWindowRect();
        m_pWnd->MoveWindow({r.left, r.top, r.left + width, r.top + height});
    }
}

void CDShowEngine::ShowVideo(bool show) {
    SetVisible(show);
}

void CDShowEngine::Close() {
    if (m_pWnd)
        m_pWnd->AbandonOpen();
}

void CDShowEngine::SetVisible(bool show) {
    if (m_pWnd)
        m_pWnd->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
}

bool CDShowEngine::IsVideoVisible() const {
    return m_pWnd && m_pWnd->IsWindowVisible();
}

void CDShowEngine::Seek(double seconds) {
    if (m_pWnd)
        m_pWnd->Seek(std::trunc(seconds));
}

double CDShowEngine::GetPosition() const {
    return m_pWnd ? double(m_pWnd->GetPosition()) : 0.0;
}

double CDShowEngine::GetDuration() const {
    return m_pWnd ? double(m_pWnd->GetDuration()) : 0.0;
}

void CDShowEngine::SetMute(bool mute) {
    if (m_pWnd)
        m_pWnd->SetMute(mute);
}

bool CDShowEngine::GetMute() const {
    return m_pWnd ? m_pWnd->GetMute() : true;
}

void CDShowEngine::SetVolume(int volume) {
    if (m_pWnd)
        m_pWnd->SetVolume(VolumeToGain(volume));
}

int CDShowEngine::GetVolume() const {
    return m_pWnd ? GainToVolume(m_pWnd->GetPipelineVolume()) : 0;
}

std::string CDShowEngine::GetInfoText1() const {
    if (!m_pWnd || m_pWnd->GetStatus().title.empty())
        return {};
    return m_pWnd->GetStatus().artist;
}

std::string CDShowEngine::GetInfoText2() const {
    return m_pWnd ? m_pWnd->GetStatus().title : std::string();
}

bool CDShowEngine::IsAudioOnly() const {
    return m_pWnd && m_pWnd->GetStatus().audioOnly;
}

bool CDShowEngine::CanSeek() const {
    return m_pWnd && m_pWnd->CanSeekAbsolute();
}

CSize CDShowEngine::GetVideoSize() const {
    if (!m_pWnd)
        return {};
    return {m_pWnd->GetStatus().videoWidth, m_pWnd->GetStatus().videoHeight};
}

bool CDShowEngine::Create(const std::string&, DWORD, const CRect& rect, CWnd* pParent, int) {
    if (m_pWnd)
        return false;
    m_pWnd = std::make_unique<CDShowWnd>();
    if (!m_pWnd->Create(pParent, rect)) {
        m_pWnd.reset();
        return false;
    }
    return true;
}

void CDShowEngine::Destroy() {
    m_pWnd.reset();
}

void CDShowEngine::Open(const std::string& path) {
    if (m_pWnd)
        m_pWnd->Open(path);
}

std::string CDShowEngine::GetOpenedPath() const {
    return m_pWnd ? m_pWnd->GetPath() : std::string();
}

void CDShowEngine::Play() {
    if (m_pWnd)
        m_pWnd->Run();
}

void CDShowEngine::Pause() {
    if (m_pWnd)
        m_pWnd->Pause();
}

void CDShowEngine::Stop() {
    if (m_pWnd)
        m_pWnd->Stop();
}
