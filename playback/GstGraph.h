// Threads of the media engine's pipeline, and what each may touch.
//
// Interface thread (the window's message loop): every public member below, the window
// messages WM_GRAPHNOTIFY (the bus pump), WM_CLIPENDED and WM_VIDEOFRAME, and every call to
// the host. All CGstGraph fields belong to it alone. No other thread ever sees `this`: the
// callbacks get the Link (shared, so a start that still runs keeps it alive) or AsfChains.
//
// The start thread (gst_element_call_async, from GStreamer's pool): StartPaused takes the
// pipeline to PAUSED, which may block in the source for good (a FIFO nobody writes). Reads
// Link::abandoned, clears Link::starting (both atomic), posts its failure on the bus. A
// pipeline let go while starting goes down on the same pool: StopAbandoned, then
// DeleteAbandoned, which owns everything that pipeline's callbacks point at.
//
// The bus sync handler (OnBusSync) runs on whichever thread posts a message: a streaming
// thread, the start thread or the interface thread itself (state changes it asks for). It
// only queues the message (Link::messages, under Link::messageMutex) and posts WM_GRAPHNOTIFY
// when the queue was empty; the interface thread takes and handles the queued messages.
//
// Streaming threads:
// - appsink new-preroll/new-sample (OnNewFrame): sets Link::framePending (atomic) and posts
//   WM_VIDEOFRAME once until the interface thread clears it and pulls the newest picture.
// - playbin about-to-finish (OnAboutToFinish): reads Link::next and writes Link::joined under
//   Link::joinMutex, which the interface thread takes for SetNextPath, on stream start and when
//   a length is announced.
// - ASF pad-added (OnReaderPad on the demuxer's thread, OnDecodedPad on each decoder's):
//   read the AsfChains pointers, fixed before the start; attaching a chain is serialised by
//   AsfChains::attachMutex, since two decoders may offer a stream of one kind at once.
// - deep-element-added (gstsupport::NameAudioStreams), on whichever thread adds an element
//   (the start thread too): touches only the new element.
//
// Link::hWnd and Link::next are written before any callback is installed; hWnd is only read
// afterwards. The elements themselves are GStreamer's to guard (object and state locks): the
// interface thread sets the volume, seeks and queries while streaming threads run.
//
// Teardown (ReleasePipeline): the frame callbacks go first. A pipeline whose start has
// returned is set to NULL, which waits for its streaming threads, before the bus handler
// goes and the Link is dropped. A pipeline still starting loses its bus handler at once and
// is stopped on GStreamer's pool; the Link and AsfChains stay alive with it (AbandonedGraph)
// until it is down, so a late callback still finds them.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;
typedef struct _GstSample GstSample;
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

// What the graph asks of the window that shows it; called on the interface thread only.
class IGstGraphHost {
public:
    // An event for the engine manager, sent at once with the graph's status.
    virtual void OnGraphEvent(int event) = 0;
    // DShowFinished with the graph's status, posted.
    virtual void OnGraphFinished() = 0;
    // A pipeline goes: the picture taken from it is let go first (closing), the window shows
    // black after (closed). notify: the engine manager hears of it (DShowResetting).
    virtual void OnGraphClosing(bool notify) = 0;
    virtual void OnGraphClosed(bool notify) = 0;

protected:
    ~IGstGraphHost() = default;
};

// One GStreamer pipeline per clip (playbin, or an ASF demuxer pipeline for Windows Media
// files), started on a GStreamer thread, its bus messages turned into the host's events.
class CGstGraph {
public:
    static constexpr UINT WM_GRAPHNOTIFY = WM_APP + 1; // bus messages are waiting
    static constexpr UINT WM_CLIPENDED = WM_APP + 2;   // wParam: the pipeline's serial
    static constexpr UINT WM_VIDEOFRAME = WM_APP + 3;  // a new picture is waiting
    static constexpr double kMuteGain = 1e-5;          // -100 dB

