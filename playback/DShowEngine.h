// The media engine (engine 0): a thin adapter over its player window, converting the volume
// scale and the time units. It plays every type that is not a CD track.
#pragma once

#include "playback/MediaEngine.h"

#include <memory>

class CDShowWnd;

class CDShowEngine : public CMediaEngine {
public:
    CDShowEngine();
    ~CDShowEngine() override;

    // The volume's one conversion: 0..100 to the pipeline's linear factor (and back for
    // reading). Volume 0 is quiet (-80 dB), not silent; silence is what mute is for.
    static double VolumeToGain(int volume);
    static int GainToVolume(double gain);

    void SetVideoSize(int width, int height) override;
    void ShowVideo(bool show) override;
    // Abandons an open that has not reported yet; an open clip is left alone.
    void Close() override;
    void SetVisible(bool show) override;
    bool IsVideoVisible() const override;
    void Seek(double seconds) override;
    double GetPosition() const override;
    double GetDuration() const override;
    void SetMute(bool mute) override;
    bool GetMute() const override;
    void SetVolume(int volume) override;
    int GetVolume() const override;
    // The clip's tags: the artist (only with a title) and the title.
    std::string GetInfoText1() const override;
    std::string GetInfoText2() const override;
    bool IsAudioOnly() const override;
    bool CanSeek() const override;
    bool CanResizeVideo() const override { return true; }
    bool HasPlayer() const override { return m_pWnd != nullptr; }
    CSize GetVideoSize() const override;
    bool Create(const std::string& windowName, DWORD style, const CRect& rect, CWnd* pParent,
                int engineId) override;
    void Destroy() override;
    bool Initialize() override { return true; }
    void Open(const std::string& path) override;
    std::string GetOpenedPath() const override;
    void Play() override;
    void Pause() override;
    void Stop() override;

    CDShowWnd* GetWnd() const { return m_pWnd.get(); }

private:
    std::unique_ptr<CDShowWnd> m_pWnd;
};
