// The picture a media file carries of its own (the album cover in an MP3's ID3v2 tag, a FLAC
// or Ogg picture block, an MP4 cover atom), read with TagLib.
#pragma once

#include <string>

namespace playback {

// The bytes of the embedded picture, the front cover when there are several; empty when the
// file has none or cannot be read. Pictures beyond a few megabytes are ignored.
std::string ReadEmbeddedCover(const std::string& path);

} // namespace playback