    explicit CGstGraph(IGstGraphHost& host);
    ~CGstGraph();
    CGstGraph(const CGstGraph&) = delete;
    CGstGraph& operator=(const CGstGraph&) = delete;

    // The window the three messages above go to (before the first Open).
    void SetWindow(HWND hWnd) { m_hWnd = hWnd; }

    void Open(const std::string& path);
    void Run();
    void Pause();
    void Stop();
    void Seek(double seconds);
    // Seconds with their fraction; 0 without a pipeline.
    double GetExactPosition() const;
    // Whole seconds: the pipeline's answer, which some formats only know once playing.
    int GetDuration() const;
    // The pipeline's linear factor: 1 full, smaller quieter. The engine converts to it.
    void SetVolume(double gain);
    double GetVolume() const { return m_dVolume; }
    // The factor the pipeline plays at now (the mute factor when muted).
    double GetPipelineVolume() const;
    void SetMute(bool mute);
    bool GetMute() const { return m_bMute != 0; }
    void AbandonOpen();
    void SetNextPath(const std::string& path);
    void DropJoinedClip();
    // Lets the pipeline go (notify: with DShowResetting around it).
    void Close(bool notify);

    // WM_GRAPHNOTIFY: handles the bus messages queued so far.
    void PumpBus();
    // WM_CLIPENDED.
    void OnClipEnded(WPARAM serial);
    // WM_VIDEOFRAME: the newest picture the frame sink holds (its preroll one before it
    // plays), the caller's to unref; null when none or the video goes to another sink.
    GstSample* TakeNewestFrame();

    const DShowStatus& GetStatus() const { return m_status; }
    const std::string& GetPath() const { return m_strPath; }
    bool CanSeekAbsolute() const { return m_bCanSeekAbsolute != 0; }
    bool HasPipeline() const { return m_pPipeline != nullptr; }

    struct Link; // what the streaming threads may touch

private:
    bool Build(std::string& error);
    bool BuildPlaybin(std::string& error);
    bool BuildAsfGraph(std::string& error);
    void StartStreaming();
    void HandleBusMessage(GstMessage* pMsg);
    void OnOpenComplete();
    void OnError(const std::string& text);
    void FailOpen(const std::string& text);
    void OnStreamStart();
    void OpenJoined();
    bool JoinUnderWay() const;
    std::string TakeJoinUnderWay(); // the clip playbin joined but has not started; cleared
    void ReopenAlone();
    void OnDurationKnown();
    void OnTags(GstMessage* pMsg);
    void ReleasePipeline();
    bool IsFromSoundOutput(GstMessage* pMsg) const;
    bool SoundOutputMissing() const;
    void OnOutputError(const std::string& text);
    std::optional<int> SetStateWithin(int state); // a GstState
    std::optional<int> WithinBound(std::function<int(GstElement*)> step);
    bool StopWithinBound();
    void ReadMediaInfo();
    void ReadReaderVideoSize();
    void SetPlayState(int state);
    void ApplyVolume();
    void PostClipEnded();

    IGstGraphHost& m_host;
    HWND m_hWnd = 0;
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
    bool m_bOpening = false;
    std::string m_strPath;
    std::string m_strNext;       // the clip to join, for this pipeline and the next one built
    std::string m_strJoined;     // the clip the pipeline went on with, until it is opened
    std::string m_strUnjoinable; // a clip whose join failed: not joined to this clip again
    bool m_bStreamStarted = false;
    DShowStatus m_status;
    // The tags of a joined clip that started but is not opened yet (nothing else is set): its
    // status once it opens.
    DShowStatus m_joinedTags;
    double m_dVolume = 1.0;
    int m_bMute = 0;
    int m_bCanSeekAbsolute = 0;
    int m_bCanSeekForwards = 0;
    int m_bCanSeekBackwards = 0;
    std::string m_strMissingPlugin;
};
