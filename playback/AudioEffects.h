// The sound shaping of the media engine's audio chain: ReplayGain from the clips' tags (track
// or album gain, a preamp, clipping prevention) and a ten-band equalizer with a preamp. The
// settings are process-wide; the equalizer's changes reach every chain playing at once, the
// ReplayGain mode takes effect from the next clip opened.
#pragma once

#include <array>
#include <string>

typedef struct _GstElement GstElement;

enum ReplayGainMode : int { ReplayGainOff = 0, ReplayGainTrack = 1, ReplayGainAlbum = 2 };

struct AudioEffectSettings {
    static constexpr int kBands = 10;
    static constexpr double kMinBandDb = -12.0;
    static constexpr double kMaxBandDb = 12.0;
    static constexpr double kMinPreampDb = -15.0;
    static constexpr double kMaxPreampDb = 15.0;

    int nReplayGain = ReplayGainOff;
    double dReplayGainPreampDb = 0.0;
    bool bPreventClipping = true;
    bool bEqualizer = false;
    double dEqPreampDb = 0.0;
    std::array<double, kBands> bandsDb{};

    // Every value within its range (a stored or typed value out of range is brought in).
    AudioEffectSettings Clamped() const;
    bool operator==(const AudioEffectSettings&) const = default;
};

namespace audioeffects {

// A copy: the settings may change while it is read.
AudioEffectSettings Get();
// Stores the settings and applies the equalizer to every chain now playing.
void Set(const AudioEffectSettings& settings);

// A new chain for one pipeline (null when an element is missing: the sound then plays
// unshaped); it follows Set until Forget, which comes before its pipeline is let go.
GstElement* MakeChain();
void Forget(GstElement* pChain);

} // namespace audioeffects
