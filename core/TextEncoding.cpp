#include "core/TextEncoding.h"

namespace core {

namespace {

void AppendCodePoint(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

bool IsHighSurrogate(std::uint16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(std::uint16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

} // namespace

std::string Utf16ToUtf8(const std::uint16_t* units, std::size_t count) {
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t u = units[i];
        if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(units[i + 1])) {
            AppendCodePoint(out, 0x10000 + ((std::uint32_t(u - 0xD800) << 10) |
                                            std::uint32_t(units[i + 1] - 0xDC00)));
            ++i;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            AppendCodePoint(out, 0xFFFD);
        } else {
            AppendCodePoint(out, u);
        }
    }
    return out;
}

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return std::uint8_t(text[pos + i]); };
    const std::uint8_t b0 = byte(0);
    if (b0 < 0x80)
        return 1;
    std::size_t len;
    std::uint8_t lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0)
            lo = 0xA0; // overlong
        if (b0 == 0xED)
            hi = 0x9F; // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0)
            lo = 0x90; // overlong
        if (b0 == 0xF4)
            hi = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - pos < len)
        return 0;
    if (byte(1) < lo || byte(1) > hi)
        return 0;
    for (std::size_t i = 2; i < len; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    return len;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (std::uint8_t(text[pos]) < 0x80) { // the common case, without the full check
            ++pos;
            continue;
        }
        const std::size_t len = Utf8SequenceLength(text, pos);
        if (len == 0)
            return false;
        pos += len;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text)
        AppendCodePoint(out, std::uint8_t(c));
    return out;
}

} // namespace core
