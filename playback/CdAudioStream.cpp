#include "playback/CdAudioStream.h"

#include "platform/MessageQueue.h"
#include "playback/CdDisc.h"
#include "playback/GstSupport.h"

#include <algorithm>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <mutex>

// Owned by the stream; the streaming thread uses it until the pipeline is shut down.
struct CCdAudioStream::Feed {
    CCdDisc* pDisc = nullptr;
    HWND hWnd = 0;
    long start = 0;
    long next = 0;
    long end = 0;
    // The end of the stream, set once by the thread that posts it to the bus.
    std::mutex endMutex;
    bool ended = false;
    bool completed = false;
    std::string error;
};

namespace {

// A third of a second per buffer: small enough to pause promptly, large enough to read well.
constexpr int kSectorsPerBuffer = 25;

// Runs on the posting thread before the message would be queued, so a wake-up sent from here
// for a queued message could be handled before the message is there. The end is therefore
// taken from the message here and every message dropped: nothing else on the bus is used.
GstBusSyncReply OnBusMessage(GstBus*, GstMessage* pMsg, gpointer data) {
    auto* pFeed = static_cast<CCdAudioStream::Feed*>(data);
    const GstMessageType type = GST_MESSAGE_TYPE(pMsg);
    if (type != GST_MESSAGE_EOS && type != GST_MESSAGE_ERROR)
        return GST_BUS_DROP;
    std::string error;
    if (type == GST_MESSAGE_ERROR) {
        GError* pError = nullptr;
        gst_message_parse_error(pMsg, &pError, nullptr);
        error = pError ? pError->message : "unknown error";
        g_clear_error(&pError);
    }
    {
        std::lock_guard lock(pFeed->endMutex);
        if (pFeed->ended)
            return GST_BUS_DROP;
        pFeed->ended = true;
        pFeed->completed = type == GST_MESSAGE_EOS;
        pFeed->error = std::move(error);
    }
    platform::CMessageQueue::Instance().Post(pFeed->hWnd, CCdAudioStream::WM_STREAMENDED, 0, 0);
    return GST_BUS_DROP;
}

GstClockTime SectorsToTime(long sectors) {
    return gst_util_uint64_scale(GstClockTime(sectors), GST_SECOND, CCdDisc::kFramesPerSecond);
}

// Streaming thread: pushes the next buffer of sectors, or ends the stream after the last.
void OnNeedData(GstAppSrc* pSource, guint, gpointer data) {
    auto* pFeed = static_cast<CCdAudioStream::Feed*>(data);
    if (pFeed->next >= pFeed->end) {
        gst_app_src_end_of_stream(pSource);
        return;
    }
    const int count = int(std::min<long>(kSectorsPerBuffer, pFeed->end - pFeed->next));
    GstBuffer* pBuffer =
        gst_buffer_new_allocate(nullptr, gsize(count) * CCdDisc::kSectorBytes, nullptr);
    GstMapInfo map;
    bool read = false;
    if (gst_buffer_map(pBuffer, &map, GST_MAP_WRITE)) {
        read = pFeed->pDisc->ReadAudio(pFeed->next, count, map.data);
        gst_buffer_unmap(pBuffer, &map);
    }
    if (!read) {
        gst_buffer_unref(pBuffer);
        GST_ELEMENT_ERROR(pSource, RESOURCE, READ, ("The disc's audio sectors cannot be read."),
                          ("sector %ld", pFeed->next));
        return;
    }
    GST_BUFFER_PTS(pBuffer) = SectorsToTime(pFeed->next - pFeed->start);
    GST_BUFFER_DURATION(pBuffer) = SectorsToTime(count);
    pFeed->next += count;
    gst_app_src_push_buffer(pSource, pBuffer);
}

GstElement* MakeElement(const char* factory, std::string& error) {
    GstElement* pElement = gst_element_factory_make(factory, nullptr);
    if (!pElement)
        error = std::string("no GStreamer element ") + factory;
    return pElement;
}

} // namespace

CCdAudioStream::CCdAudioStream() {
    CreateMessageWindow();
}

CCdAudioStream::~CCdAudioStream() {
    Stop();
    DestroyWindow();
}

