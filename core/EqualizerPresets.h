// Equalizer presets: ten band gains and a preamp in decibels under a name. The built-in ones
// carry a string id (their names follow the language files); the user's own are stored as
// text, one preset per value: the preamp, then the ten bands.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace core {

struct EqualizerPreset {
    std::string strName;       // the user's name, or the English name of a built-in preset
    std::uint32_t nNameId = 0; // the string id of a built-in preset's name; 0 for the user's
    double dPreampDb = 0.0;
    std::array<double, 10> bandsDb{};
};

// Flat, rock, pop, jazz, classical, dance, voice, bass, treble and loudness.
const std::vector<EqualizerPreset>& BuiltInEqualizerPresets();

// "preamp b0 … b9" with one decimal each.
std::string FormatEqualizerGains(double preampDb, const std::array<double, 10>& bandsDb);
// Eleven numbers separated by blanks; nullopt when the text holds anything else (a damaged
// value then keeps what the caller had).
std::optional<std::pair<double, std::array<double, 10>>>
ParseEqualizerGains(const std::string& text);

} // namespace core
