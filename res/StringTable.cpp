#include "res/StringTable.h"

#include <algorithm>
#include <vector>

namespace res {

namespace {

struct Entry {
    std::uint32_t id;
    const char* text;
};

// Kept in ascending id order.
constexpr Entry kStrings[] = {
    {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
    {101, "CorvellaClass"},
    {103, "mpl"},
    {105, "Cann't load file."},
    {106, "File Exception."},
    {107, "*.rm;*.ra;*.ram;*.rp;*.rt;*.swf;*.viv;*.aif;*.snd;*.jpg;*.gif"},
    {108, "*.asf;*.mpg;*.mp3;*.mp2;*.mpeg;*.mpa;*.mpga;*.mpv;*.dat;*.avi;*.wav;*.au;*.wma;*.wmv"},
    {109, "*.mpl;*.m3u;*.pls"},
    {111, "*.mpl"},
    {112, "Cann't save file."},
    {114, "v2.1 (Build:4089)"},
    {116, "Corvella"},
    {117, "Unrecognizable Playlist File Format. "},
    {118, "*.cda"},
    {121, "*.mov;*.qt"},
    {125, "*.bmp;*.tga;"},
    {131, "*.mp3;*.wav;*.wma;*.mpa*.mp2;*.mid;*.rmi"},
    {132, "*.asf;*.asx;*.mpg;*.mpeg;*.mpv;*.avi;*.dat;*.wmv;"},
    {147, "7B741690-CF80-4083-B296-986BC77C885E"},
    {150, "-x -s 10 -l 500"},
};

} // namespace

std::string LoadString(std::uint32_t id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const Entry& e, std::uint32_t v) { return e.id < v; });
    return (it != std::end(kStrings) && it->id == id) ? std::string(it->text) : std::string();
}

const std::uint32_t* StringIds(std::size_t& count) {
    static const std::vector<std::uint32_t> ids = [] {
        std::vector<std::uint32_t> v;
        for (const Entry& e : kStrings)
            v.push_back(e.id);
        return v;
    }();
    count = ids.size();
    return ids.data();
}

} // namespace res
