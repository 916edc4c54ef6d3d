#include "playback/AudioEffects.h"

#include "platform/Log.h"

#include <algorithm>
#include <cmath>
#include <gst/gst.h>
#include <mutex>
#include <vector>

AudioEffectSettings AudioEffectSettings::Clamped() const {
    AudioEffectSettings s = *this;
    s.nReplayGain = std::clamp(s.nReplayGain, int(ReplayGainOff), int(ReplayGainAlbum));
    auto clamp = [](double v, double lo, double hi) {
        return std::isfinite(v) ? std::clamp(v, lo, hi) : 0.0;
    };
    s.dReplayGainPreampDb = clamp(s.dReplayGainPreampDb, kMinPreampDb, kMaxPreampDb);
    s.dEqPreampDb = clamp(s.dEqPreampDb, kMinPreampDb, kMaxPreampDb);
    for (double& band : s.bandsDb)
        band = clamp(band, kMinBandDb, kMaxBandDb);
    return s;
}

namespace audioeffects {

namespace {

// The chains of the pipelines alive now; their windows add and remove them.
std::mutex g_mutex;
AudioEffectSettings g_settings;
std::vector<GstElement*> g_chains;

void ApplyEqualizer(GstElement* pChain, const AudioEffectSettings& s) {
    GstElement* pEq = gst_bin_get_by_name(GST_BIN(pChain), "bands");
    GstElement* pPreamp = gst_bin_get_by_name(GST_BIN(pChain), "preamp");
    // Off is flat: the filter passes the sound through unchanged.
    for (int i = 0; pEq && i < AudioEffectSettings::kBands; ++i) {
        const std::string name = "band" + std::to_string(i);
        g_object_set(pEq, name.c_str(), s.bEqualizer ? s.bandsDb[std::size_t(i)] : 0.0, nullptr);
    }
    if (pPreamp)
        g_object_set(pPreamp, "volume", s.bEqualizer ? std::pow(10.0, s.dEqPreampDb / 20.0) : 1.0,
                     nullptr);
    for (GstElement* p : {pEq, pPreamp})
        if (p)
            gst_object_unref(p);
}

} // namespace

AudioEffectSettings Get() {
    std::lock_guard lock(g_mutex);
    return g_settings;
}

void Set(const AudioEffectSettings& settings) {
    std::lock_guard lock(g_mutex);
    g_settings = settings.Clamped();
    for (GstElement* pChain : g_chains)
        ApplyEqualizer(pChain, g_settings);
}

GstElement* MakeChain() {
    std::lock_guard lock(g_mutex);
    const AudioEffectSettings& s = g_settings;
    std::string description = "audioconvert";
    if (s.nReplayGain != ReplayGainOff)
        description += " ! rgvolume name=gain ! rglimiter name=limiter ! audioconvert";
    description += " ! volume name=preamp ! equalizer-10bands name=bands ! audioconvert";
    GError* pError = nullptr;
    GstElement* pChain = gst_parse_bin_from_description(description.c_str(), TRUE, &pError);
    if (!pChain) {
        platform::LogVerbose(std::string("no sound shaping: ") +
                             (pError ? pError->message : "an element is missing"));
        g_clear_error(&pError);
        return nullptr;
    }
    g_clear_error(&pError);
    // Numbers are set as properties: a description would be read in the desktop's locale.
    if (GstElement* pGain = gst_bin_get_by_name(GST_BIN(pChain), "gain")) {
        g_object_set(pGain, "album-mode", gboolean(s.nReplayGain == ReplayGainAlbum), "pre-amp",
                     s.dReplayGainPreampDb, nullptr);
        gst_object_unref(pGain);
    }
    if (GstElement* pLimiter = gst_bin_get_by_name(GST_BIN(pChain), "limiter")) {
        g_object_set(pLimiter, "enabled", gboolean(s.bPreventClipping), nullptr);
        gst_object_unref(pLimiter);
    }
    ApplyEqualizer(pChain, s);
    g_chains.push_back(pChain);
    return pChain;
}

void Forget(GstElement* pChain) {
    std::lock_guard lock(g_mutex);
    std::erase(g_chains, pChain);
}

} // namespace audioeffects
