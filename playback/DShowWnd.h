// The media engine's player window: one GStreamer pipeline per clip (playbin, or an ASF
// demuxer pipeline for Windows Media files), its video frames painted in this window, its bus
// messages turned into the engine events sent to the parent (the engine manager).
#pragma once

#include "platform/DC.h"
#include "platform/Wnd.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;
struct AsfChains;

// Events carried in wParam of WM_REG_DSHOWNOTIFY.
enum DShowNotify : int {
    DShowOpened = 1,        // sent
    DShowFinished = 2,      // posted
    DShowStateChanged = 11, // sent
    DShowResetting = 12,    // sent; lParam 1 before the pipeline goes, 0 after
    DShowFailed = 13,       // sent; the status error text says why
    DShowInfoChanged = 14,  // sent; after the open, the length or the tags became known
    DShowOutputFailed = 15, // sent; the sound output failed (the status error text says why)
    DShowBuffering = 16,    // sent; a stream's buffer fills (status: per cent)
};

// The engine's own play states.
enum DShowPlayState : int { DShowStopped = 0, DShowRunning = 3, DShowPaused = 4 };

// Sent by address with every event except 12.
struct DShowStatus {
    std::int32_t duration = 0; // whole seconds
    std::int32_t videoWidth = 0;
    std::int32_t videoHeight = 0;
    std::int32_t audioOnly = 0;
    std::int32_t playState = DShowStopped;
    std::string errorText;
    std::int32_t buffering = 100; // per cent of a stream's buffer that is filled
    // From the clip's tags; the artist only counts together with a title.
    std::string artist;
    std::string title;
};

class CDShowWnd : public CWnd {
public:
    static constexpr UINT WM_GRAPHNOTIFY = WM_APP + 1; // bus messages are waiting
    static constexpr UINT WM_CLIPENDED = WM_APP + 2;   // wParam: the pipeline's serial
    static constexpr UINT WM_VIDEOFRAME = WM_APP + 3;  // a new picture is waiting
    static constexpr double kMuteGain = 1e-5;          // -100 dB

    CDShowWnd();
    ~CDShowWnd() override;

    bool Create(CWnd* pParent, const CRect& rect);

    void Open(const std::string& path);
    void Run();
    void Pause();
    void Stop();
    void Seek(double seconds);
    // Whole seconds; 0 without a pipeline.
    int GetPosition() const;
    // Whole seconds: the pipeline's answer, which some formats only know once playing.
    int GetDuration() const;
    // Seconds with their fraction, for checks that need more than whole seconds.
    double GetExactPosition() const;
    // The pipeline's linear factor: 1 full, smaller quieter. The engine converts to it.
    void SetVolume(double gain);
    double GetVolume() const { return m_dVolume; }
    // The factor the pipeline plays at now (the mute factor when muted).
    double GetPipelineVolume() const;
    void SetMute(bool mute);
    bool GetMute() const { return m_bMute != 0; }
    // Drops an open that has not reported yet, without any event.
    void AbandonOpen();
    // The clip to join when the open one (or the one opened next) nears its end, so the two
    // play without a gap: the pipeline goes on with it, the open clip is reported finished,
    // and opening the joined clip then only reports it opened. Empty: none. Audio clips in
    // playbin only.
    void SetNextPath(const std::string& path);
    // Ends a joined clip that was not opened since (the list went elsewhere or stopped).
    void DropJoinedClip();

    const DShowStatus& GetStatus() const { return m_status; }
    const std::string& GetPath() const { return m_strPath; }
    bool CanSeekAbsolute() const { return m_bCanSeekAbsolute != 0; }
    bool HasGraph() const { return m_pPipeline != nullptr; }
    bool IsOpening() const { return m_bOpening; }
    // The last video frame at the window's size.
    // What the window shows: the decoded picture (scaled to the window as it is painted), or
    // black.
    const CDC& GetPicture() const;

    struct Link; // what the streaming threads may touch

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool BuildGraph(std::string& error);
    bool BuildPlaybin(std::string& error);
    bool BuildAsfGraph(std::string& error);
    void StartStreaming();
    void OnGraphNotify();
    void HandleBusMessage(GstMessage* pMsg);
    void OnOpenComplete();
    void OnError(const std::string& text);
    void FailOpen(const std::string& text);
    void OnClipEnded(WPARAM serial);
    void OnStreamStart();
    void OpenJoined();
    void OnDurationKnown();
    void OnTags(GstMessage* pMsg);
    void InfoChanged();
    void CloseGraph(bool notify);
    void ReleaseGraph();
    bool IsFromSoundOutput(GstMessage* pMsg) const;
    bool SoundOutputMissing() const;
    void OnOutputError(const std::string& text);
    void ReadMediaInfo();
    void ReadReaderVideoSize();
    void SetPlayState(int state);
    void Notify(int event);
    void ApplyVolume();
    void OnVideoFrame();
    void ReleaseFrame();
    void RedrawPicture();

    GstElement* m_pPipeline = nullptr;
    GstElement* m_pVolumeElement = nullptr; // playbin, or the ASF pipeline's volume element
    GstElement* m_pVideoSink = nullptr;
    GstElement* m_pAppSink = nullptr;    // null when a sink from the environment is used
    GstElement* m_pReader = nullptr;     // the ASF demuxer
    GstElement* m_pAudioChain = nullptr; // the ASF pipeline's audio output
    GstElement* m_pAudioOut = nullptr;   // the sound output within the pipeline (not a reference)
    GstElement* m_pEffects = nullptr;    // the pipeline's ReplayGain and equalizer; not owned
    std::unique_ptr<AsfChains> m_pChains;
    std::shared_ptr<Link> m_pLink; // shared with a start still running
    std::uint32_t m_nSerial = 0;
    std::uint64_t m_nPopped = 0; // bus messages taken from this pipeline's bus
    bool m_bOpening = false;
    bool m_bRunWanted = false;
    std::string m_strPath;
    std::string m_strNext;   // the clip to join, for this pipeline and the next one built
    std::string m_strJoined; // the clip the pipeline went on with, until it is opened
    bool m_bStreamStarted = false;
    DShowStatus m_status;
    double m_dVolume = 1.0;
    int m_bMute = 0;
    int m_bCanSeekAbsolute = 0;
    int m_bCanSeekForwards = 0;
    int m_bCanSeekBackwards = 0;
    std::string m_strMissingPlugin;
    struct HeldFrame;
    std::unique_ptr<HeldFrame> m_pFrame; // the picture shown, in the decoder's memory
    CDC m_backBuffer;
};
