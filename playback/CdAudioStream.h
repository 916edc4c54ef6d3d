// Plays a range of a disc's audio sectors: a GStreamer pipeline whose appsrc is fed with the
// raw sectors (44.1 kHz stereo, 16 bits) as the pipeline asks for them, through a volume
// element to the audio sink. The end of the range, or a failure, is reported on the
// user-interface thread through the end handler.
#pragma once

#include "platform/Wnd.h"

#include <functional>
#include <memory>
#include <string>

typedef struct _GstElement GstElement;

class CCdDisc;

class CCdAudioStream : public CWnd {
public:
    static constexpr UINT WM_STREAMENDED = WM_APP + 1;
    // Called once per started range: true when it played to its end, false on a failure.
    using EndHandler = std::function<void(bool completed, const std::string& error)>;

    CCdAudioStream();
    ~CCdAudioStream() override;

    void SetEndHandler(EndHandler handler) { m_onEnd = std::move(handler); }

    // Plays sectors [from, to) of the disc, replacing what played before. The disc must stay
    // open while the stream runs.
    bool Start(CCdDisc& disc, long from, long to, std::string& error);
    bool Pause();
    bool Resume();
    // Ends the stream without an end report.
    void Stop();

    bool IsRunning() const { return m_pPipeline != nullptr; }
    bool IsPaused() const { return m_pPipeline && m_bPaused; }
    long GetEnd() const { return m_lEnd; }
    // The sector being heard; the range's start until the sink has reported a position.
    long GetPosition() const;

    // Linear gain (1.0 unchanged) and mute, kept across streams.
    void SetGain(double gain);
    void SetMute(bool mute);
    double GetGain() const { return m_dGain; }
    bool GetMute() const { return m_bMute; }

    struct Feed; // what the streaming thread reads

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool Build(std::string& error);
    bool ChangeState(bool paused);
    void OnStreamEnded();
    void Finish(bool completed, const std::string& error);
    void ApplyVolume();

    GstElement* m_pPipeline = nullptr;
    GstElement* m_pVolume = nullptr;
    std::unique_ptr<Feed> m_pFeed;
    long m_lStart = 0;
    long m_lEnd = 0;
    bool m_bPaused = false;
    double m_dGain = 1.0;
    bool m_bMute = false;
    EndHandler m_onEnd;
};
