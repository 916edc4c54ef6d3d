#include "playback/GstGraph.h"

#include "core/ClipTags.h"
#include "core/PlaylistPaths.h"
#include "platform/Log.h"
#include "platform/MessageQueue.h"
#include "playback/AudioEffects.h"
#include "playback/GstSupport.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <deque>
#include <functional>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <gst/video/video.h>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// Shared with GStreamer's threads (see the map in the header): they only post to the window.
struct CGstGraph::Link {
    HWND hWnd = 0;
    // The bus messages, in order, taken by the sync handler for the interface thread. Kept here
    // rather than on the bus, a message can be read as soon as it is announced.
    std::mutex messageMutex;
    std::deque<GstMessage*> messages;
    // A message holds its source: queued ones would keep the pipeline's elements alive.
    void DropMessages() {
        std::lock_guard lock(messageMutex);
        for (GstMessage* pMsg : messages)
            gst_message_unref(pMsg);
        messages.clear();
    }
    ~Link() { DropMessages(); }
    // A frame is announced once until it is taken (appsink queues before it calls).
    std::atomic<bool> framePending{false};
    // The pipeline's first state change still runs on a GStreamer thread.
    std::atomic<bool> starting{false};
    // A state change or seek did not end in time (interface thread only).
    bool stuck = false;
    // The interface let the pipeline go (while it was starting, or an early start was queued).
    std::atomic<bool> abandoned{false};
    // The interface wants the clip playing once open (set while it opens), and a GStreamer
    // thread went on to playing by itself, so first sound does not wait for the interface
    // thread. The mutex orders that step against a release that stops the pipeline at once.
    std::atomic<bool> runWanted{false};
    std::atomic<bool> playingEarly{false};
    std::mutex stateMutex;
    // The clip to join at the end (set by the interface) and the one joined (set by playbin's
    // streaming thread, taken by the interface when the joined stream starts).
    std::mutex joinMutex;
    std::string next;
    std::string joined;
};

