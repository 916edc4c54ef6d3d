// The engine manager: a child window of the play window that owns the four media engines,
// picks one per clip by the file's extension, passes the transport on to it, turns the
// engines' own reports into the program's playback notifications, and shows the idle picture
// (CIdlePicture: logo, overlay text, "Audio Only") while no video covers its area.
#pragma once

#include "platform/DC.h"
#include "platform/Wnd.h"
#include "playback/EngineManagerControl.h"
#include "playback/IdlePicture.h"
#include "playback/MediaEngine.h"
#include "playback/PlaybackState.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class CDShowWnd;

class CEngineManager : public CWnd, public IEngineManagerControl {
public:
    static constexpr std::uintptr_t kOpenTimer = 0;
    static constexpr UINT kOpenTimeoutMs = 60000;
    // A stream whose connection drops is opened again after 1, 2 and 4 seconds before it fails.
    static constexpr std::uintptr_t kRetryTimer = 1;
    static constexpr UINT kRetryDelayMs = 1000;
    static constexpr int kStreamRetries = 3;
    static constexpr int kEngineCount = 4;
    // The maker's web host, named by every not-installed message.
    static constexpr const char* kWebHost = "www.corvella-player.org";
    // Edition switch: only the media engine and the CD-audio engine are made; the QuickTime and
    // RealMedia types go to the media engine.
    static constexpr bool kWindowsMediaOnly = true;

    CEngineManager();
    ~CEngineManager() override;

    // Creates the hidden manager window in pParent, then the engines that are not disabled.
    bool Create(const CRect& rect, CWnd* pParent, UINT id);

    void SetExtensions(int engineId, const std::string& list);
    std::string GetExtensions(int engineId) const;
    void SetPath(const std::string& path);
    void ClearPath() { m_strPath.clear(); }
    const std::string& GetPath() const { return m_strPath; }

    void Play(bool start);
    void Pause();
    void Stop();
    void SetNextPath(const std::string& path) override;
    void Seek(double seconds);
    double GetPosition() const;
    double GetDuration() const;
    void SetMute(bool mute) override;
    void SetVolume(int volume) override;
    bool GetMute() const;
    int GetVolume() const;
    bool IsAudioOnly() const;
    bool CanSeek() const override;
    bool CanResizeVideo() const;
    std::string GetInfoText1() const;
    std::string GetInfoText2() const;
    std::string GetOpenedPath() const;
    CSize GetVideoSize() const;
    void ShowVideo(bool show);
    bool IsVideoShown() const { return m_bVideoShown != 0; }
    void SetRect(const CRect& rect);

    void SetOverlayText(const std::string& text) override;
    const std::string& GetOverlayText() const { return m_strOverlayText; }
    void SetIdleLogo(bool show) override { m_idle.SetShowLogo(show); }
    void SetLogoMode(int mode) { m_idle.SetLogoMode(mode); }
    // The logo bitmap comes from the skin; the caller keeps it alive. Null paints no logo.
    void SetLogo(const CDC* pLogo) { m_idle.SetLogo(pLogo); }
    CSize GetLogoSize() const { return m_idle.GetLogoSize(); }
    void SetDisplayMode(int mode) override { m_nDisplayMode = mode; }
    int GetDisplayMode() const { return m_nDisplayMode; }

    bool IsLoading() const override { return m_bLoading != 0; }
    int GetPlayState() const { return m_nPlayState; }
    bool IsActive() const { return m_nPlayState != EngineStopped && !m_bLoading; }
    bool AllInstalled() const;
    // The CD drive's door; they work without an open CD device.
    bool OpenCdDoor(bool open);
    bool IsCdDoorOpen();
    bool IsDisabled(int engineId) const;
    void SetDisabled(int engineId, bool disabled);
    // Disables the RealMedia and QuickTime engines when the edition switch is on (before Create).
    void ApplyEditionSwitch();

    void Reset();
    void DestroyEngines();

    CMediaEngine* GetEngine(int engineId) const;
    CMediaEngine* GetCurrentEngine() const { return m_pCurrentEngine; }
    // The not-installed message of an engine: the first line, a carriage return, the web host.
    static std::string NotInstalledText(int engineId);
    // The back buffer as last painted (what the window shows).
    const CDC& GetBackBufferSurface() const { return m_idle.GetSurface(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Makes the engine object of a slot; a slot without an engine answers null.
    virtual std::unique_ptr<CMediaEngine> CreateEngineObject(int engineId);

private:
    void Run();
    void Open();
    bool RetryStream(bool bEnded);
    CDShowWnd* MediaWnd() const; // null until the media engine has its window
    void ShowBuffering(int percent);
    void OpenWith(int engineId);
    void Opened(CMediaEngine* pEngine);
    void Finished(bool error);
    void Fail();
    void FailWithText(const std::string& text);
    void OutputFailed(const std::string& reason);
    void LetClipGo(bool bStopped);
    void SetState(int state);
    void SetLoading(bool loading);
    void OnOpenTimeout();
    void OnDShowNotify(WPARAM event, LPARAM lParam);
    void OnEngineFinished(int engineId, UINT stateMessage);
    void OnEngineError(const char* text, UINT stateMessage);
    bool OnEngineMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnSize(int width, int height);
    void UpdateBackBuffer();
    void OnPaint();

    CMediaEngine* m_pCurrentEngine = nullptr;
    std::array<std::unique_ptr<CMediaEngine>, kEngineCount> m_pEngines;
    // The engine an open was handed to, until it reports; a timed-out open is abandoned on it.
    CMediaEngine* m_pOpeningEngine = nullptr;
    int m_bVideoShown = 0;
    int m_bLoading = 0;
    std::string m_strPath;
    int m_nRetries = 0;           // reconnections of the current stream so far
    bool m_bRetryPending = false; // waiting to reconnect
    bool m_bStopAsked = false;    // stopped on purpose: an ending stream is not reopened
    bool m_bHadLength = false;    // the opened clip reported a length: it may end
    CSize m_windowSize;
    int m_nPlayState = EngineStopped;
    CIdlePicture m_idle; // what the area shows while no video covers it
    std::string m_strOverlayText;
    int m_nDisplayMode = 2;
    int m_nVolume = -1; // the level and mute last set, for the next clip; -1: none set yet
    bool m_bMute = false;
    std::array<int, kEngineCount> m_bDisabled{};
    std::array<std::string, kEngineCount> m_strExtensions;
};
