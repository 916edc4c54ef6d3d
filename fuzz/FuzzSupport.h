// What several fuzz targets share: a Qt application on the offscreen platform for readers that
// decode through Qt, and one private scratch folder for readers that take a file path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzzsupport {

// The input as text, bytes unchanged.
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Makes the process's QApplication (offscreen) the first time it is called.
void EnsureApplication();

// A folder of this process, made on first use and removed at exit; no trailing "/".
const std::string& ScratchFolder();

// Writes the bytes to ScratchFolder()/name and returns the path; aborts when that fails, since
// a target that cannot write its input would only report false findings.
std::string WriteScratchFile(const std::string& name, std::string_view bytes);

} // namespace fuzzsupport
