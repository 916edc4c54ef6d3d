// What a clip's tags make of its title: the text of one tag as a single bounded line, and the
// row title "Artist - Title" (or the title alone) that both the opened clip and the
// background reading of added files give, and the one rounding of lengths.
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

// A length in whole seconds, rounded to the nearest one, as every reader of lengths gives it:
// a 9.98 s clip is 10 s whether its tags or the playing engine tell it. 0 for none or a
// negative length; lengths beyond two billion seconds stop there.
int WholeSeconds(double seconds);

} // namespace core
