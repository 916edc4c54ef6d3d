// An audio disc in a CD-ROM drive (or a disc image libcdio opens the same way): its table of
// contents, its raw audio sectors, and the drive's door and disc state.
#pragma once

#include <mutex>
#include <string>
#include <vector>

typedef struct _CdIo CdIo_t;

enum class CdDriveState { NoDrive, NoDisc, TrayOpen, DiscReady };

class CCdDisc {
public:
    static constexpr int kFramesPerSecond = 75; // a frame is one sector
    static constexpr int kSectorBytes = 2352;   // 588 stereo samples of 16 bits at 44.1 kHz
    static constexpr long kLeadInFrames = 150;  // absolute disc addresses count from here

    CCdDisc() = default;
    ~CCdDisc();
    CCdDisc(const CCdDisc&) = delete;
    CCdDisc& operator=(const CCdDisc&) = delete;

    // Opens the drive and reads its table of contents; false without a readable disc.
    bool Open(const std::string& drive);
    void Close();
    bool IsOpen() const { return m_pCdio != nullptr; }
    const std::string& GetDrive() const { return m_strDrive; }

    int GetFirstTrack() const { return m_nFirstTrack; }
    int GetTrackCount() const { return int(m_trackStarts.size()); }
    bool HasTrack(int track) const;
    bool IsAudioTrack(int track) const;
    // Sector numbers counted from the first track's usual start (LSN); End is exclusive.
    long GetTrackStart(int track) const;
    long GetTrackEnd(int track) const;
    long GetLeadOut() const { return m_lLeadOut; }

    // Reads count raw audio sectors from lsn into buffer (count × kSectorBytes). Safe to call
    // from a streaming thread while the user-interface thread uses the disc.
    bool ReadAudio(long lsn, int count, unsigned char* pBuffer);

    // The drive's state without opening the disc: an image file counts as a ready disc.
    static CdDriveState QueryDrive(const std::string& drive);
    static bool OpenDoor(const std::string& drive);
    static bool CloseDoor(const std::string& drive);

private:
    mutable std::mutex m_mutex;
    CdIo_t* m_pCdio = nullptr;
    std::string m_strDrive;
    int m_nFirstTrack = 0;
    std::vector<long> m_trackStarts;
    std::vector<bool> m_audioTracks;
    long m_lLeadOut = 0;
};
