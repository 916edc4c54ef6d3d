#include "playback/EngineCheck.h"

#include "platform/Log.h"
#include "playback/EngineManager.h"
#include "playback/GstSupport.h"

#include <gst/gst.h>

#include <algorithm>

namespace {

// A format of the media engine's types and the kind of element that must accept it.
struct DecoderNeed {
    const char* description;
    const char* caps;
    GstElementFactoryListType kind;
    const char* package; // the Debian package whose plugins handle it
};

constexpr GstElementFactoryListType kDecoder = GST_ELEMENT_FACTORY_TYPE_DECODER;
constexpr GstElementFactoryListType kDemuxer = GST_ELEMENT_FACTORY_TYPE_DEMUXER;

constexpr const char* kGood = "gstreamer1.0-plugins-good";
constexpr const char* kBad = "gstreamer1.0-plugins-bad";
constexpr const char* kUgly = "gstreamer1.0-plugins-ugly";
constexpr const char* kLibav = "gstreamer1.0-libav";

const DecoderNeed kNeeds[] = {
    {"MPEG-1 layer 3 audio (MP3)", "audio/mpeg, mpegversion=(int)1, layer=(int)3", kDecoder, kGood},
    {"MPEG-1 layer 2 audio (MP2)", "audio/mpeg, mpegversion=(int)1, layer=(int)2", kDecoder, kGood},
    {"MPEG program stream (MPG, DAT)", "video/mpeg, systemstream=(boolean)true", kDemuxer, kBad},
    {"MPEG-1/2 video", "video/mpeg, mpegversion=(int)2, systemstream=(boolean)false", kDecoder,
     kUgly},
    {"WAV", "audio/x-wav", kDemuxer, kGood},
    {"AU", "audio/x-au", kDemuxer, kGood},
    {"AVI", "video/x-msvideo", kDemuxer, kGood},
    {"ASF", "video/x-ms-asf", kDemuxer, kUgly},
    {"Windows Media Audio", "audio/x-wma, wmaversion=(int)2", kDecoder, kLibav},
    {"Windows Media Video", "video/x-wmv, wmvversion=(int)2", kDecoder, kLibav},
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

DecoderCheck CheckMediaDecoders() {
    DecoderCheck check;
    std::string error;
    if (!gstsupport::EnsureInitialized(error)) {
        check.missing.push_back("GStreamer: " + error);
        check.packages.push_back("gstreamer1.0-plugins-base");
        return check;
    }
    for (const DecoderNeed& need : kNeeds) {
        if (RegistryAccepts(need)) {
            check.playable.push_back(need.description);
            continue;
        }
        check.missing.push_back(need.description);
        platform::LogVerbose(std::string("no GStreamer element for ") + need.description);
        if (std::find(check.packages.begin(), check.packages.end(), need.package) ==
            check.packages.end())
            check.packages.push_back(need.package);
    }
    return check;
}

std::vector<std::string> MissingMediaDecoders() {
    return CheckMediaDecoders().missing;
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

EngineAvailability GetEngineAvailability(const CEngineManager& manager, const DecoderCheck& check) {
    EngineAvailability a = GetEngineAvailability(manager, check.missing);
    a.playableFormats = check.playable;
    a.missingFormats = check.missing;
    a.packages = check.packages;
    return a;
}
