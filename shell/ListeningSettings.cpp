#include "shell/ListeningSettings.h"

#include "platform/Profile.h"
#include "playback/AudioEffects.h"
#include "playback/UIControl.h"
#include "shell/ProfileSettings.h"

#include <cmath>

namespace shell {

namespace {

const char kEntryShuffle[] = "Shuffle";
const char kEntryRepeatOne[] = "RepeatOne";
const char kEntryReplayGain[] = "ReplayGain";
const char kEntryReplayGainPreamp[] = "ReplayGainPreamp"; // tenths of a decibel
const char kEntryPreventClipping[] = "PreventClipping";
const char kEntryEqualizer[] = "Equalizer";
const char kEntryEqualizerGains[] = "EqualizerGains"; // preamp and bands, see ParseEqualizerGains
const char kSectionPresets[] = "Equalizer Presets";
const char kEntryPresetCount[] = "Count";

int Flag(const char* entry, int def) {
    return platform::GetProfileInt(kSectionSettings, entry, def) != 0;
}

} // namespace

void LoadListeningSettings(CUIControl& control) {
    control.SetShuffle(Flag(kEntryShuffle, 0));
    control.SetRepeatOne(Flag(kEntryRepeatOne, 0));
    AudioEffectSettings effects = audioeffects::Get();
    effects.nReplayGain = platform::GetProfileInt(kSectionSettings, kEntryReplayGain, 0);
    effects.dReplayGainPreampDb =
        platform::GetProfileInt(kSectionSettings, kEntryReplayGainPreamp, 0) / 10.0;
    effects.bPreventClipping = Flag(kEntryPreventClipping, 1);
    effects.bEqualizer = Flag(kEntryEqualizer, 0);
    if (const auto gains = core::ParseEqualizerGains(
            platform::GetProfileString(kSectionSettings, kEntryEqualizerGains))) {
        effects.dEqPreampDb = gains->first;
        effects.bandsDb = gains->second;
    }
    audioeffects::Set(effects); // brings every value into its range
}

void SaveListeningSettings(const CUIControl& control) {
    using platform::WriteProfileInt;
    WriteProfileInt(kSectionSettings, kEntryShuffle, control.GetShuffle() ? 1 : 0);
    WriteProfileInt(kSectionSettings, kEntryRepeatOne, control.GetRepeatOne() ? 1 : 0);
    const AudioEffectSettings& effects = audioeffects::Get();
    WriteProfileInt(kSectionSettings, kEntryReplayGain, effects.nReplayGain);
    WriteProfileInt(kSectionSettings, kEntryReplayGainPreamp,
                    int(std::lround(effects.dReplayGainPreampDb * 10.0)));
    WriteProfileInt(kSectionSettings, kEntryPreventClipping, effects.bPreventClipping ? 1 : 0);
    WriteProfileInt(kSectionSettings, kEntryEqualizer, effects.bEqualizer ? 1 : 0);
    platform::WriteProfileString(kSectionSettings, kEntryEqualizerGains,
                                 core::FormatEqualizerGains(effects.dEqPreampDb, effects.bandsDb));
}

std::vector<core::EqualizerPreset> LoadUserPresets() {
    std::vector<core::EqualizerPreset> presets;
    const int count = platform::GetProfileInt(kSectionPresets, kEntryPresetCount, 0);
    // A damaged count cannot make a huge list: only presets actually stored are read.
    for (int i = 1; i <= count && i <= 1000; ++i) {
        const std::string n = std::to_string(i);
        core::EqualizerPreset preset;
        preset.strName = platform::GetProfileString(kSectionPresets, "Name" + n);
        const auto gains =
            core::ParseEqualizerGains(platform::GetProfileString(kSectionPresets, "Gains" + n));
        if (preset.strName.empty() || !gains)
            continue;
        preset.dPreampDb = gains->first;
        preset.bandsDb = gains->second;
        presets.push_back(std::move(preset));
    }
    return presets;
}

bool SaveUserPresets(const std::vector<core::EqualizerPreset>& presets) {
    bool ok = platform::WriteProfileInt(kSectionPresets, kEntryPresetCount, int(presets.size()));
    for (std::size_t i = 0; i < presets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        ok = platform::WriteProfileString(kSectionPresets, "Name" + n, presets[i].strName) && ok;
        ok = platform::WriteProfileString(
                 kSectionPresets, "Gains" + n,
                 core::FormatEqualizerGains(presets[i].dPreampDb, presets[i].bandsDb)) &&
             ok;
    }
    return ok;
}

} // namespace shell
