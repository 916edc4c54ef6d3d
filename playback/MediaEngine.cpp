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

bool CMediaEngine::Supports(const std::string& ext) const {
    // An empty extension would be found in every list; a file without one is nobody's type.
    return !ext.empty() && Lower(m_strExtensions).find(Lower(ext)) != std::string::npos;
}
