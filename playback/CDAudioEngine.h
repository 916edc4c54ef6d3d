// The CD-audio engine (engine 3): plays one track of an audio disc, named by a path of the form
// "<drive>/TrackNN.cda", from the drive's CD-audio device, and reports to the engine manager
// with the registered CD messages. The device is opened by the first Open and reused for later
// tracks of the same drive.
#pragma once

#include "playback/CDAudioDevice.h"
#include "playback/MediaEngine.h"
#include "playback/MixerVolume.h"

#include <cstdint>
#include <memory>
#include <string>

class CCDAudioEngine : public CMediaEngine {
public:
    CCDAudioEngine();
    ~CCDAudioEngine() override;

    // The number that follows the first digit of the file name (without folder and
    // extension); 0 without a digit or when the number is no track number (above 99).
    static std::uint8_t TrackFromPath(const std::string& path);
    // The folder part of the path: the drive (device or disc image) the track is on.
    static std::string DriveFromPath(const std::string& path);

    void SetVisible(bool) override {}
    bool IsVideoVisible() const override { return false; }
    void Seek(double seconds) override;
    double GetPosition() const override;
    double GetDuration() const override;
    void SetMute(bool mute) override;
    bool GetMute() const override { return false; }
    void SetVolume(int volume) override;
    int GetVolume() const override;
    std::string GetInfoText1() const override { return {}; }
    std::string GetInfoText2() const override { return {}; }
    bool IsAudioOnly() const override { return true; }
    bool CanSeek() const override { return true; }
    bool CanResizeVideo() const override { return true; }
    bool HasPlayer() const override { return false; }
    CSize GetVideoSize() const override { return {}; }
    bool Create(const std::string& windowName, DWORD style, const CRect& rect, CWnd* pParent,
                int engineId) override;
    void Destroy() override;
    bool Initialize() override { return true; }
    void Open(const std::string& path) override;
    std::string GetOpenedPath() const override { return m_strPath; }
    void Play() override;
    void Pause() override;
    void Stop() override;

    // The door of the engine's drive (the first CD-ROM drive before any track was opened);
    // these work without an open device.
    bool OpenDoor(bool open);
    bool IsDoorOpen();

    CCDAudioDevice* GetDevice() const { return m_pDevice.get(); }
    std::uint8_t GetTrack() const { return m_nTrack; }
    DWORD GetFrom() const { return m_dwFrom; }
    DWORD GetTo() const { return m_dwTo; }
    DWORD GetLength() const { return m_dwLength; }

private:
    void Notify(UINT message, WPARAM wParam = 0);
    // Runs body with the device in MSF time format, then restores the format; false when the
    // format could not be switched.
    template <class Body> bool WithMsf(Body body) const;

    std::unique_ptr<CCDAudioDevice> m_pDevice;
    CWnd* m_pNotifyWnd = nullptr;
    int m_nEngineId = EngineCDAudio;
    std::uint8_t m_nTrack = 0;
    std::string m_strPath;
    DWORD m_dwFrom = 0;
    DWORD m_dwTo = 0;
    DWORD m_dwLength = 0;
    CMixerVolume m_mixer;
};
