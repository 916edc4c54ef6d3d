#include "playback/GstSupport.h"

#include "core/ClipTags.h"
#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <gst/base/gstbasesink.h>
#include <gst/base/gsttypefindhelper.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <memory>
#include <mutex>
#include <thread>

namespace gstsupport {

namespace {

const char kStreamAppName[] = "Corvella";
const char kStreamIconName[] = "corvella";
const char kStreamRole[] = "music";
const char kSmallMp3Decoder[] = "mpg123audiodec";

void PaceSinks(GstElement* pBin) {
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(pBin));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        // Only sinks: an element in the middle that waits for the clock would never preroll.
        GObject* pObject = G_OBJECT(g_value_get_object(&item));
        if (GST_IS_BASE_SINK(pObject))
            g_object_set(pObject, "sync", TRUE, nullptr);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

guint FeatureRank(const char* name) {
    GstPluginFeature* pFeature = gst_registry_lookup_feature(gst_registry_get(), name);
    if (!pFeature)
        return 0;
    const guint rank = gst_plugin_feature_get_rank(pFeature);
    gst_object_unref(pFeature);
    return rank;
}

// MP3 decodes through mpg123 ahead of libav's decoders, which rank the same and win on their
// name: libav's plugin links some 170 libraries, and loading them delays the first sound by
// about 50 ms, where mpg123's loads in one. Ranks the user sets for these decoders stand.
void PreferSmallMp3Decoder() {
    const char* pUserRanks = std::getenv("GST_PLUGIN_FEATURE_RANK");
    if (pUserRanks && (std::strstr(pUserRanks, "mpg123") || std::strstr(pUserRanks, "mp3")))
        return;
    GstPluginFeature* pMpg123 = gst_registry_lookup_feature(gst_registry_get(), kSmallMp3Decoder);
    if (!pMpg123)
        return;
    const guint rival = std::max(FeatureRank("avdec_mp3"), FeatureRank("avdec_mp3float"));
    if (gst_plugin_feature_get_rank(pMpg123) <= rival)
        gst_plugin_feature_set_rank(pMpg123, rival + 1);
    gst_object_unref(pMpg123);
}

} // namespace

bool EnsureInitialized(std::string& error) {
    static std::once_flag once;
    static bool started = false;
    static std::string reason;
    std::call_once(once, [] {
        GError* pError = nullptr;
        started = gst_init_check(nullptr, nullptr, &pError);
        if (started) {
            gst_pb_utils_init();
            PreferSmallMp3Decoder();
        } else
            reason = pError ? pError->message : "GStreamer could not start";
        if (pError)
            g_error_free(pError);
    });
    if (!started)
        error = reason;
    return started;
}

void NameAudioStream(GstElement* pElement) {
    GObjectClass* pClass = G_OBJECT_GET_CLASS(pElement);
    if (g_object_class_find_property(pClass, "stream-properties")) {
        GstStructure* pProps = gst_structure_new(
            "props", "application.name", G_TYPE_STRING, kStreamAppName, "application.icon_name",
            G_TYPE_STRING, kStreamIconName, "media.role", G_TYPE_STRING, kStreamRole, nullptr);
        g_object_set(pElement, "stream-properties", pProps, nullptr);
        gst_structure_free(pProps);
    }
    if (g_object_class_find_property(pClass, "client-name"))
        g_object_set(pElement, "client-name", kStreamAppName, nullptr);
}

namespace {

void OnElementAdded(GstBin*, GstBin*, GstElement* pElement, gpointer) {
    NameAudioStream(pElement);
}

} // namespace

void NameAudioStreams(GstElement* pPipeline) {
    g_signal_connect(pPipeline, "deep-element-added", G_CALLBACK(OnElementAdded), nullptr);
    // Elements already inside are named now; the signal covers the ones to come.
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(pPipeline));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        NameAudioStream(GST_ELEMENT(g_value_get_object(&item)));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

namespace {

void LoadFeature(GstPluginFeature* pFeature) {
    if (GstPluginFeature* pLoaded = gst_plugin_feature_load(pFeature))
        gst_object_unref(pLoaded);
}

void LoadElement(const char* name) {
    if (GstElementFactory* pFactory = gst_element_factory_find(name)) {
        LoadFeature(GST_PLUGIN_FEATURE(pFactory));
        gst_object_unref(pFactory);
    }
}

// The first reader of each kind, in rank order, the way decodebin would choose it.
void LoadBestReaders(GList* pReaders) {
    std::string loaded; // the kinds done so far
    for (GList* p = pReaders; p; p = p->next) {
        const char* klass = gst_element_factory_get_metadata(GST_ELEMENT_FACTORY(p->data),
                                                             GST_ELEMENT_METADATA_KLASS);
        for (const char* kind : {"Demux", "Parser", "Decoder"})
            if (klass && std::strstr(klass, kind) && loaded.find(kind) == std::string::npos) {
                loaded += kind;
                LoadFeature(GST_PLUGIN_FEATURE(p->data));
                break;
            }
    }
}

// Loads what reads a file with this extension (lower case, no dot), found through the
// extensions the type finders name: a decoder's library alone can take a tenth of a second,
// which the first pipeline then no longer spends.
void LoadReadersFor(const std::string& ext) {
    GList* pFinders = gst_type_find_factory_get_list();
    GList* pAll = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER |
                                                            GST_ELEMENT_FACTORY_TYPE_DEMUXER |
                                                            GST_ELEMENT_FACTORY_TYPE_PARSER,
                                                        GST_RANK_MARGINAL);
    pAll = g_list_sort(pAll, gst_plugin_feature_rank_compare_func);
    for (GList* p = pFinders; p; p = p->next) {
        auto* pFinder = GST_TYPE_FIND_FACTORY(p->data);
        const gchar* const* extensions = gst_type_find_factory_get_extensions(pFinder);
        GstCaps* pCaps = gst_type_find_factory_get_caps(pFinder);
        bool named = false;
        for (std::size_t i = 0; extensions && extensions[i] && !named; ++i)
            named = ext == extensions[i];
        if (!named || !pCaps)
            continue;
        LoadFeature(GST_PLUGIN_FEATURE(pFinder));
        GList* pReaders = gst_element_factory_list_filter(pAll, pCaps, GST_PAD_SINK, FALSE);
        LoadBestReaders(pReaders);
        gst_plugin_feature_list_free(pReaders);
    }
    gst_plugin_feature_list_free(pAll);
    gst_plugin_feature_list_free(pFinders);
}

} // namespace

