#include "playback/DShowEngine.h"

#include "playback/DShowWnd.h"

#include <cmath>

CDShowEngine::CDShowEngine() = default;

CDShowEngine::~CDShowEngine() {
    Destroy();
}

long CDShowEngine::VolumeToHundredthsDb(int volume) {
    const double f = volume <= 0 ? 0.01 : double(volume);
    double level = std::log10(f / 100.0) * 20.0 * 100.0;
    // log10(0.0001) may come out a hair above -4; a whole result must stay whole.
    if (std::abs(level - std::round(level)) < 1e-6)
        level = std::round(level);
    return long(std::trunc(level));
}

int CDShowEngine::HundredthsDbToVolume(long level) {
    // A hair of tolerance keeps a level that came from a whole volume at that volume.
    return int(std::trunc(std::pow(10.0, double(level) / 2000.0) * 100.0 + 1e-6));
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
        m_pWnd->SetVolume(VolumeToHundredthsDb(volume));
}

int CDShowEngine::GetVolume() const {
    return m_pWnd ? HundredthsDbToVolume(m_pWnd->GetPipelineVolume()) : 0;
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
