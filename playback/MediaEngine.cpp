#include "playback/MediaEngine.h"

#include <algorithm>
#include <cctype>

namespace {
std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}
} // namespace

bool CMediaEngine::ListSupports(const std::string& list, const std::string& ext) {
    // An empty extension would be found in every list; a file without one is nobody's type.
    return !ext.empty() && Lower(list).find(Lower(ext)) != std::string::npos;
}
