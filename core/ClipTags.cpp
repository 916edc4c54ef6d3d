#include "core/ClipTags.h"

#include "core/TextEncoding.h"

#include <algorithm>
#include <cmath>

namespace core {

std::string CleanTagText(std::string_view text, std::size_t limit) {
    std::string line;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) { // not UTF-8: the byte is dropped
            ++pos;
            continue;
        }
        if (line.size() + length > limit)
            break;
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        if (length == 1 && (c < 0x20 || c == 0x7F))
            line += ' ';
        else
            line.append(text.substr(pos, length));
        pos += length;
    }
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

std::string TagDisplayTitle(std::string_view artist, std::string_view title) {
    if (title.empty())
        return {};
    if (artist.empty())
        return std::string(title);
    return std::string(artist) + " - " + std::string(title);
}

int WholeSeconds(double seconds) {
    if (!(seconds > 0))
        return 0;
    return int(std::lround(std::min(seconds, 2.0e9)));
}

} // namespace core
