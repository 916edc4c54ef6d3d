#include "playback/CDAudioEngine.h"

#include "platform/Log.h"
#include "platform/RegisteredMessages.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFps = CCdDisc::kFramesPerSecond;

int MsfSeconds(DWORD msf) {
    return int(MCI_MSF_MINUTE(msf)) * 60 + int(MCI_MSF_SECOND(msf));
}

// Whole frames: a track rarely starts on a whole second, and dropping its start's frames would
// put positions up to a second away from the track's own time.
int MsfFrames(DWORD msf) {
    return MsfSeconds(msf) * kFps + int(MCI_MSF_FRAME(msf));
}

} // namespace

CCDAudioEngine::CCDAudioEngine() : m_mixer(MixerComponent::CompactDisc) {}

CCDAudioEngine::~CCDAudioEngine() {
    Destroy();
}

std::uint8_t CCDAudioEngine::TrackFromPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    const std::size_t digit = name.find_first_of("0123456789");
    if (digit == std::string::npos)
        return 0;
    int track = 0;
    for (std::size_t i = digit; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
        track = track * 10 + (name[i] - '0');
        if (track > 99) // a disc holds 99 tracks at most; larger numbers select none
            return 0;
    }
    return std::uint8_t(track);
}

std::string CCDAudioEngine::DriveFromPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool CCDAudioEngine::Create(const std::string&, DWORD, const CRect&, CWnd* pParent, int engineId) {
    // GStreamer starts with the first track's stream, not here: this runs while the windows
    // are made, and a first start of GStreamer (its plugin registry) takes a second.
    if (m_pDevice)
        return false;
    m_pDevice = std::make_unique<CCDAudioDevice>();
    m_pDevice->SetCallbackWnd(pParent);
    m_pNotifyWnd = pParent;
    m_nEngineId = engineId;
    return true;
}

void CCDAudioEngine::Destroy() {
    if (!m_pDevice)
        return;
    if (m_pDevice->IsOpen() && m_pDevice->IsReady())
        m_pDevice->Stop();
    m_pDevice->Close();
    m_pDevice.reset();
}

void CCDAudioEngine::Open(const std::string& path) {
    m_nTrack = TrackFromPath(path);
    m_strPath = path;
    if (!m_pDevice)
        return;
    // The device stays open for later tracks of the same drive.
    const std::string drive = DriveFromPath(path);
    if (!m_pDevice->IsOpen() || m_pDevice->GetDrive() != drive || !m_pDevice->IsReady()) {
        m_pDevice->Open(true, drive);
        m_pDevice->SetTimeFormat(MCI_FORMAT_TMSF);
    }
    m_dwLength = m_pDevice->GetTrackLength(m_nTrack);
    m_dwFrom = MCI_MAKE_TMSF(m_nTrack, 0, 0, 0);
    m_dwTo = MCI_MAKE_TMSF(m_nTrack, MCI_MSF_MINUTE(m_dwLength), MCI_MSF_SECOND(m_dwLength),
                           MCI_MSF_FRAME(m_dwLength));
}

void CCDAudioEngine::Play() {
    // A play the device rejects (no disc, no such track) fails the clip instead of reporting
    // a track that plays while nothing is heard.
    if (!m_pDevice || !m_pDevice->IsOpen() || !m_pDevice->IsReady() ||
        !m_pDevice->Play(m_dwFrom, m_dwTo, true)) {
        platform::LogVerbose("clip failed: " + m_strPath + ": " +
                             MciErrorText(m_pDevice ? m_pDevice->GetLastError() : 0));
        Notify(WM_REG_CDERROR);
        return;
    }
    platform::LogVerbose("play state: playing (" + m_strPath + ", " +
                         std::to_string(int(GetDuration())) + " s)");
    Notify(WM_REG_CDPLAYSTATECHANGED, 1);
    Notify(WM_REG_CDOPENSUCCESSED);
}

