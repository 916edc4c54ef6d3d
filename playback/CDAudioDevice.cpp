#include "playback/CDAudioDevice.h"

#include "platform/CdromDrives.h"
#include "platform/Log.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

namespace {

constexpr long kFps = CCdDisc::kFramesPerSecond;

std::vector<std::string> Words(const std::string& text) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    std::istringstream in(lower);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

DWORD SectorsToMsf(long sectors) {
    return MCI_MAKE_MSF(DWORD(sectors / kFps / 60), DWORD(sectors / kFps % 60),
                        DWORD(sectors % kFps));
}

long MsfToSectors(DWORD msf) {
    return (long(MCI_MSF_MINUTE(msf)) * 60 + long(MCI_MSF_SECOND(msf))) * kFps +
           long(MCI_MSF_FRAME(msf));
}

} // namespace

CCDAudioDevice::CCDAudioDevice() {
    m_stream.SetEndHandler(
        [this](bool completed, const std::string& error) { OnStreamEnd(completed, error); });
}

CCDAudioDevice::~CCDAudioDevice() {
    Close();
}

std::string CCDAudioDevice::DefaultDrive() {
    const auto drives = platform::ListCdromDevices();
    return drives.empty() ? std::string() : drives.front();
}

bool CCDAudioDevice::Open(bool shareable, const std::string& drive) {
    return CMciDevice::Open(MCI_DEVTYPE_CD_AUDIO, shareable, drive);
}

std::string CCDAudioDevice::GetDrive() const {
    return m_strDrive.empty() ? DefaultDrive() : m_strDrive;
}

// ---- commands ----

