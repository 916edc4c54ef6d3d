// What a clip's tags make of its title: the text of one tag as a single bounded line, and the
// row title "Artist - Title" (or the title alone) that both the opened clip and the
// background reading of added files give.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

// Line breaks, tabs and other control characters become blanks, blanks at either end go, and
// a text longer than `limit` bytes is cut at the last whole UTF-8 character that fits.
std::string CleanTagText(std::string_view text, std::size_t limit);

// "Artist - Title", the title alone without an artist, empty without a title.
std::string TagDisplayTitle(std::string_view artist, std::string_view title);

} // namespace core
