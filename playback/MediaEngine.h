// The one interface every media engine offers the engine manager. Each engine wraps a player
// that lives outside the program (GStreamer, the CD drive, runtimes absent on Linux) and reports
// back to the manager through window messages; the manager never needs to know which one it
// talks to.
#pragma once

#include "platform/Wnd.h"

#include <string>

// Engine numbers: the manager's slots and the id each engine is created with.
enum EngineId : int {
    EngineDShow = 0,
    EngineReal = 1,
    EngineQuickTime = 2,
    EngineCDAudio = 3,
};

class CMediaEngine : public CCmdTarget {
public:
    CMediaEngine() = default;
    ~CMediaEngine() override = default;
    CMediaEngine(const CMediaEngine&) = delete;
    CMediaEngine& operator=(const CMediaEngine&) = delete;

    bool IsInstalled() const { return m_bInstalled != 0; }
    void SetInstalled(bool installed) { m_bInstalled = installed ? 1 : 0; }
    void SetExtensions(const std::string& list) { m_strExtensions = list; }
    const std::string& GetExtensions() const { return m_strExtensions; }
    // True when ext occurs anywhere in the extension list, ignoring case. A plain substring
    // test: "mp3", "mp" and "p3" all match "*.mp3". An empty extension matches nothing.
    bool Supports(const std::string& ext) const { return ListSupports(m_strExtensions, ext); }
    static bool ListSupports(const std::string& list, const std::string& ext);

    // The engine's video window fills width × height at the manager's top-left corner.
    virtual void SetVideoSize(int /*width*/, int /*height*/) {}
    virtual void ShowVideo(bool /*show*/) {}
    // Releases anything open.
    virtual void Close() {}
    virtual void SetVisible(bool show) = 0;
    virtual bool IsVideoVisible() const = 0;
    virtual void Seek(double seconds) = 0;
    virtual double GetPosition() const = 0;
    virtual double GetDuration() const = 0;
    virtual void SetMute(bool mute) = 0;
    virtual bool GetMute() const = 0;
    virtual void SetVolume(int volume) = 0; // 0..100
    virtual int GetVolume() const = 0;      // 0..100
    virtual std::string GetInfoText1() const = 0;
    virtual std::string GetInfoText2() const = 0;
    virtual bool IsAudioOnly() const = 0;
    virtual bool CanSeek() const = 0;
    virtual bool CanResizeVideo() const = 0;
    virtual bool HasPlayer() const = 0;
    // The picture's natural size; 0 × 0 for audio.
    virtual CSize GetVideoSize() const = 0;
    // Builds the engine's hidden player as a child of pParent; false when the player cannot
    // exist here (the engine then counts as not installed).
    virtual bool Create(const std::string& windowName, DWORD style, const CRect& rect,
                        CWnd* pParent, int engineId) = 0;
    // Releases the player; called once at shutdown.
    virtual void Destroy() = 0;
    virtual bool Initialize() = 0;
    // Starts opening; the result arrives later as a message to the manager.
    virtual void Open(const std::string& path) = 0;
    virtual std::string GetOpenedPath() const = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    // Stops; the engine then reports that the clip finished.
    virtual void Stop() = 0;

private:
    int m_bInstalled = 0;
    std::string m_strExtensions;
};

// Window styles the manager passes to an engine's Create (kept for the engines' own use).
enum : DWORD {
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    WS_CLIPSIBLINGS = 0x04000000,
    WS_CLIPCHILDREN = 0x02000000,
};
