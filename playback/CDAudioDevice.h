// The CD-audio device: a media-control device for the audio tracks of a disc, addressed by
// track/minute/second/frame (TMSF, its normal format) or by absolute minute/second/frame (MSF)
// computed from the disc's table of contents. It plays through a GStreamer pipeline fed with
// the disc's sectors. The mute and door operations go through command strings, as the device
// type's command language names them; every string sent appears in the verbose log.
#pragma once

#include "playback/CdAudioStream.h"
#include "playback/CdDisc.h"
#include "playback/MciDevice.h"

#include <string>

class CCDAudioDevice : public CMciDevice {
public:
    CCDAudioDevice();
    ~CCDAudioDevice() override;

    // Opens the drive (the first CD-ROM drive when none is named) and reads its disc.
    bool Open(bool shareable, const std::string& drive = {});
    // The drive the device uses (or would use) for its commands.
    std::string GetDrive() const;
    // Length of a track as MSF; 0 when the track does not exist.
    DWORD GetTrackLength(DWORD track) { return GetTrackStatus(track, MCI_STATUS_LENGTH); }

    void Mute(bool mute);
    // Opens or closes the door and waits; true when the drive accepted it.
    bool OpenDoor(bool open);
    bool IsDoorOpen();
    // A command string: "set cdaudio audio all off|on", "set cdaudio door open|closed [wait]",
    // "status cdaudio mode". Letter case is ignored. False (last error kept) when it fails.
    bool SendString(const std::string& command, std::string* pAnswer = nullptr);

    // Playback gain on the 0..65535 scale of the mixer's lines.
    void SetVolumeLevel(DWORD level);
    DWORD GetVolumeLevel() const { return m_dwVolumeLevel; }
    bool IsMuted() const { return m_stream.GetMute(); }

    // The first CD-ROM drive of the system; empty when it has none.
    static std::string DefaultDrive();

protected:
    DWORD Execute(UINT command, DWORD flags, MciParams& params) override;

private:
    DWORD DoOpen(DWORD flags, const MciParams& params);
    DWORD DoStatus(DWORD flags, MciParams& params);
    DWORD DoSet(DWORD flags, const MciParams& params);
    DWORD DoPlay(DWORD flags, const MciParams& params);
    DWORD DoSeek(DWORD flags, const MciParams& params);
    DWORD DoPause();
    DWORD DoStop();
    DWORD ModeNow() const;
    std::string ModeText() const;
    bool DiscReady() const;

    // Positions in the current time format to sectors and back; to may name the end of a track.
    DWORD ToSector(DWORD position, long& lsn) const;
    DWORD FromSector(long lsn) const;
    int TrackAt(long lsn) const;
    long CurrentSector() const;
    void OnStreamEnd(bool completed, const std::string& error);

    CCdDisc m_disc;
    CCdAudioStream m_stream;
    std::string m_strDrive;
    DWORD m_dwTimeFormat = MCI_FORMAT_MSF;
    long m_lPosition = 0; // where the head is while nothing plays
    bool m_bNotify = false;
    DWORD m_dwVolumeLevel = 65535;
};
