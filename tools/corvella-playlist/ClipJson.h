// One clip as one line of JSON, for the playlist tool's "show" command.
#pragma once

#include <string>
#include <string_view>

class CAttribClip;

// A JSON string literal of the bytes: valid UTF-8 passes through, control characters and
// bytes that are not valid UTF-8 become \u00XX escapes (the latter of the byte itself).
std::string JsonString(std::string_view bytes);

// {"class":…,"path":…,"typeName":…,"title":…,"infoLoaded":…,"playable":…,"reserved":…,
//  "fileSize":…,"modified":…,"duration":…} without a line end.
std::string ClipToJson(const CAttribClip& clip);
