// The text form of a hive, in REGEDIT4 notation:
//
//   REGEDIT4
//   ; This file ends with the line "; end".
//
//   [Software\Brenholt\Corvella]
//   @="default value"
//   "Name"="text with \\ and \" escaped"
//   "Count"=dword:0000002a
//   "State"=hex:01,02,03
//
//
//   ; end
//
// Long binary data continues on indented lines after a line that ends in ",\" (backslash).
// The last line, "; end", promised by the second, tells a whole file from one cut short at a
// line's end. A file without the promise (written before it, or by hand) needs no end line.
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

// Reads text into root, which should be empty. A text that promises the line "; end" and does
// not end with it (an empty one too) was cut short and is an error. On error root holds the keys
// and values read whole before it: a value on a line the text ends inside is left out.
std::optional<RegParseError> ParseRegFile(const std::string& text, CRegKey& root);

// The text of the hive; nullopt when it exceeds the bounds above.
std::optional<std::string> FormatRegFile(const CRegKey& root);

} // namespace platform