DWORD CCDAudioDevice::Execute(UINT command, DWORD flags, MciParams& params) {
    switch (command) {
    case MCI_OPEN:
        return DoOpen(flags, params);
    case MCI_CLOSE:
        m_stream.Stop();
        m_disc.Close();
        m_bNotify = false;
        return 0;
    case MCI_STATUS:
        return DoStatus(flags, params);
    case MCI_SET:
        return DoSet(flags, params);
    case MCI_PLAY:
        return DoPlay(flags, params);
    case MCI_SEEK:
        return DoSeek(flags, params);
    case MCI_PAUSE:
        return DoPause();
    case MCI_STOP:
        return DoStop();
    default:
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
}

DWORD CCDAudioDevice::DoOpen(DWORD flags, const MciParams& params) {
    if (params.deviceType != MCI_DEVTYPE_CD_AUDIO)
        return MCIERR_INVALID_DEVICE_NAME;
    m_strDrive = (flags & MCI_OPEN_ELEMENT) ? params.element : DefaultDrive();
    m_dwTimeFormat = MCI_FORMAT_MSF;
    m_lPosition = 0;
    // Without a readable disc the device still opens; it then reports that it is not ready.
    if (m_strDrive.empty())
        return MCIERR_INVALID_DEVICE_NAME;
    if (m_disc.Open(m_strDrive))
        m_lPosition = m_disc.GetTrackStart(m_disc.GetFirstTrack());
    return 0;
}

bool CCDAudioDevice::DiscReady() const {
    return m_disc.IsOpen() && CCdDisc::QueryDrive(m_disc.GetDrive()) == CdDriveState::DiscReady;
}

DWORD CCDAudioDevice::DoStatus(DWORD flags, MciParams& params) {
    const bool ofTrack = (flags & MCI_TRACK) != 0;
    if (params.item == MCI_STATUS_READY) {
        params.returnValue = DiscReady() ? 1 : 0;
        return 0;
    }
    if (params.item == MCI_STATUS_MODE) {
        params.returnValue = ModeNow();
        return 0;
    }
    if (params.item == MCI_STATUS_TIME_FORMAT) {
        params.returnValue = m_dwTimeFormat;
        return 0;
    }
    if (!DiscReady())
        return MCIERR_DEVICE_NOT_READY;
    if (ofTrack && !m_disc.HasTrack(int(params.track)))
        return MCIERR_OUTOFRANGE;
    const int track = int(params.track);
    switch (params.item) {
    case MCI_STATUS_NUMBER_OF_TRACKS:
        params.returnValue = DWORD(m_disc.GetTrackCount());
        return 0;
    case MCI_STATUS_LENGTH: // always MSF, as the device type answers lengths
        params.returnValue =
            ofTrack
                ? SectorsToMsf(m_disc.GetTrackEnd(track) - m_disc.GetTrackStart(track))
                : SectorsToMsf(m_disc.GetLeadOut() - m_disc.GetTrackStart(m_disc.GetFirstTrack()));
        return 0;
    case MCI_STATUS_POSITION:
        params.returnValue = FromSector(ofTrack ? m_disc.GetTrackStart(track) : CurrentSector());
        return 0;
    default:
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

DWORD CCDAudioDevice::DoSet(DWORD flags, const MciParams& params) {
    if (!(flags & MCI_SET_TIME_FORMAT))
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (params.timeFormat != MCI_FORMAT_MSF && params.timeFormat != MCI_FORMAT_TMSF)
        return MCIERR_BAD_TIME_FORMAT;
    m_dwTimeFormat = params.timeFormat;
    return 0;
}

DWORD CCDAudioDevice::DoPlay(DWORD flags, const MciParams& params) {
    if (!DiscReady())
        return MCIERR_DEVICE_NOT_READY;
    long from = CurrentSector();
    long to = m_disc.GetLeadOut();
    if (flags & MCI_FROM) {
        if (DWORD error = ToSector(params.from, from))
            return error;
    }
    if (flags & MCI_TO) {
        if (DWORD error = ToSector(params.to, to))
            return error;
    }
    if (from >= to || !m_disc.IsAudioTrack(TrackAt(from)))
        return MCIERR_OUTOFRANGE;
    m_bNotify = false; // a new play replaces the one before, and its report
    if (m_stream.IsPaused() && from == m_lPosition && to == m_stream.GetEnd()) {
        if (!m_stream.Resume())
            return MCIERR_HARDWARE;
    } else {
        std::string error;
        if (!m_stream.Start(m_disc, from, to, error)) {
            platform::LogVerbose("CD audio cannot play: " + error);
            return MCIERR_HARDWARE;
        }
    }
    m_lPosition = from;
    m_bNotify = (flags & MCI_NOTIFY) != 0;
    return 0;
}

DWORD CCDAudioDevice::DoSeek(DWORD flags, const MciParams& params) {
    if (!DiscReady())
        return MCIERR_DEVICE_NOT_READY;
    long to = m_lPosition;
    if (!(flags & MCI_TO))
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (DWORD error = ToSector(params.to, to))
        return error;
    // A seek ends a play; a notified play then reports nothing.
    m_stream.Stop();
    m_bNotify = false;
    m_lPosition = to;
    return 0;
}

DWORD CCDAudioDevice::DoPause() {
    if (!DiscReady())
        return MCIERR_DEVICE_NOT_READY;
    if (m_stream.IsRunning() && !m_stream.IsPaused()) {
        const long position = m_stream.GetPosition();
        if (!m_stream.Pause())
            return MCIERR_HARDWARE;
        m_lPosition = position;
    }
    return 0;
}

DWORD CCDAudioDevice::DoStop() {
    if (!DiscReady())
        return MCIERR_DEVICE_NOT_READY;
    m_lPosition = CurrentSector();
    m_stream.Stop();
    m_bNotify = false;
    return 0;
}

void CCDAudioDevice::OnStreamEnd(bool completed, const std::string& error) {
    if (completed)
        m_lPosition = m_stream.GetEnd();
    else
        platform::LogVerbose("CD audio failed: " + error);
    if (!m_bNotify)
        return;
    m_bNotify = false;
    NotifyCallback(completed ? MCI_NOTIFY_SUCCESSFUL : MCI_NOTIFY_FAILURE);
}

// ---- positions ----

long CCDAudioDevice::CurrentSector() const {
    return m_stream.IsRunning() && !m_stream.IsPaused() ? m_stream.GetPosition() : m_lPosition;
}

int CCDAudioDevice::TrackAt(long lsn) const {
    int track = m_disc.GetFirstTrack();
    for (int t = track; m_disc.HasTrack(t); ++t)
        if (m_disc.GetTrackStart(t) <= lsn)
            track = t;
    return track;
}

DWORD CCDAudioDevice::ToSector(DWORD position, long& lsn) const {
    if (m_dwTimeFormat == MCI_FORMAT_TMSF) {
        const int track = int(MCI_TMSF_TRACK(position));
        if (!m_disc.HasTrack(track))
            return MCIERR_OUTOFRANGE;
        const long offset =
            (long(MCI_TMSF_MINUTE(position)) * 60 + long(MCI_TMSF_SECOND(position))) * kFps +
            long(MCI_TMSF_FRAME(position));
        if (m_disc.GetTrackStart(track) + offset > m_disc.GetTrackEnd(track))
            return MCIERR_OUTOFRANGE;
        lsn = m_disc.GetTrackStart(track) + offset;
        return 0;
    }
    const long absolute = MsfToSectors(position) - CCdDisc::kLeadInFrames;
    if (absolute < 0 || absolute > m_disc.GetLeadOut())
        return MCIERR_OUTOFRANGE;
    lsn = absolute;
    return 0;
}

DWORD CCDAudioDevice::FromSector(long lsn) const {
    if (m_dwTimeFormat == MCI_FORMAT_TMSF) {
        const int track = TrackAt(lsn);
        const long offset = lsn - m_disc.GetTrackStart(track);
        return MCI_MAKE_TMSF(DWORD(track), DWORD(offset / kFps / 60), DWORD(offset / kFps % 60),
                             DWORD(offset % kFps));
    }
    return SectorsToMsf(lsn + CCdDisc::kLeadInFrames);
}

// ---- mode, command strings, door, volume ----

DWORD CCDAudioDevice::ModeNow() const {
    const std::string drive = GetDrive();
    const CdDriveState state = CCdDisc::QueryDrive(drive);
    if (state == CdDriveState::TrayOpen)
        return MCI_MODE_OPEN;
    if (state != CdDriveState::DiscReady || (IsOpen() && !m_disc.IsOpen()))
        return MCI_MODE_NOT_READY;
    if (m_stream.IsRunning())
        return m_stream.IsPaused() ? MCI_MODE_PAUSE : MCI_MODE_PLAY;
    return MCI_MODE_STOP;
}

std::string CCDAudioDevice::ModeText() const {
    switch (ModeNow()) {
    case MCI_MODE_OPEN:
        return "open";
    case MCI_MODE_NOT_READY:
        return "not ready";
    case MCI_MODE_PLAY:
        return "playing";
    case MCI_MODE_PAUSE:
        return "paused";
    default:
        return "stopped";
    }
}

bool CCDAudioDevice::SendString(const std::string& command, std::string* pAnswer) {
    platform::LogVerbose("MCI command string: " + command);
    const std::vector<std::string> w = Words(command);
    if (pAnswer)
        pAnswer->clear();
    DWORD error = MCIERR_UNRECOGNIZED_COMMAND;
    if (w.size() >= 3 && w[1] == "cdaudio") {
        if (w[0] == "status" && w[2] == "mode" && w.size() == 3) {
            if (pAnswer)
                *pAnswer = ModeText();
            error = 0;
        } else if (w[0] == "set" && w.size() == 5 && w[2] == "audio" && w[3] == "all" &&
                   (w[4] == "on" || w[4] == "off")) {
            m_stream.SetMute(w[4] == "off");
            error = 0;
        } else if (w[0] == "set" && w[2] == "door" && w.size() >= 4 &&
                   (w[3] == "open" || w[3] == "closed")) {
            // Both wait until the drive has moved its tray.
            const bool done =
                w[3] == "open" ? CCdDisc::OpenDoor(GetDrive()) : CCdDisc::CloseDoor(GetDrive());
            error = done ? 0 : DWORD(MCIERR_HARDWARE);
        }
    }
    if (error != 0) {
        KeepError(error);
        platform::LogVerbose("MCI command string failed: " + MciErrorText(error));
    }
    return error == 0;
}

void CCDAudioDevice::Mute(bool mute) {
    SendString(mute ? "set cdaudio audio all off" : "set cdaudio audio all on");
}

bool CCDAudioDevice::OpenDoor(bool open) {
    return SendString(open ? "set cdaudio door open wait" : "Set cdaudio door closed wait");
}

bool CCDAudioDevice::IsDoorOpen() {
    std::string answer;
    return SendString("status cdaudio mode", &answer) && answer == "open";
}

void CCDAudioDevice::SetVolumeLevel(DWORD level) {
    m_dwVolumeLevel = std::min<DWORD>(level, 65535);
    m_stream.SetGain(double(m_dwVolumeLevel) / 65535.0);
}
