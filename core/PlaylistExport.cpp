#include "core/PlaylistExport.h"

#include <algorithm>

namespace core {

namespace {

bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

// A title stays on its line: line breaks inside it become blanks.
std::string OneLine(std::string s) {
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return s;
}

// Calls emit(clip, number) for every clip that can be written, numbering from 1.
template <class Emit> ExportText Collect(const CObjListClip& list, Emit emit) {
    ExportText out;
    std::size_t number = 0;
    for (std::size_t i = 0; i < list.GetCount(); ++i) {
        const CAttribClip& clip = *list.GetAt(i);
        if (HasLineBreak(clip.GetPath())) {
            out.skippedPaths.push_back(clip.GetPath());
            continue;
        }
        out.text += emit(clip, ++number);
    }
    return out;
}

} // namespace

ExportText FormatExtendedM3u(const CObjListClip& list) {
    ExportText out = Collect(list, [](const CAttribClip& clip, std::size_t) {
        return "#EXTINF:" + std::to_string(clip.GetDuration()) + "," + OneLine(clip.GetTitle()) +
               "\n" + clip.GetPath() + "\n";
    });
    out.text.insert(0, "#EXTM3U\n");
    return out;
}

ExportText FormatPls(const CObjListClip& list) {
    std::size_t written = 0;
    ExportText out = Collect(list, [&written](const CAttribClip& clip, std::size_t n) {
        written = n;
        const std::string num = std::to_string(n);
        return "File" + num + "=" + clip.GetPath() + "\nTitle" + num + "=" +
               OneLine(clip.GetTitle()) + "\nLength" + num + "=" +
               std::to_string(clip.GetDuration()) + "\n";
    });
    out.text.insert(0, "[playlist]\n");
    out.text += "NumberOfEntries=" + std::to_string(written) + "\nVersion=2\n";
    return out;
}

} // namespace core
