// Conversions between the byte strings the program keeps (UTF-8 on this system) and the
// other encodings it meets in files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// UTF-16 code units (host order) to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::uint16_t* units, std::size_t count);

// Length of the well-formed UTF-8 sequence that starts at text[pos] (1 to 4), or 0 when the
// bytes there are not one (stray continuation byte, overlong form, surrogate, beyond U+10FFFF,
// cut short).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// ISO 8859-1 bytes to UTF-8: every byte is the code point of its value.
std::string Latin1ToUtf8(std::string_view text);

} // namespace core
