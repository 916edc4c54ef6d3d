// Helpers shared by the platform tests.
#pragma once

#include "tests/support/ScratchFolder.h"

#include <string>

// count bytes of a repeating pattern that takes every byte value.
inline std::string PatternBytes(std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes += char((i * 7 + 3) & 0xFF);
    return bytes;
}
