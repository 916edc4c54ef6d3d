#include "playback/CdDisc.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <climits>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// libcdio warns about every image oddity on standard error; only errors matter here.
void QuietLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] { cdio_loglevel_default = CDIO_LOG_ERROR; });
}

bool IsBlockDevice(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
}

CdDriveState BlockDeviceState(const std::string& drive) {
    const int fd = ::open(drive.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return CdDriveState::NoDrive;
    const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    ::close(fd);
    switch (status) {
    case CDS_DISC_OK:
        return CdDriveState::DiscReady;
    case CDS_TRAY_OPEN:
        return CdDriveState::TrayOpen;
    case CDS_NO_INFO: // drives that cannot tell are tried
        return CdDriveState::DiscReady;
    default:
        return status < 0 ? CdDriveState::NoDrive : CdDriveState::NoDisc;
    }
}

} // namespace

CCdDisc::~CCdDisc() {
    Close();
}

bool CCdDisc::Open(const std::string& drive) {
    Close();
    if (QueryDrive(drive) != CdDriveState::DiscReady)
        return false;
    QuietLibraryLog();
    std::lock_guard lock(m_mutex);
    m_pCdio = cdio_open(drive.c_str(), DRIVER_UNKNOWN);
    if (!m_pCdio)
        return false;
    const track_t first = cdio_get_first_track_num(m_pCdio);
    const track_t count = cdio_get_num_tracks(m_pCdio);
    const lsn_t leadOut = cdio_get_track_lsn(m_pCdio, CDIO_CDROM_LEADOUT_TRACK);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 ||
        leadOut == CDIO_INVALID_LSN) {
        cdio_destroy(m_pCdio);
        m_pCdio = nullptr;
        return false;
    }
    m_strDrive = drive;
    m_nFirstTrack = first;
    m_lLeadOut = leadOut;
    for (int t = first; t < int(first) + int(count) && t <= CDIO_CD_MAX_TRACKS; ++t) {
        m_trackStarts.push_back(cdio_get_track_lsn(m_pCdio, track_t(t)));
        m_audioTracks.push_back(cdio_get_track_format(m_pCdio, track_t(t)) == TRACK_FORMAT_AUDIO);
    }
    return true;
}

void CCdDisc::Close() {
    std::lock_guard lock(m_mutex);
    if (m_pCdio)
        cdio_destroy(m_pCdio);
    m_pCdio = nullptr;
    m_strDrive.clear();
    m_nFirstTrack = 0;
    m_trackStarts.clear();
    m_audioTracks.clear();
    m_lLeadOut = 0;
}

bool CCdDisc::HasTrack(int track) const {
    return track >= m_nFirstTrack && track < m_nFirstTrack + GetTrackCount();
}

bool CCdDisc::IsAudioTrack(int track) const {
    return HasTrack(track) && m_audioTracks[std::size_t(track - m_nFirstTrack)];
}

long CCdDisc::GetTrackStart(int track) const {
    return HasTrack(track) ? m_trackStarts[std::size_t(track - m_nFirstTrack)] : 0;
}

long CCdDisc::GetTrackEnd(int track) const {
    if (!HasTrack(track))
        return 0;
    return HasTrack(track + 1) ? GetTrackStart(track + 1) : m_lLeadOut;
}

bool CCdDisc::ReadAudio(long lsn, int count, unsigned char* pBuffer) {
    std::lock_guard lock(m_mutex);
    if (!m_pCdio || lsn < 0 || count <= 0 || lsn + count > m_lLeadOut)
        return false;
    return cdio_read_audio_sectors(m_pCdio, pBuffer, lsn_t(lsn), unsigned(count)) ==
           DRIVER_OP_SUCCESS;
}

CdDriveState CCdDisc::QueryDrive(const std::string& drive) {
    struct stat st {};
    if (drive.empty() || ::stat(drive.c_str(), &st) != 0)
        return CdDriveState::NoDrive;
    if (S_ISREG(st.st_mode))
        return CdDriveState::DiscReady; // a disc image has no door
    if (S_ISBLK(st.st_mode))
        return BlockDeviceState(drive);
    return CdDriveState::NoDrive;
}

// Only drives have doors; an image file or a missing path answers false.
bool CCdDisc::OpenDoor(const std::string& drive) {
    return IsBlockDevice(drive) && cdio_eject_media_drive(drive.c_str()) == DRIVER_OP_SUCCESS;
}

bool CCdDisc::CloseDoor(const std::string& drive) {
    driver_id_t driver = DRIVER_DEVICE;
    return IsBlockDevice(drive) && cdio_close_tray(drive.c_str(), &driver) == DRIVER_OP_SUCCESS;
}
