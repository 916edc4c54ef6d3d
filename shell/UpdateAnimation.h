// The animation the update check shows while it waits: a GIF drawn at build time by
// tools/update-animation and compiled in.
#pragma once

#include <cstddef>

namespace shell {

extern const unsigned char kUpdateAnimationGif[];
extern const std::size_t kUpdateAnimationGifSize;

} // namespace shell
