// The media engine's player window: it owns the clip's GStreamer pipeline (CGstGraph, where
// the threads are mapped), paints its video frames, and sends the pipeline's events to the
// parent (the engine manager) as WM_REG_DSHOWNOTIFY.
#pragma once

#include "platform/DC.h"
#include "platform/Wnd.h"
#include "playback/GstGraph.h"
#include "playback/VideoPicture.h"

#include <string>

class CDShowWnd : public CWnd, private IGstGraphHost {
public:
    static constexpr double kMuteGain = CGstGraph::kMuteGain; // -100 dB

    CDShowWnd();
    ~CDShowWnd() override;

    bool Create(CWnd* pParent, const CRect& rect);

    void Open(const std::string& path) { m_graph.Open(path); }
    void Run() { m_graph.Run(); }
    void Pause() { m_graph.Pause(); }
    void Stop() { m_graph.Stop(); }
    void Seek(double seconds) { m_graph.Seek(seconds); }
    // Whole seconds; 0 without a pipeline.
    int GetPosition() const { return int(m_graph.GetExactPosition()); }
    // Whole seconds: the pipeline's answer, which some formats only know once playing.
    int GetDuration() const { return m_graph.GetDuration(); }
    // Seconds with their fraction, for checks that need more than whole seconds.
    double GetExactPosition() const { return m_graph.GetExactPosition(); }
    // The pipeline's linear factor: 1 full, smaller quieter. The engine converts to it.
    void SetVolume(double gain) { m_graph.SetVolume(gain); }
    double GetVolume() const { return m_graph.GetVolume(); }
    // The factor the pipeline plays at now (the mute factor when muted).
    double GetPipelineVolume() const { return m_graph.GetPipelineVolume(); }
    void SetMute(bool mute) { m_graph.SetMute(mute); }
    bool GetMute() const { return m_graph.GetMute(); }
    // Drops an open that has not reported yet, without any event.
    void AbandonOpen() { m_graph.AbandonOpen(); }
    // The clip to join when the open one (or the one opened next) nears its end, so the two
    // play without a gap: the pipeline goes on with it, the open clip is reported finished,
    // and opening the joined clip then only reports it opened. Empty: none. Audio clips in
    // playbin only.
    void SetNextPath(const std::string& path) { m_graph.SetNextPath(path); }
    // Ends a joined clip that was not opened since (the list went elsewhere or stopped).
    void DropJoinedClip() { m_graph.DropJoinedClip(); }

    const DShowStatus& GetStatus() const { return m_graph.GetStatus(); }
    const std::string& GetPath() const { return m_graph.GetPath(); }
    bool CanSeekAbsolute() const { return m_graph.CanSeekAbsolute(); }
    bool HasGraph() const { return m_graph.HasPipeline(); }
    // The size of the decoded picture shown (scaled to the window as it is painted); empty
    // while the window is black.
    CSize GetOwnPictureSize() const override { return m_picture.GetSize(); }
    bool PaintPixels(const CPixelArea& area) override { return m_picture.PaintInto(area); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnGraphEvent(int event) override;
    void OnGraphFinished() override;
    void OnGraphClosing(bool notify) override;
    void OnGraphClosed(bool notify) override;
    void OnVideoFrame();
    void ReleaseFrame();
    void RedrawPicture();

    CVideoPicture m_picture; // the picture shown, in the decoder's memory
    int m_nFramesToTrim = 0; // pictures until the heap is trimmed once
    CDC m_backBuffer;
    CGstGraph m_graph{*this};
};