void CCDAudioEngine::Pause() {
    if (!m_pDevice || !m_pDevice->IsOpen() || !m_pDevice->IsReady())
        return;
    m_pDevice->Pause();
    m_dwFrom = m_pDevice->GetStatus(MCI_STATUS_POSITION);
    platform::LogVerbose("play state: paused (" + m_strPath + ")");
    Notify(WM_REG_CDPLAYSTATECHANGED, 2);
}

void CCDAudioEngine::Stop() {
    if (!m_pDevice || !m_pDevice->IsOpen() || !m_pDevice->IsReady())
        return;
    m_pDevice->Stop();
    platform::LogVerbose("clip finished: " + m_strPath);
    Notify(WM_REG_CDPLAYCOMPLETED);
}

template <class Body> bool CCDAudioEngine::WithMsf(Body body) const {
    if (!m_pDevice || !m_pDevice->IsOpen())
        return false;
    const DWORD format = m_pDevice->GetStatus(MCI_STATUS_TIME_FORMAT);
    if (!m_pDevice->SetTimeFormat(MCI_FORMAT_MSF))
        return false;
    body();
    m_pDevice->SetTimeFormat(format);
    return true;
}

void CCDAudioEngine::Seek(double seconds) {
    const bool playing =
        m_pDevice && m_pDevice->IsOpen() && m_pDevice->GetStatus(MCI_STATUS_MODE) == MCI_MODE_PLAY;
    const bool moved = WithMsf([&] {
        const int s = std::max(0, int(std::trunc(seconds)));
        const int start = MsfFrames(m_pDevice->GetTrackStatus(m_nTrack, MCI_STATUS_POSITION));
        m_dwFrom = MCI_MAKE_TMSF(m_nTrack, DWORD(s / 60), DWORD(s % 60), 0);
        const int absolute = start + s * kFps;
        m_pDevice->Seek(MCI_MAKE_MSF(DWORD(absolute / kFps / 60), DWORD(absolute / kFps % 60),
                                     DWORD(absolute % kFps)));
    });
    // The device stops at the new place; a track that was playing plays on from there.
    if (moved && playing && !m_pDevice->Play(m_dwFrom, m_dwTo, true))
        Notify(WM_REG_CDERROR);
}

double CCDAudioEngine::GetPosition() const {
    int position = 0;
    WithMsf([&] {
        const int now = MsfFrames(m_pDevice->GetStatus(MCI_STATUS_POSITION));
        const int start = MsfFrames(m_pDevice->GetTrackStatus(m_nTrack, MCI_STATUS_POSITION));
        position = std::max(0, now - start) / kFps;
    });
    return double(position);
}

double CCDAudioEngine::GetDuration() const {
    return m_pDevice ? double(MsfSeconds(m_dwLength)) : 0.0;
}

void CCDAudioEngine::SetMute(bool mute) {
    if (m_pDevice)
        m_pDevice->Mute(mute);
}

void CCDAudioEngine::SetVolume(int volume) {
    const DWORD level = DWORD(std::clamp(volume, 0, 100)) * 65535 / 100;
    // The mixer's CD line only matters for a drive that plays through the sound card's CD
    // input; what plays digitally goes through the pipeline's own gain.
    m_mixer.SetLevel(level);
    if (m_pDevice)
        m_pDevice->SetVolumeLevel(level);
}

int CCDAudioEngine::GetVolume() const {
    if (m_mixer.HasControl())
        return int(m_mixer.GetLevel() * 100 / 65535);
    return m_pDevice ? int(m_pDevice->GetVolumeLevel() * 100 / 65535) : 0;
}

bool CCDAudioEngine::OpenDoor(bool open) {
    if (m_pDevice)
        return m_pDevice->OpenDoor(open);
    return CCDAudioDevice().OpenDoor(open);
}

bool CCDAudioEngine::IsDoorOpen() {
    if (m_pDevice)
        return m_pDevice->IsDoorOpen();
    return CCDAudioDevice().IsDoorOpen();
}

void CCDAudioEngine::Notify(UINT message, WPARAM wParam) {
    if (m_pNotifyWnd)
        m_pNotifyWnd->SendMessage(message, wParam, 0);
}
