// A strict reader of Windows bitmap files, so that damaged skin images fail cleanly instead of
// being guessed at.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>

namespace platform {

// Decodes an uncompressed BMP (core or info header; 1, 4, 8, 24 or 32 bits per pixel; bottom-up
// or top-down) into an RGB32 image. Returns a null image for anything else or damaged data.
QImage DecodeBmp(const std::uint8_t* data, std::size_t size);

} // namespace platform
