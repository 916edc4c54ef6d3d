// The listening settings kept as registry values of their own under the profile's "Settings"
// section (the saved window state keeps its layout): shuffle, repeat one clip, ReplayGain and
// the equalizer, and the user's equalizer presets under "Equalizer Presets".
#pragma once

#include "core/EqualizerPresets.h"

#include <vector>

class CUIControl;

namespace shell {

// Reads the stored values into the controller and the audio chain's settings; missing or
// damaged values keep their defaults.
void LoadListeningSettings(CUIControl& control);
void SaveListeningSettings(const CUIControl& control);

// The user's presets, in the order saved.
std::vector<core::EqualizerPreset> LoadUserPresets();
bool SaveUserPresets(const std::vector<core::EqualizerPreset>& presets);

} // namespace shell