namespace {

// Every message is queued for the interface thread, which is woken when the queue fills.
GstBusSyncReply OnBusSync(GstBus*, GstMessage* pMsg, gpointer data) {
    auto* pLink = static_cast<CGstGraph::Link*>(data);
    bool wake = false;
    {
        std::lock_guard lock(pLink->messageMutex);
        wake = pLink->messages.empty();
        pLink->messages.push_back(pMsg); // a dropped message is the handler's to unref
    }
    if (wake)
        platform::CMessageQueue::Instance().Post(pLink->hWnd, CGstGraph::WM_GRAPHNOTIFY, 0, 0);
    return GST_BUS_DROP;
}

GstFlowReturn OnNewFrame(GstAppSink*, gpointer data) {
    auto* pLink = static_cast<CGstGraph::Link*>(data);
    if (!pLink->framePending.exchange(true))
        platform::CMessageQueue::Instance().Post(pLink->hWnd, CGstGraph::WM_VIDEOFRAME, 0, 0);
    return GST_FLOW_OK;
}

// playbin keeps up to three decoded pictures queued before the picture sink, each a whole
// decoded frame (5.6 MiB for 720p in 4:4:4 at 10 bits). Two keep the decoder ahead of the
// screen by 66 ms at 30 frames a second, besides the picture the window shows and the one
// waiting in the sink.
constexpr guint kQueuedPictures = 2;

void OnElementAdded(GstBin*, GstBin*, GstElement* pElement, gpointer) {
    gchar* pName = gst_element_get_name(pElement);
    if (g_str_equal(pName, "vqueue"))
        g_object_set(pElement, "max-size-buffers", kQueuedPictures, nullptr);
    g_free(pName);
}

// Streaming thread: playbin asks for the next stream while the current one still plays.
void OnAboutToFinish(GstElement* pPlaybin, gpointer data) {
    auto* pLink = static_cast<CGstGraph::Link*>(data);
    // Pictures keep a pipeline of their own per clip.
    gint videoStreams = 0;
    g_object_get(pPlaybin, "n-video", &videoStreams, nullptr);
    std::string next;
    {
        std::lock_guard lock(pLink->joinMutex);
        next = pLink->next;
    }
    // A clip whose type is not even recognised is not joined: its failure would cut off the
    // end of this one. This one ends, and that one fails by itself. Read outside the lock, which
    // the interface takes.
    if (next.empty() || videoStreams > 0 || !gstsupport::TypeIsRecognised(next))
        return;
    std::lock_guard lock(pLink->joinMutex);
    if (pLink->next != next)
        return; // named anew meanwhile
    if (gchar* pUri = gst_filename_to_uri(next.c_str(), nullptr)) {
        g_object_set(pPlaybin, "uri", pUri, nullptr);
        g_free(pUri);
        pLink->joined = next;
    }
    pLink->next.clear();
}

constexpr const char* kStartFailed = "corvella-start-failed";

using SharedLink = std::shared_ptr<CGstGraph::Link>;

void DeleteLinkRef(gpointer data) {
    delete static_cast<SharedLink*>(data);
}

// Runs on a GStreamer thread: playing follows the preroll at once; the interface confirms it
// when it hears that the clip opened.
void PlayIfWanted(GstElement* pPipeline, CGstGraph::Link& link) {
    std::lock_guard lock(link.stateMutex);
    if (link.abandoned || !link.runWanted)
        return;
    link.playingEarly =
        gst_element_set_state(pPipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    if (link.abandoned) // let go meanwhile, and its stop may have run first
        gst_element_set_state(pPipeline, GST_STATE_NULL);
}

void PlayWhenOpen(GstElement* pPipeline, gpointer data) {
    PlayIfWanted(pPipeline, **static_cast<SharedLink*>(data));
}

// Runs on a GStreamer thread: opening the source may block for as long as nobody writes to a
// FIFO or a mount answers. A failure without an error of its own is told through the bus.
void StartPaused(GstElement* pPipeline, gpointer data) {
    CGstGraph::Link& link = **static_cast<SharedLink*>(data);
    if (!link.abandoned &&
        gst_element_set_state(pPipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        gst_element_post_message(
            pPipeline, gst_message_new_application(GST_OBJECT(pPipeline),
                                                   gst_structure_new_empty(kStartFailed)));
    else
        PlayIfWanted(pPipeline, link);
    // The stop queued when the interface let go may have run first: the pipeline still ends down.
    if (link.abandoned)
        gst_element_set_state(pPipeline, GST_STATE_NULL);
    link.starting = false;
}

std::string LowerExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

bool IsAsfType(const std::string& path) {
    const std::string ext = LowerExtension(path);
    return ext == "asf" || ext == "wma" || ext == "wmv";
}

// The element stays ours (one reference) whether or not a bin takes it as well.
GstElement* Keep(GstElement* pElement) {
    return pElement ? GST_ELEMENT(gst_object_ref_sink(pElement)) : nullptr;
}

void Release(GstElement*& pElement) {
    if (pElement)
        gst_object_unref(pElement);
    pElement = nullptr;
}

int DurationSeconds(gint64 duration) {
    return core::WholeSeconds(double(duration) / GST_SECOND);
}

GstElement* MakeVideoSink(GstElement** ppAppSink, std::string& error) {
    *ppAppSink = nullptr;
    if (GstElement* pSink = gstsupport::SinkFromEnvironment("CORVELLA_VIDEO_SINK"))
        return pSink;
    return gstsupport::MakeFrameSink(ppAppSink, error);
}

// [audioconvert ! audioresample ! effects !] volume ! the sink, behind one "sink" pad;
// *ppVolume (when asked for) is the volume element.
GstElement* MakeAudioChain(GstElement** ppVolume, bool bConvert, GstElement* pEffects = nullptr) {
    GstElement* pSink = gstsupport::SinkFromEnvironment("CORVELLA_AUDIO_SINK");
    if (!pSink)
        pSink = gst_element_factory_make("autoaudiosink", nullptr);
    std::vector<GstElement*> chain;
    if (bConvert)
        chain = {gst_element_factory_make("audioconvert", nullptr),
                 gst_element_factory_make("audioresample", nullptr)};
    if (pEffects)
        chain.push_back(pEffects);
    chain.push_back(gst_element_factory_make("volume", nullptr));
    chain.push_back(pSink);
    GstElement* pBin = gst_bin_new("audio");
    if (std::find(chain.begin(), chain.end(), nullptr) != chain.end()) {
        chain.push_back(pBin);
        for (GstElement* p : chain)
            if (p)
                gst_object_unref(gst_object_ref_sink(p));
        return nullptr;
    }
    for (std::size_t i = 0; i < chain.size(); ++i) {
        gst_bin_add(GST_BIN(pBin), chain[i]);
        if (i > 0)
            gst_element_link(chain[i - 1], chain[i]);
    }
    GstPad* pPad = gst_element_get_static_pad(chain.front(), "sink");
    gst_element_add_pad(pBin, gst_ghost_pad_new("sink", pPad));
    gst_object_unref(pPad);
    if (ppVolume)
        *ppVolume = chain[chain.size() - 2];
    return pBin;
}

// Puts a waiting chain into the pipeline and feeds it from pad; a second stream of the same
// kind is left unplayed.
void AttachChain(GstElement* pPipeline, GstElement* pChain, GstPad* pPad) {
    if (!pChain || GST_OBJECT_PARENT(pChain))
        return;
    gst_bin_add(GST_BIN(pPipeline), pChain);
    gst_element_sync_state_with_parent(pChain);
    GstPad* pSinkPad = gst_element_get_static_pad(pChain, "sink");
    gst_pad_link(pPad, pSinkPad);
    gst_object_unref(pSinkPad);
}

std::string StateName(int state) {
    return state == DShowRunning ? "playing" : state == DShowPaused ? "paused" : "stopped";
}

} // namespace

// What the ASF pipeline's streaming threads need while they link decoded streams.
struct AsfChains {
    AsfChains(GstElement* pipeline, GstElement* audio, GstElement* video)
        : pPipeline(pipeline), pAudio(audio), pVideo(video) {}

    GstElement* pPipeline;
    GstElement* pAudio;
    GstElement* pVideo;
    std::mutex attachMutex; // held while a decoder's stream gets its chain
};

namespace {

void OnDecodedPad(GstElement*, GstPad* pPad, gpointer data) {
    auto* pChains = static_cast<AsfChains*>(data);
    GstCaps* pCaps = gst_pad_get_current_caps(pPad);
    if (!pCaps)
        pCaps = gst_pad_query_caps(pPad, nullptr);
    const std::string kind = gst_structure_get_name(gst_caps_get_structure(pCaps, 0));
    gst_caps_unref(pCaps);
    std::lock_guard lock(pChains->attachMutex);
    if (kind.starts_with("audio/"))
        AttachChain(pChains->pPipeline, pChains->pAudio, pPad);
    else if (kind.starts_with("video/"))
        AttachChain(pChains->pPipeline, pChains->pVideo, pPad);
}

// Every output of the ASF reader is rendered: it gets a queue (the reader feeds all streams
// from one thread, so one waiting sink must not starve the others) and a decoder, whose
// output gets a sink.
void OnReaderPad(GstElement*, GstPad* pPad, gpointer data) {
    auto* pChains = static_cast<AsfChains*>(data);
    GstElement* pQueue = gst_element_factory_make("queue", nullptr);
    GstElement* pDecoder = gst_element_factory_make("decodebin", nullptr);
    if (!pQueue || !pDecoder) {
        for (GstElement* p : {pQueue, pDecoder})
            if (p)
                gst_object_unref(gst_object_ref_sink(p));
        return;
    }
    g_signal_connect(pDecoder, "pad-added", G_CALLBACK(OnDecodedPad), pChains);
    gst_bin_add_many(GST_BIN(pChains->pPipeline), pQueue, pDecoder, nullptr);
    gst_element_link(pQueue, pDecoder);
    gst_element_sync_state_with_parent(pDecoder);
    gst_element_sync_state_with_parent(pQueue);
    GstPad* pSinkPad = gst_element_get_static_pad(pQueue, "sink");
    gst_pad_link(pPad, pSinkPad);
    gst_object_unref(pSinkPad);
}

} // namespace

CGstGraph::CGstGraph(IGstGraphHost& host) : m_host(host) {}

// The window closes the pipeline while it still exists; this only lets go of what is left.
CGstGraph::~CGstGraph() {
    if (m_pPipeline)
        ReleasePipeline();
}

// ---- building the pipeline ----

void CGstGraph::Open(const std::string& path) {
    if (m_pPipeline && !m_strJoined.empty() && path == m_strJoined) {
        OpenJoined();
        return;
    }
    if (path != m_strPath)
        m_strUnjoinable.clear();
    Close(false);
    platform::LogVerbose("opening: " + path);
    m_strPath = path;
    m_status = {};
    m_strMissingPlugin.clear();
    std::string error;
    if (!Build(error)) {
        FailOpen(error);
        return;
    }
    StartStreaming();
}

bool CGstGraph::Build(std::string& error) {
    if (!gstsupport::EnsureInitialized(error))
        return false;
    ++m_nSerial;
    m_pLink = std::make_shared<Link>();
    m_pLink->hWnd = m_hWnd;
    m_pLink->next = m_strNext;
    m_bStreamStarted = false;
    if (IsAsfType(m_strPath) ? !BuildAsfGraph(error) : !BuildPlaybin(error)) {
        Close(false);
        return false;
    }
    gstsupport::NameAudioStreams(m_pPipeline);
    GstBus* pBus = gst_element_get_bus(m_pPipeline);
    gst_bus_set_sync_handler(pBus, OnBusSync, m_pLink.get(), nullptr);
    gst_object_unref(pBus);
    if (m_pAppSink) {
        GstAppSinkCallbacks callbacks{};
        callbacks.new_preroll = OnNewFrame;
        callbacks.new_sample = OnNewFrame;
        gst_app_sink_set_callbacks(GST_APP_SINK(m_pAppSink), &callbacks, m_pLink.get(), nullptr);
    }
    ApplyVolume();
    return true;
}

bool CGstGraph::BuildPlaybin(std::string& error) {
    m_pPipeline = Keep(gst_element_factory_make("playbin", nullptr));
    if (!m_pPipeline) {
        error = "no playbin element";
        return false;
    }
    GError* pError = nullptr;
    // A stream's address goes to playbin as it is; a path becomes a file URI.
    gchar* pUri = core::IsStreamUri(m_strPath) ? g_strdup(m_strPath.c_str())
                                               : gst_filename_to_uri(m_strPath.c_str(), &pError);
    if (!pUri) {
        error = pError ? pError->message : "not a file name";
        g_clear_error(&pError);
        return false;
    }
    g_object_set(m_pPipeline, "uri", pUri, nullptr);
    g_free(pUri);
    g_signal_connect(m_pPipeline, "about-to-finish", G_CALLBACK(OnAboutToFinish), m_pLink.get());
    g_signal_connect(m_pPipeline, "deep-element-added", G_CALLBACK(OnElementAdded), nullptr);
    m_pVideoSink = Keep(MakeVideoSink(&m_pAppSink, error));
    if (!m_pVideoSink)
        return false;
    g_object_set(m_pPipeline, "video-sink", m_pVideoSink, nullptr);
    // The audio sink brings its own volume element. For a sink without a volume control
    // playbin would add one, and GStreamer 1.22 leaks that one with every clip (4 KiB each).
    // The sound shaping sits right before the sink: playbin's queue ahead of the sink would
    // delay an equalizer change by as much as it holds.
    m_pEffects = audioeffects::MakeChain();
    GstElement* pAudioSink = MakeAudioChain(nullptr, false, m_pEffects);
    if (!pAudioSink) {
        error = "no audio sink";
        return false;
    }
    g_object_set(m_pPipeline, "audio-sink", pAudioSink, nullptr);
    m_pAudioOut = pAudioSink;
    m_pVolumeElement = m_pPipeline;
    return true;
}

bool CGstGraph::BuildAsfGraph(std::string& error) {
    m_pPipeline = Keep(gst_pipeline_new("asf"));
    GstElement* pSource = gst_element_factory_make("filesrc", nullptr);
    m_pReader = gst_element_factory_make("asfdemux", "ASF Reader");
    if (!pSource || !m_pReader) {
        error = "no ASF reader (asfdemux) available";
        if (pSource)
            gst_object_unref(gst_object_ref_sink(pSource));
        return false;
    }
    g_object_set(pSource, "location", m_strPath.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(m_pPipeline), pSource, m_pReader, nullptr);
    gst_element_link(pSource, m_pReader);
    m_pEffects = audioeffects::MakeChain();
    m_pAudioChain = Keep(MakeAudioChain(&m_pVolumeElement, true, m_pEffects));
    m_pVideoSink = Keep(MakeVideoSink(&m_pAppSink, error));
    if (!m_pAudioChain || !m_pVideoSink) {
        if (error.empty())
            error = "no audio sink";
        return false;
    }
    m_pAudioOut = m_pAudioChain;
    m_pChains = std::make_unique<AsfChains>(m_pPipeline, m_pAudioChain, m_pVideoSink);
    g_signal_connect(m_pReader, "pad-added", G_CALLBACK(OnReaderPad), m_pChains.get());
    return true;
}

// The interface never waits for the source to open; the engine manager's open time-out ends
// an open that does not complete.
void CGstGraph::StartStreaming() {
    m_bOpening = true;
    m_pLink->starting = true;
    gst_element_call_async(m_pPipeline, StartPaused, new SharedLink(m_pLink), DeleteLinkRef);
}

// ---- bus messages (user-interface thread) ----

void CGstGraph::PumpBus() {
    const std::uint32_t serial = m_nSerial;
    // A message may close the pipeline or open another: the queue read is always the current
    // pipeline's, and a closed one's messages go with its link.
    while (m_pPipeline && serial == m_nSerial) {
        GstMessage* pMsg = nullptr;
        {
            std::lock_guard lock(m_pLink->messageMutex);
            if (m_pLink->messages.empty())
                break;
            pMsg = m_pLink->messages.front();
            m_pLink->messages.pop_front();
        }
        HandleBusMessage(pMsg);
        gst_message_unref(pMsg);
    }
}

void CGstGraph::HandleBusMessage(GstMessage* pMsg) {
    switch (GST_MESSAGE_TYPE(pMsg)) {
    case GST_MESSAGE_ERROR: {
        GError* pError = nullptr;
        gchar* pDebug = nullptr;
        gst_message_parse_error(pMsg, &pError, &pDebug);
        const std::string text = pError ? pError->message : "unknown error";
        if (pDebug)
            platform::LogVerbose(std::string("GStreamer: ") + pDebug);
        g_clear_error(&pError);
        g_free(pDebug);
        if (IsFromSoundOutput(pMsg)) {
            OnOutputError(text);
            break;
        }
        OnError(m_strMissingPlugin.empty() ? text : "missing plugin: " + m_strMissingPlugin);
        break;
    }
    case GST_MESSAGE_ELEMENT:
        if (gst_is_missing_plugin_message(pMsg)) {
            gchar* pText = gst_missing_plugin_message_get_description(pMsg);
            m_strMissingPlugin = pText ? pText : "unknown";
            g_free(pText);
            platform::LogVerbose("missing GStreamer plugin: " + m_strMissingPlugin);
            OnError("missing plugin: " + m_strMissingPlugin);
        }
        break;
    case GST_MESSAGE_ASYNC_DONE:
        if (m_bOpening && GST_MESSAGE_SRC(pMsg) == GST_OBJECT(m_pPipeline))
            OnOpenComplete();
        break;
    case GST_MESSAGE_EOS:
        PostClipEnded();
        break;
    case GST_MESSAGE_STREAM_START:
        OnStreamStart();
        break;
    case GST_MESSAGE_APPLICATION:
        if (m_bOpening && gst_message_has_name(pMsg, kStartFailed))
            FailOpen("the pipeline could not start");
        break;
    case GST_MESSAGE_DURATION_CHANGED:
        OnDurationKnown();
        break;
    case GST_MESSAGE_STATE_CHANGED:
        if (GST_MESSAGE_SRC(pMsg) == GST_OBJECT(m_pPipeline)) {
            GstState state = GST_STATE_NULL;
            gst_message_parse_state_changed(pMsg, nullptr, &state, nullptr);
            if (state == GST_STATE_PAUSED || state == GST_STATE_PLAYING)
                OnDurationKnown();
        }
        break;
    case GST_MESSAGE_TAG:
        OnTags(pMsg);
        break;
    case GST_MESSAGE_BUFFERING: {
        // Only a stream's filling is worth telling; a file's is over at once.
        gint percent = 100;
        gst_message_parse_buffering(pMsg, &percent);
        if (core::IsStreamUri(m_strPath) && percent != m_status.buffering) {
            m_status.buffering = percent;
            m_host.OnGraphEvent(DShowBuffering);
        }
        break;
    }
    default:
        break;
    }
}

void CGstGraph::OnOpenComplete() {
    m_bOpening = false;
    ReadMediaInfo();
    // A sound clip with nowhere to sound would play on in silence with its time running.
    if (m_status.audioOnly && SoundOutputMissing()) {
        OnOutputError("no sound output could be opened (tried: " + gstsupport::AudioSinkNames() +
                      ")");
        return;
    }
    if (m_status.audioOnly)
        platform::LogVerbose("clip opened: " + m_strPath + " (" +
                             std::to_string(m_status.duration) + " s, audio only)");
    else
        platform::LogVerbose(
            "clip opened: " + m_strPath + " (" + std::to_string(m_status.duration) + " s, video " +
            std::to_string(m_status.videoWidth) + "x" + std::to_string(m_status.videoHeight) + ")");
    const std::uint32_t serial = m_nSerial;
    bool runWanted = false, playingEarly = false;
    {
        std::lock_guard lock(m_pLink->stateMutex); // no early start after this
        runWanted = m_pLink->runWanted.exchange(false);
        playingEarly = m_pLink->playingEarly.exchange(false);
    }
    m_host.OnGraphEvent(DShowOpened);
    if (serial != m_nSerial || !m_pPipeline)
        return;
    if (runWanted)
        Run();
    else if (playingEarly) // paused while it opened
        gst_element_set_state(m_pPipeline, GST_STATE_PAUSED);
}

// Some streams (an MP3 without a header naming its length) know their length only once data
// flows; a length found after the open is reported again.
void CGstGraph::OnDurationKnown() {
    gint64 duration = 0;
    // A joined clip's length is read when it opens; the pipeline may answer with it as soon as
    // the clip is joined, while the one before still plays.
    if (!m_pPipeline || JoinUnderWay() ||
        !gst_element_query_duration(m_pPipeline, GST_FORMAT_TIME, &duration) || duration <= 0)
        return;
    const auto seconds = std::int32_t(DurationSeconds(duration));
    if (seconds == m_status.duration)
        return;
    m_status.duration = seconds;
    if (!m_bOpening) {
        platform::LogVerbose("clip length: " + m_strPath + " (" + std::to_string(seconds) + " s)");
        m_host.OnGraphEvent(DShowInfoChanged);
    }
}

// The first artist and title a file names stay; later streams inside it do not replace them.
// A radio stream names its station once and then the title of whatever plays, so there the
// station stands in for the artist and each new title replaces the last.
void CGstGraph::OnTags(GstMessage* pMsg) {
    GstTagList* pTags = nullptr;
    gst_message_parse_tag(pMsg, &pTags);
    if (!pTags)
        return;
    if (gst_tag_list_get_scope(pTags) != GST_TAG_SCOPE_GLOBAL &&
        gstsupport::OnlyGlobalTagsName(m_strPath)) {
        gst_tag_list_unref(pTags);
        return;
    }
    const bool bStream = core::IsStreamUri(m_strPath);
    // The sink names each clip's tags in stream order: those after a joined clip's start are
    // its own, though it is not opened as the current one yet.
    const bool bJoined = !m_strJoined.empty();
    DShowStatus& status = bJoined ? m_joinedTags : m_status;
    bool changed = false;
    for (auto [tag, pField] :
         {std::pair{GST_TAG_ARTIST, &status.artist}, std::pair{GST_TAG_TITLE, &status.title},
          std::pair{GST_TAG_ORGANIZATION, &status.artist}}) {
        const std::string_view name = tag;
        if (name == GST_TAG_ORGANIZATION && !bStream)
            continue;
        if (!pField->empty() && !(bStream && name == GST_TAG_TITLE))
            continue;
        std::string text = gstsupport::TagText(pTags, tag);
        if (text.empty() || text == *pField)
            continue;
        *pField = std::move(text);
        changed = true;
    }
    gst_tag_list_unref(pTags);
    if (changed && !bJoined && !m_bOpening && !m_status.title.empty())
        m_host.OnGraphEvent(DShowInfoChanged);
}

void CGstGraph::ReadMediaInfo() {
    m_status.duration = 0;
    m_status.videoWidth = 0;
    m_status.videoHeight = 0;
    if (m_pVideoSink && !m_status.audioOnly) {
        GstPad* pPad = gst_element_get_static_pad(m_pVideoSink, "sink");
        GstCaps* pCaps = pPad ? gst_pad_get_current_caps(pPad) : nullptr;
        GstVideoInfo info;
        if (pCaps && gst_video_info_from_caps(&info, pCaps)) {
            m_status.videoWidth = info.width;
            m_status.videoHeight = info.height;
        }
        if (pCaps)
            gst_caps_unref(pCaps);
        if (pPad)
            gst_object_unref(pPad);
    }
    if (m_status.videoWidth == 0 && m_pReader)
        ReadReaderVideoSize();
    gint64 duration = 0;
    if (gst_element_query_duration(m_pPipeline, GST_FORMAT_TIME, &duration))
        m_status.duration = std::int32_t(DurationSeconds(duration));
    m_bCanSeekAbsolute = m_bCanSeekForwards = m_bCanSeekBackwards = 0;
    GstQuery* pQuery = gst_query_new_seeking(GST_FORMAT_TIME);
    if (gst_element_query(m_pPipeline, pQuery)) {
        gboolean seekable = FALSE;
        gst_query_parse_seeking(pQuery, nullptr, &seekable, nullptr, nullptr);
        m_bCanSeekAbsolute = m_bCanSeekForwards = m_bCanSeekBackwards = seekable ? 1 : 0;
    }
    gst_query_unref(pQuery);
    if (m_status.videoWidth == 0 || m_status.videoHeight == 0)
        m_status.audioOnly = 1;
}

// The ASF reader announces the picture size on its video output before anything decodes; the
// pipeline may finish opening before the video sink has its first picture.
void CGstGraph::ReadReaderVideoSize() {
    GstIterator* it = gst_element_iterate_src_pads(m_pReader);
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        GstCaps* pCaps = gst_pad_get_current_caps(GST_PAD(g_value_get_object(&item)));
        g_value_reset(&item);
        if (!pCaps)
            continue;
        const GstStructure* pInfo = gst_caps_get_structure(pCaps, 0);
        if (gst_structure_has_name(pInfo, "video/x-wmv") ||
            std::string(gst_structure_get_name(pInfo)).starts_with("video/")) {
            gst_structure_get_int(pInfo, "width", &m_status.videoWidth);
            gst_structure_get_int(pInfo, "height", &m_status.videoHeight);
        }
        gst_caps_unref(pCaps);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

void CGstGraph::OnError(const std::string& text) {
    // Playbin reads the clip joined next while this one still plays: a failure before the
    // joined clip starts is its own, and the next one, opened by itself, fails as itself. This
    // clip ends as finished; one so short that it was read whole before it opened opens again,
    // alone.
    if (const std::string joined = TakeJoinUnderWay(); !joined.empty()) {
        platform::LogVerbose("joined clip failed: " + joined + ": " + text);
        m_strUnjoinable = joined;
        if (m_bOpening)
            ReopenAlone();
        else
            OnClipEnded(m_nSerial);
        return;
    }
    if (m_bOpening) {
        FailOpen(text);
        return;
    }
    // A clip that breaks while it plays fails, so the playlist moves on instead of showing a
    // clip that plays forever.
    platform::LogVerbose("clip failed: " + m_strPath + ": " + text);
    Close(true);
    m_status = {};
    m_status.errorText = text;
    m_host.OnGraphEvent(DShowFailed);
}

bool CGstGraph::IsFromSoundOutput(GstMessage* pMsg) const {
    GstObject* pSource = GST_MESSAGE_SRC(pMsg);
    return m_pAudioOut && pSource &&
           (pSource == GST_OBJECT(m_pAudioOut) ||
            gst_object_has_as_ancestor(pSource, GST_OBJECT(m_pAudioOut)));
}

// Without a working device the automatic sink stands in a sink that only discards.
bool CGstGraph::SoundOutputMissing() const {
    if (!m_pAudioOut || !GST_IS_BIN(m_pAudioOut))
        return false;
    bool missing = false;
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(m_pAudioOut));
    GValue item = G_VALUE_INIT;
    while (!missing && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* pElement = GST_ELEMENT(g_value_get_object(&item));
        GstObject* pParent = gst_object_get_parent(GST_OBJECT(pElement));
        missing = pParent && gstsupport::FactoryNameIs(pElement, "fakesink") &&
                  gstsupport::FactoryNameIs(GST_ELEMENT(pParent), "autoaudiosink");
        if (pParent)
            gst_object_unref(pParent);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return missing;
}

// The clip is not at fault: it is reported apart from a failure, so it keeps its mark.
void CGstGraph::OnOutputError(const std::string& text) {
    platform::LogVerbose("sound output failed: " + m_strPath + ": " + text);
    const bool opening = std::exchange(m_bOpening, false);
    Close(!opening);
    m_status = {};
    m_status.errorText = text;
    m_host.OnGraphEvent(DShowOutputFailed);
}

void CGstGraph::FailOpen(const std::string& text) {
    m_bOpening = false;
    Close(false);
    m_status = {};
    m_status.errorText = text;
    platform::LogVerbose("clip failed: " + m_strPath + ": " + text);
    m_host.OnGraphEvent(DShowFailed);
}

void CGstGraph::AbandonOpen() {
    if (m_bOpening) {
        m_bOpening = false;
        Close(false);
        m_status = {};
    }
}

// ---- transport ----

void CGstGraph::Run() {
    if (!m_pPipeline)
        return;
    if (m_bOpening) {
        // Starts once the clip is open; the start under way may have looked before this.
        m_pLink->runWanted = true;
        gst_element_call_async(m_pPipeline, PlayWhenOpen, new SharedLink(m_pLink), DeleteLinkRef);
        return;
    }
    const std::optional<int> result = SetStateWithin(GST_STATE_PLAYING);
    if (!result)
        return;
    if (*result == GST_STATE_CHANGE_FAILURE) {
        char text[1024];
        std::snprintf(text, sizeof text, "\r\n*** Failed(%08x) in Run()!\r\n", unsigned(*result));
        OnError(text);
        return;
    }
    SetPlayState(DShowRunning);
}

void CGstGraph::Pause() {
    if (!m_pPipeline)
        return;
    if (m_bOpening) {
        m_pLink->runWanted = false;
        return;
    }
    if (const std::optional<int> result = SetStateWithin(GST_STATE_PAUSED);
        result && *result != GST_STATE_CHANGE_FAILURE)
        SetPlayState(DShowPaused);
}

void CGstGraph::Stop() {
    if (!m_pPipeline || (m_status.playState != DShowRunning && m_status.playState != DShowPaused))
        return;
    if (SetStateWithin(GST_STATE_READY))
        PostClipEnded();
}

void CGstGraph::Seek(double seconds) {
    if (!m_pPipeline || m_bOpening)
        return;
    const auto position = gint64(seconds * double(GST_SECOND));
    WithinBound([position](GstElement* pPipeline) {
        return int(gst_element_seek_simple(
            pPipeline, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
            position));
    });
}

namespace {

// A state change as a step for gstsupport::RunWithin.
std::function<int(GstElement*)> ToState(GstState state) {
    return [state](GstElement* pPipeline) { return int(gst_element_set_state(pPipeline, state)); };
}

} // namespace

std::optional<int> CGstGraph::SetStateWithin(int state) {
    return WithinBound(ToState(GstState(state)));
}

// A step the pipeline does not end in time waits on something outside, most often a sound
// server that does not answer: the clip ends as a sound output failure and the pipeline is
// left to go down in the background.
std::optional<int> CGstGraph::WithinBound(std::function<int(GstElement*)> step) {
    const std::optional<int> result = gstsupport::RunWithin(m_pPipeline, std::move(step));
    if (!result) {
        m_pLink->stuck = true;
        OnOutputError("the sound output does not answer");
    }
    return result;
}

double CGstGraph::GetExactPosition() const {
    gint64 position = 0;
    if (!m_pPipeline || m_bOpening ||
        !gst_element_query_position(m_pPipeline, GST_FORMAT_TIME, &position))
        return 0.0;
    return double(position) / double(GST_SECOND);
}

int CGstGraph::GetDuration() const {
    gint64 duration = 0;
    if (m_pPipeline && !m_bOpening &&
        gst_element_query_duration(m_pPipeline, GST_FORMAT_TIME, &duration) && duration > 0)
        return DurationSeconds(duration);
    return m_status.duration;
}

void CGstGraph::OnClipEnded(WPARAM serial) {
    if (!m_pPipeline || serial != m_nSerial)
        return; // the clip this was about is gone already
    platform::LogVerbose("clip finished: " + m_strPath);
    Close(true);
    SetPlayState(DShowStopped);
    m_status = {};
    m_host.OnGraphFinished();
}

void CGstGraph::ReopenAlone() {
    const bool run = m_pLink->runWanted;
    const std::string path = m_strPath;
    m_strNext.clear();
    Open(path);
    if (run)
        Run();
}

void CGstGraph::SetNextPath(const std::string& path) {
    m_strNext = path == m_strUnjoinable ? std::string() : path;
    if (!m_pLink)
        return;
    std::lock_guard lock(m_pLink->joinMutex);
    m_pLink->next = m_strNext;
}

// The joined clip's first sound reaches the sink: the clip before it has ended.
void CGstGraph::OnStreamStart() {
    // The first start is the opened clip's own; a clip may be joined before it is reported.
    if (!m_bStreamStarted) {
        m_bStreamStarted = true;
        return;
    }
    std::string joined;
    {
        std::lock_guard lock(m_pLink->joinMutex);
        joined.swap(m_pLink->joined);
    }
    if (joined.empty())
        return;
    platform::LogVerbose("clip finished: " + m_strPath + " (joined by the next)");
    m_strJoined = joined;
    m_joinedTags = {};
    m_strNext.clear(); // the controller names the one after when the joined clip opens
    SetPlayState(DShowStopped);
    m_status = {};
    m_host.OnGraphFinished();
}

std::string CGstGraph::TakeJoinUnderWay() {
    if (!m_pLink)
        return {};
    std::lock_guard lock(m_pLink->joinMutex);
    return std::exchange(m_pLink->joined, {});
}

bool CGstGraph::JoinUnderWay() const {
    if (!m_strJoined.empty())
        return true;
    if (!m_pLink)
        return false;
    std::lock_guard lock(m_pLink->joinMutex);
    return !m_pLink->joined.empty();
}

void CGstGraph::OpenJoined() {
    m_strPath = m_strJoined;
    m_strJoined.clear();
    m_status = std::exchange(m_joinedTags, {});
    m_strMissingPlugin.clear();
    platform::LogVerbose("opening: " + m_strPath + " (joined)");
    OnOpenComplete();
}

void CGstGraph::DropJoinedClip() {
    if (m_strJoined.empty())
        return;
    platform::LogVerbose("joined clip dropped: " + m_strJoined);
    Close(false);
    m_status = {};
}

void CGstGraph::Close(bool notify) {
    if (!m_pPipeline)
        return;
    m_host.OnGraphClosing(notify);
    ReleasePipeline();
    m_bOpening = false;
    m_host.OnGraphClosed(notify);
}

// What a pipeline whose start still runs keeps alive until it is down.
struct AbandonedGraph {
    GstElement* pPipeline;
    GstElement* pVideoSink;
    GstElement* pAudioChain;
    std::unique_ptr<AsfChains> pChains;
    std::shared_ptr<CGstGraph::Link> pLink;
    ~AbandonedGraph() {
        for (GstElement* p : {pPipeline, pVideoSink, pAudioChain})
            if (p)
                gst_object_unref(p);
    }
};

namespace {

void StopAbandoned(GstElement* pPipeline, gpointer) {
    gst_element_set_state(pPipeline, GST_STATE_NULL);
}

void DeleteAbandoned(gpointer data) {
    delete static_cast<AbandonedGraph*>(data);
}

void UnhookBus(GstElement* pPipeline, CGstGraph::Link& link) {
    GstBus* pBus = gst_element_get_bus(pPipeline);
    gst_bus_set_sync_handler(pBus, nullptr, nullptr, nullptr);
    gst_object_unref(pBus);
    link.DropMessages();
}

} // namespace

void CGstGraph::ReleasePipeline() {
    if (m_pEffects)
        audioeffects::Forget(m_pEffects);
    m_pEffects = nullptr;
    if (m_pAppSink) {
        GstAppSinkCallbacks none{};
        gst_app_sink_set_callbacks(GST_APP_SINK(m_pAppSink), &none, nullptr, nullptr);
    }
    if (m_pLink->starting || m_pLink->stuck || !StopWithinBound()) {
        // The start may be blocked in the source for good, or a sink in something outside:
        // the pipeline goes down on a GStreamer thread once it returns, so neither the
        // interface nor the exit waits.
        UnhookBus(m_pPipeline, *m_pLink);
        m_pLink->abandoned = true;
        platform::LogVerbose("pipeline left to stop in the background: " + m_strPath);
        auto* pGraph = new AbandonedGraph{m_pPipeline, m_pVideoSink, m_pAudioChain,
                                          std::move(m_pChains), m_pLink};
        gst_element_call_async(m_pPipeline, StopAbandoned, pGraph, DeleteAbandoned);
        m_pPipeline = m_pVideoSink = m_pAudioChain = nullptr;
    } else {
        // Once the pipeline is down no streaming thread runs; then the hooks can go.
        UnhookBus(m_pPipeline, *m_pLink);
    }
    Release(m_pPipeline);
    Release(m_pVideoSink);
    Release(m_pAudioChain);
    m_pVolumeElement = m_pAppSink = m_pReader = m_pAudioOut = nullptr;
    m_pChains.reset();
    m_pLink.reset();
    m_strJoined.clear();
}

bool CGstGraph::StopWithinBound() {
    {
        std::lock_guard lock(m_pLink->stateMutex); // no early start after this
        m_pLink->abandoned = true;
    }
    return gstsupport::RunWithin(m_pPipeline, ToState(GST_STATE_NULL)).has_value();
}

void CGstGraph::SetPlayState(int state) {
    if (m_status.playState == state)
        return;
    m_status.playState = state;
    platform::LogVerbose("play state: " + StateName(state) + " (" + m_strPath + ")");
    m_host.OnGraphEvent(DShowStateChanged);
}

void CGstGraph::PostClipEnded() {
    if (m_hWnd)
        platform::CMessageQueue::Instance().Post(m_hWnd, WM_CLIPENDED, m_nSerial, 0);
}

// ---- volume ----

void CGstGraph::SetVolume(double gain) {
    m_dVolume = gain;
    if (!m_bMute)
        ApplyVolume();
}

void CGstGraph::SetMute(bool mute) {
    m_bMute = mute ? 1 : 0;
    ApplyVolume();
}

void CGstGraph::ApplyVolume() {
    if (!m_pVolumeElement)
        return;
    g_object_set(m_pVolumeElement, "volume", m_bMute ? kMuteGain : m_dVolume, nullptr);
}

double CGstGraph::GetPipelineVolume() const {
    if (!m_pVolumeElement)
        return m_bMute ? kMuteGain : m_dVolume;
    double linear = 1.0;
    g_object_get(m_pVolumeElement, "volume", &linear, nullptr);
    return linear;
}

// ---- pictures ----

GstSample* CGstGraph::TakeNewestFrame() {
    if (!m_pAppSink)
        return nullptr;
    // Cleared before the pull: a picture that comes after it is announced again.
    m_pLink->framePending = false;
    GstAppSink* pSink = GST_APP_SINK(m_pAppSink);
    GstSample* pLatest = nullptr;
    while (GstSample* pSample = gst_app_sink_try_pull_sample(pSink, 0)) {
        if (pLatest)
            gst_sample_unref(pLatest);
        pLatest = pSample;
    }
    return pLatest ? pLatest : gst_app_sink_try_pull_preroll(pSink, 0);
}
