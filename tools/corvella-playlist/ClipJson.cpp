#include "tools/corvella-playlist/ClipJson.h"

#include "core/AttribClip.h"
#include "core/TextEncoding.h"

#include <cstdint>
#include <cstdio>

namespace {

void AppendByteEscape(std::string& out, unsigned char c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(c));
    out += buf;
}

void AppendMember(std::string& out, const char* key, const std::string& jsonValue) {
    if (out.size() > 1)
        out += ',';
    out += '"';
    out += key;
    out += "\":";
    out += jsonValue;
}

} // namespace

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    out.reserve(bytes.size() + 2);
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++i;
        } else if (c < 0x20) {
            AppendByteEscape(out, c);
            ++i;
        } else if (const std::size_t len = core::Utf8SequenceLength(bytes, i); len > 0) {
            out.append(bytes.substr(i, len));
            i += len;
        } else {
            AppendByteEscape(out, c);
            ++i;
        }
    }
    out += '"';
    return out;
}

std::string ClipToJson(const CAttribClip& clip) {
    std::string out = "{";
    AppendMember(out, "class", JsonString(clip.GetRuntimeClass()->m_lpszClassName));
    AppendMember(out, "path", JsonString(clip.GetPath()));
    AppendMember(out, "typeName", JsonString(clip.GetTypeName()));
    AppendMember(out, "title", JsonString(clip.GetTitle()));
    AppendMember(out, "infoLoaded", std::to_string(clip.GetInfoLoaded()));
    AppendMember(out, "playable", std::to_string(clip.GetPlayable()));
    AppendMember(out, "reserved", std::to_string(clip.GetReserved()));
    // The stored size is the low 32 bits of a size, never negative.
    AppendMember(out, "fileSize", std::to_string(std::uint32_t(clip.GetFileSize())));
    AppendMember(out, "modified", std::to_string(clip.GetModified()));
    AppendMember(out, "duration", std::to_string(clip.GetDuration()));
    out += '}';
    return out;
}