void StartInBackground(const std::string& firstClip) {
    static std::jthread starter;
    if (starter.joinable())
        return;
    const std::string ext = core::ToLowerAscii(core::Extension(firstClip));
    starter = std::jthread([ext] {
        std::string error;
        if (!EnsureInitialized(error))
            return;
        // Loading a plugin reads and links its library: done here, the first pipeline finds
        // them ready. Names that are not installed are skipped, and so are the sound outputs
        // when the environment names the sink the pipelines use instead.
        for (const char* name :
             {"playbin", "uridecodebin", "decodebin", "typefind", "filesrc", "audioconvert",
              "audioresample", "volume", "equalizer-10bands", "videoconvert", "appsink"})
            LoadElement(name);
        if (const char* pSink = std::getenv("CORVELLA_AUDIO_SINK"); !pSink || !*pSink)
            for (const char* name : {"autoaudiosink", "pulsesink", "alsasink"})
                LoadElement(name);
        if (!ext.empty())
            LoadReadersFor(ext);
    });
}

namespace {

struct BoundedStep {
    std::function<int(GstElement*)> step;
    std::mutex mutex;
    std::condition_variable ended;
    std::optional<int> result;
};
using SharedStep = std::shared_ptr<BoundedStep>;

void RunStep(GstElement* pElement, gpointer data) {
    const SharedStep& pStep = *static_cast<SharedStep*>(data);
    const int result = pStep->step(pElement);
    {
        std::lock_guard lock(pStep->mutex);
        pStep->result = result;
    }
    pStep->ended.notify_all();
}

void DeleteStep(gpointer data) {
    delete static_cast<SharedStep*>(data);
}

} // namespace

