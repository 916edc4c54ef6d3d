#include "core/EqualizerPresets.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

namespace core {

const std::vector<EqualizerPreset>& BuiltInEqualizerPresets() {
    // Bands at 29, 59, 119, 237, 474 and 947 Hz, 1.9, 3.8, 7.5 and 15 kHz. A preset that lifts
    // bands lowers the preamp by about as much, so it does not clip what was full scale.
    static const std::vector<EqualizerPreset> presets = {
        {"Flat", 5420, 0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"Rock", 5421, -4.0, {4.5, 3.5, 2.0, -1.0, -2.0, -1.0, 1.5, 3.0, 4.0, 4.5}},
        {"Pop", 5422, -3.0, {-1.0, 0.5, 2.0, 3.5, 3.5, 2.0, 0.0, -0.5, -1.0, -1.0}},
        {"Jazz", 5423, -3.0, {3.0, 2.0, 1.0, 1.5, -1.0, -1.0, 0.0, 1.0, 2.0, 3.0}},
        {"Classical", 5424, -3.0, {3.0, 2.5, 1.5, 0.5, 0.0, 0.0, 0.0, 1.0, 2.0, 2.5}},
        {"Dance", 5425, -5.0, {5.5, 4.5, 2.5, 0.0, 0.0, -1.5, -2.0, 0.0, 2.5, 3.0}},
        {"Voice", 5426, -3.0, {-4.0, -3.0, -1.0, 1.0, 3.0, 3.5, 3.0, 1.5, 0.0, -2.0}},
        {"Bass", 5427, -6.0, {6.5, 5.5, 4.0, 2.0, 0.5, 0, 0, 0, 0, 0}},
        {"Treble", 5428, -6.0, {0, 0, 0, 0, 0, 0.5, 2.0, 4.0, 5.5, 6.5}},
        {"Loudness", 5429, -5.0, {5.0, 4.0, 1.5, 0.0, -1.0, -1.0, 0.0, 1.5, 3.5, 4.5}},
    };
    return presets;
}

// Written and read in the classic locale: the desktop's may use decimal commas.
std::string FormatEqualizerGains(double preampDb, const std::array<double, 10>& bandsDb) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(1) << preampDb;
    for (double band : bandsDb)
        out << ' ' << band;
    return out.str();
}

std::optional<std::pair<double, std::array<double, 10>>>
ParseEqualizerGains(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    std::pair<double, std::array<double, 10>> gains{};
    if (!(in >> gains.first))
        return std::nullopt;
    for (double& band : gains.second)
        if (!(in >> band))
            return std::nullopt;
    std::string rest;
    if (in >> rest || !std::isfinite(gains.first))
        return std::nullopt;
    for (double band : gains.second)
        if (!std::isfinite(band))
            return std::nullopt;
    return gains;
}

} // namespace core
