// The text form of a hive, in REGEDIT4 notation:
//
//   REGEDIT4
//
//   [Software\Brenholt\Corvella]
//   @="default value"
//   "Name"="text with \\ and \" escaped"
//   "Count"=dword:0000002a
//   "State"=hex:01,02,03
//
// Long binary data continues on indented lines after a line that ends in ",\" (backslash).
// Section paths are relative to the hive's root. Besides \\ and \", control bytes in names and
// texts are written as \n, \r, \t or \xHH, so any byte string survives a round trip.
#pragma once

#include "platform/RegKey.h"

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// Bounds on a hive file: larger files are treated as damaged rather than read, and a hive that
// would not fit them is never written, so everything written can be read back.
constexpr std::size_t kMaxRegFileBytes = 16u << 20;
constexpr std::size_t kMaxRegEntries = 100000; // keys plus values

struct RegParseError {
    std::size_t line = 0; // 1-based
    std::string reason;
};

// Reads text into root, which should be empty. An empty text is an empty hive. On error root holds
// what was read before it and should be discarded.
std::optional<RegParseError> ParseRegFile(const std::string& text, CRegKey& root);

// The text of the hive; nullopt when it exceeds the bounds above.
std::optional<std::string> FormatRegFile(const CRegKey& root);

} // namespace platform