bool CCdAudioStream::Start(CCdDisc& disc, long from, long to, std::string& error) {
    Stop();
    if (from < 0 || to <= from) {
        error = "empty range";
        return false;
    }
    m_pFeed = std::make_unique<Feed>();
    m_pFeed->pDisc = &disc;
    m_pFeed->hWnd = m_hWnd;
    m_pFeed->start = m_pFeed->next = from;
    m_pFeed->end = to;
    m_lStart = from;
    m_lEnd = to;
    if (!gstsupport::EnsureInitialized(error) || !Build(error)) {
        Stop();
        return false;
    }
    if (gst_element_set_state(m_pPipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        error = "the audio pipeline could not start";
        Stop();
        return false;
    }
    return true;
}

bool CCdAudioStream::Build(std::string& error) {
    m_pPipeline = GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("cdaudio")));
    GstElement* pSource = MakeElement("appsrc", error);
    GstElement* pConvert = MakeElement("audioconvert", error);
    GstElement* pResample = MakeElement("audioresample", error);
    m_pVolume = MakeElement("volume", error);
    GstElement* pSink = gstsupport::SinkFromEnvironment("CORVELLA_AUDIO_SINK");
    if (!pSink)
        pSink = MakeElement("autoaudiosink", error);
    GstElement* elements[] = {pSource, pConvert, pResample, m_pVolume, pSink};
    if (!error.empty()) {
        for (GstElement* p : elements)
            if (p)
                gst_object_unref(gst_object_ref_sink(p));
        m_pVolume = nullptr;
        return false;
    }
    for (GstElement* p : elements)
        gst_bin_add(GST_BIN(m_pPipeline), p);
    if (!gst_element_link_many(pSource, pConvert, pResample, m_pVolume, pSink, nullptr)) {
        error = "the audio elements do not link";
        return false;
    }
    GstCaps* pCaps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "layout",
                                         G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT, 44100,
                                         "channels", G_TYPE_INT, 2, nullptr);
    g_object_set(pSource, "caps", pCaps, "format", GST_FORMAT_TIME, nullptr);
    gst_caps_unref(pCaps);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = OnNeedData;
    gst_app_src_set_callbacks(GST_APP_SRC(pSource), &callbacks, m_pFeed.get(), nullptr);
    GstBus* pBus = gst_element_get_bus(m_pPipeline);
    gst_bus_set_sync_handler(pBus, OnBusMessage, m_pFeed.get(), nullptr);
    gst_object_unref(pBus);
    ApplyVolume();
    return true;
}

bool CCdAudioStream::Pause() {
    return ChangeState(true);
}

bool CCdAudioStream::Resume() {
    return ChangeState(false);
}

bool CCdAudioStream::ChangeState(bool paused) {
    if (!m_pPipeline ||
        gst_element_set_state(m_pPipeline, paused ? GST_STATE_PAUSED : GST_STATE_PLAYING) ==
            GST_STATE_CHANGE_FAILURE)
        return false;
    m_bPaused = paused;
    return true;
}

void CCdAudioStream::Stop() {
    if (m_pPipeline) {
        // Once the pipeline is down no streaming thread runs; then the hooks can go.
        gst_element_set_state(m_pPipeline, GST_STATE_NULL);
        GstBus* pBus = gst_element_get_bus(m_pPipeline);
        gst_bus_set_sync_handler(pBus, nullptr, nullptr, nullptr);
        gst_object_unref(pBus);
        gst_object_unref(m_pPipeline);
    }
    m_pPipeline = nullptr;
    m_pVolume = nullptr;
    m_pFeed.reset();
    m_bPaused = false;
}

long CCdAudioStream::GetPosition() const {
    gint64 position = 0;
    if (!m_pPipeline || !gst_element_query_position(m_pPipeline, GST_FORMAT_TIME, &position) ||
        position < 0)
        return m_lStart;
    const long played =
        long(gst_util_uint64_scale(guint64(position), CCdDisc::kFramesPerSecond, GST_SECOND));
    return std::min(m_lStart + played, m_lEnd);
}

void CCdAudioStream::SetGain(double gain) {
    m_dGain = std::clamp(gain, 0.0, 1.0);
    ApplyVolume();
}

void CCdAudioStream::SetMute(bool mute) {
    m_bMute = mute;
    ApplyVolume();
}

void CCdAudioStream::ApplyVolume() {
    if (m_pVolume)
        g_object_set(m_pVolume, "volume", m_dGain, "mute", gboolean(m_bMute), nullptr);
}

void CCdAudioStream::OnStreamEnded() {
    if (!m_pFeed)
        return; // the stream that posted this is gone
    bool completed = false;
    std::string error;
    {
        std::lock_guard lock(m_pFeed->endMutex);
        if (!m_pFeed->ended)
            return; // posted by a stream this one replaced
        completed = m_pFeed->completed;
        error = m_pFeed->error;
    }
    Finish(completed, error);
}

void CCdAudioStream::Finish(bool completed, const std::string& error) {
    Stop();
    if (m_onEnd)
        m_onEnd(completed, error);
}

LRESULT CCdAudioStream::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_STREAMENDED) {
        OnStreamEnded();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
