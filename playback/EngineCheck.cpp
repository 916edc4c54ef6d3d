#include "playback/EngineCheck.h"

#include "platform/Log.h"
#include "playback/EngineManager.h"
#include "playback/GstSupport.h"

#include <gst/gst.h>

namespace {

// A format of the media engine's types and the kind of element that must accept it.
struct DecoderNeed {
    const char* description;
    const char* caps;
    GstElementFactoryListType kind;
};

constexpr GstElementFactoryListType kDecoder = GST_ELEMENT_FACTORY_TYPE_DECODER;
constexpr GstElementFactoryListType kDemuxer = GST_ELEMENT_FACTORY_TYPE_DEMUXER;

const DecoderNeed kNeeds[] = {
    {"MPEG-1 layer 3 audio (MP3)", "audio/mpeg, mpegversion=(int)1, layer=(int)3", kDecoder},
    {"MPEG-1 layer 2 audio (MP2)", "audio/mpeg, mpegversion=(int)1, layer=(int)2", kDecoder},
    {"MPEG program stream (MPG, DAT)", "video/mpeg, systemstream=(boolean)true", kDemuxer},
    {"MPEG-1/2 video", "video/mpeg, mpegversion=(int)2, systemstream=(boolean)false", kDecoder},
    {"WAV", "audio/x-wav", kDemuxer},
    {"AU", "audio/x-au", kDemuxer},
    {"AVI", "video/x-msvideo", kDemuxer},
    {"ASF", "video/x-ms-asf", kDemuxer},
    {"Windows Media Audio", "audio/x-wma, wmaversion=(int)2", kDecoder},
    {"Windows Media Video", "video/x-wmv, wmvversion=(int)2", kDecoder},
};

// True when an element of the kind, ranked for automatic use, accepts the caps.
bool RegistryAccepts(const DecoderNeed& need) {
    GstCaps* pCaps = gst_caps_from_string(need.caps);
    if (!pCaps)
        return false;
    GList* pAll = gst_element_factory_list_get_elements(need.kind, GST_RANK_MARGINAL);
    GList* pMatching = gst_element_factory_list_filter(pAll, pCaps, GST_PAD_SINK, FALSE);
    const bool found = pMatching != nullptr;
    gst_plugin_feature_list_free(pMatching);
    gst_plugin_feature_list_free(pAll);
    gst_caps_unref(pCaps);
    return found;
}

} // namespace

std::vector<std::string> MissingMediaDecoders() {
    std::string error;
    if (!gstsupport::EnsureInitialized(error))
        return {"GStreamer: " + error};
    std::vector<std::string> missing;
    for (const DecoderNeed& need : kNeeds) {
        if (!RegistryAccepts(need)) {
            missing.push_back(need.description);
            platform::LogVerbose(std::string("no GStreamer element for ") + need.description);
        }
    }
    return missing;
}

EngineAvailability GetEngineAvailability(const CEngineManager& manager,
                                         const std::vector<std::string>& missingDecoders) {
    auto counts = [&](int id) {
        const CMediaEngine* pEngine = manager.GetEngine(id);
        return pEngine && pEngine->IsInstalled() && !manager.IsDisabled(id);
    };
    EngineAvailability a;
    a.windowsMedia = counts(EngineDShow) && missingDecoders.empty();
    a.quickTime = counts(EngineQuickTime);
    a.realMedia = counts(EngineReal);
    a.allInstalled = manager.AllInstalled() && missingDecoders.empty();
    return a;
}