std::optional<int> RunWithin(GstElement* pElement, std::function<int(GstElement*)> step,
                             std::chrono::milliseconds bound) {
    auto pStep = std::make_shared<BoundedStep>();
    pStep->step = std::move(step);
    gst_element_call_async(pElement, RunStep, new SharedStep(pStep), DeleteStep);
    std::unique_lock lock(pStep->mutex);
    pStep->ended.wait_for(lock, bound, [&] { return pStep->result.has_value(); });
    return pStep->result;
}

bool TypeIsRecognised(const std::string& path) {
    const std::optional<std::string> head = platform::ReadFileStart(path, 64 * 1024);
    if (!head || head->empty())
        return false;
    const std::string ext = core::ToLowerAscii(core::Extension(path));
    GstCaps* pCaps = gst_type_find_helper_for_data_with_extension(
        nullptr, reinterpret_cast<const guint8*>(head->data()), head->size(),
        ext.empty() ? nullptr : ext.c_str(), nullptr);
    if (!pCaps)
        return false;
    gst_caps_unref(pCaps);
    return true;
}

GstElement* SinkFromEnvironment(const char* variable) {
    const char* pDescription = std::getenv(variable);
    if (!pDescription || !*pDescription)
        return nullptr;
    GError* pError = nullptr;
    GstElement* pBin = gst_parse_bin_from_description(pDescription, TRUE, &pError);
    if (!pBin) {
        platform::LogWarning(std::string(variable) + ": " +
                             (pError ? pError->message : "not a bin description"));
        if (pError)
            g_error_free(pError);
        return nullptr;
    }
    if (pError)
        g_error_free(pError);
    if (std::string(pDescription).find("sync") == std::string::npos)
        PaceSinks(pBin);
    return pBin;
}

GstElement* MakeFrameSink(GstElement** ppAppSink, std::string& error) {
    GError* pError = nullptr;
    // Pictures reach the window as the decoder made them when it made them in an 8-bit format
    // that the window converts fast; others (10 bits a channel, say) are converted to one.
    GstElement* pBin = gst_parse_bin_from_description(
        "videoconvert ! video/x-raw,format={ I420, YV12, NV12, NV21, Y42B, Y444, YUY2, UYVY, "
        "BGRx, BGRA, RGBx, RGBA, xRGB, ARGB, xBGR, ABGR, RGB, BGR, GRAY8 } ! "
        "appsink name=frames max-buffers=1 drop=true",
        TRUE, &pError);
    if (!pBin) {
        error = pError ? pError->message : "no video sink";
        if (pError)
            g_error_free(pError);
        return nullptr;
    }
    if (pError)
        g_error_free(pError);
    *ppAppSink = gst_bin_get_by_name(GST_BIN(pBin), "frames");
    gst_object_unref(*ppAppSink); // the bin keeps it alive
    return pBin;
}

std::string AudioSinkNames() {
    GList* pFactories = gst_element_factory_list_get_elements(
        GST_ELEMENT_FACTORY_TYPE_SINK | GST_ELEMENT_FACTORY_TYPE_MEDIA_AUDIO, GST_RANK_MARGINAL);
    pFactories = g_list_sort(pFactories, gst_plugin_feature_rank_compare_func);
    std::string names;
    for (GList* p = pFactories; p; p = p->next)
        names += (names.empty() ? "" : ", ") +
                 std::string(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(p->data)));
    gst_plugin_feature_list_free(pFactories);
    return names.empty() ? "none installed" : names;
}

bool FactoryNameIs(GstElement* pElement, const char* name) {
    GstElementFactory* pFactory = gst_element_get_factory(pElement);
    return pFactory &&
           std::string(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(pFactory))) == name;
}

std::string TagText(const GstTagList* pTags, const char* tag) {
    constexpr std::size_t kTagTextLimit = 512;
    gchar* pValue = nullptr;
    if (!pTags || !gst_tag_list_get_string(pTags, tag, &pValue) || !pValue)
        return {};
    std::string text = core::CleanTagText(pValue, kTagTextLimit);
    g_free(pValue);
    return text;
}

bool OnlyGlobalTagsName(const std::string& path) {
    const std::string ext = core::ToLowerAscii(core::ExtensionWithDot(path));
    return ext == ".mkv" || ext == ".mka" || ext == ".mk3d" || ext == ".webm";
}

} // namespace gstsupport
