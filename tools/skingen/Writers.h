// The generator's output files: Windows bitmap and cursor files, the C++ source that compiles
// the built-in resources into the program, and the sample skin's description files.
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace skingen {

// A 24-bit bottom-up bitmap file.
std::string EncodeBmp(const Canvas& c);
// A 32 x 32 cursor file with alpha and mask.
std::string EncodeCur(const Canvas& c, int hotX, int hotY);

// The source defining BuiltInResources() over (id, file bytes) pairs.
std::string EncodeResourceSource(const std::vector<std::pair<int, std::string>>& resources);

// The three description files of the sample skin: (file name, text).
std::vector<std::pair<std::string, std::string>> DescriptionFiles();
// The sample skin's cursor file names, in slot order.
const std::vector<std::string>& CursorFileNames();

bool WriteFile(const std::string& path, const std::string& data);

} // namespace skingen
