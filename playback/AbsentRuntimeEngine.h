// An engine whose player runtime does not exist on this platform (the QuickTime and RealMedia
// runtimes). It never pretends: Create fails, so the engine counts as not installed, and every
// query answers as the engine does without a player.
#pragma once

#include "playback/MediaEngine.h"

class CAbsentRuntimeEngine : public CMediaEngine {
public:
    explicit CAbsentRuntimeEngine(const char* runtimeName) : m_pRuntimeName(runtimeName) {}

    void SetVisible(bool) override {}
    bool IsVideoVisible() const override { return false; }
    void Seek(double) override {}
    double GetPosition() const override { return 0.0; }
    double GetDuration() const override { return 0.0; }
    void SetMute(bool) override {}
    bool GetMute() const override { return true; }
    void SetVolume(int) override {}
    int GetVolume() const override { return 0; }
    std::string GetInfoText1() const override { return {}; }
    std::string GetInfoText2() const override { return {}; }
    bool IsAudioOnly() const override { return true; }
    bool CanSeek() const override { return false; }
    bool CanResizeVideo() const override { return false; }
    bool HasPlayer() const override { return false; }
    CSize GetVideoSize() const override { return {}; }
    bool Create(const std::string& windowName, DWORD style, const CRect& rect, CWnd* pParent,
                int engineId) override;
    void Destroy() override {}
    bool Initialize() override { return false; }
    void Open(const std::string&) override {}
    std::string GetOpenedPath() const override { return {}; }
    void Play() override {}
    void Pause() override {}
    void Stop() override {}

private:
    const char* m_pRuntimeName;
};
