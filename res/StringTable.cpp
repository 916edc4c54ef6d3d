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
    {113, "manual/index.html"},
    {114, "v2.1 (Build:4089)"},
    {115, "https://www.corvella-player.org/"},
    {116, "Corvella"},
    {117, "Unrecognizable Playlist File Format. "},
    {118, "*.cda"},
    {121, "*.mov;*.qt"},
    {122, "Cann't access website now. \nPlease check your internet connection."},
    {123, "Internet Access Exception"},
    {125, "*.bmp;*.tga;"},
    {127, "The media engine (GStreamer) is installed. Corvella plays these files now: MP3, MP2, "
          "WAV, AU, MPEG (MPG, DAT), AVI, ASF, WMA and WMV, QuickTime movies, and audio CDs.\n\nIf "
          "a file does not play or a video shows no picture, a GStreamer plugin is missing (for "
          "DivX and other codecs). Install the Debian packages gstreamer1.0-plugins-good, "
          "gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly and gstreamer1.0-libav, or visit "
          "our Download Center.\n\nFor RealMedia files and QuickTime movies that do not play here, "
          "we recommend our sibling product Lumivox. More at www.corvella-player.org"},
    {128, "Corvella cannot play media files yet: the media engine (GStreamer) lacks the plugins "
          "that read and decode them.\n\nPlease install the Debian packages "
          "gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly and "
          "gstreamer1.0-libav (for example: sudo apt install gstreamer1.0-plugins-good "
          "gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly gstreamer1.0-libav), or use the "
          "buttons on the right. Then start Corvella again."},
    {130, "Did you know..."},
    {131, "*.mp3;*.wav;*.wma;*.mpa*.mp2;*.mid;*.rmi"},
    {132, "*.asf;*.asx;*.mpg;*.mpeg;*.mpv;*.avi;*.dat;*.wmv;"},
    {139, "Tips file does not exist in the prescribed directory"},
    {141, "Trouble reading the tips file"},
    {144, "https://www.corvella-player.org/version.txt"},
    {145, "Please wait while Corvella checks for software updates."},
    {146, "https://www.corvella-player.org/feedback/"},
    {147, "7B741690-CF80-4083-B296-986BC77C885E"},
    {148, "https://www.corvella-player.org/faq/"},
    {150, "-x -s 10 -l 500"},
    {151, "https://www.corvella-player.org/translations/"},
    {2701, "Download Center"},
    {2702, "Download QuickTime"},
    {2703, "Download RealPlayer"},
    {2704, "Download WMP"},
    {2705, "&Do not show this message."},
    {2706, "Close"},
    {4401, "Restore"},
    {4402, "&About Corvella..."},
    {4403, "&Manual"},
    {4404, "&Options"},
    {4405, "&Preferences..."},
    {4406, "&Always On Top"},
    {4407, "&Language"},
    {4408, "Contribute Your Translation"},
    {4409, "&Help Center"},
    {4410, "&Tell a friend..."},
    {4411, "&Home Page"},
    {4412, "Online &FAQ"},
    {4413, "Online Feed&back"},
    {4414, "Check for &Upgrade..."},
    {4415, "Check for Media Engines..."},
    {4416, "Tip of the day..."},
    {4417, "Play&list window"},
    {4418, "&Play window"},
    {4419, "&Reset windows position"},
    {4420, "&Eject/Close CD-ROM"},
    {4421, "Eject CD-ROM"},
    {4422, "Close CD-ROM"},
    {4423, "&Repeat"},
    {4424, "&Mute"},
    {4425, "&Exit"},
    {4426, "You have already installed all necessary media engines!"},
    {4427, "Open &Media File"},
    {4428, "Open &CD"},
    {4429, "Open &VCD"},
    {4430, "The manual is not installed:\n%s"},
    {4440, "Preferences"},
    {4441, "General"},
    {4442, "Display"},
    {4443, "General Options"},
    {4444, "Display Options"},
    {4445, "Use &user(skined) cursors"},
    {4446, "&Show clip numbers in Playlist"},
    {4447, "Playlist font size"},
    {4448, "Shade font size"},
    {4449, "Snap window to desktop edge at"},
    {4450, "Snap window to each other at"},
    {4451, "Tooltips"},
    {4452, "&None"},
    {4453, "&Main window only"},
    {4454, "&All windows"},
    {4455, "Show Icon in"},
    {4456, "&Taskbar only"},
    {4457, "&System Tray only"},
    {4458, "&Both Taskbar and Tray"},
    {4459, "Re&load last playlist at startup"},
    {4460, "Re&set play number when reload"},
    {4461, "&Auto play clips when loaded(Open Media File)"},
    {4462, "&Hide Play Window when play Audio Only file"},
    {4501, "Tip of the Day"},
    {4502, "&Show Tips on StartUp"},
    {4503, "&Next Tip"},
    {4504, "Close"},
    {4505, "Recommend you a useful media player software! - %s"},
    {4506, "Home Page: %s"},
    {4507, "About"},
    {4508, "Home Page"},
    {4509, "Online Feedback"},
    {4510, "Forum"},
    {4511, "OK"},
    {4601, "Detecting Upgrade Info"},
    {4602, "Contacting Brenholt"},
    {4603, "Cancel"},
    {4604, "Upgrade Info"},
    {4605, "Current Version"},
    {4606, "Latest Version"},
    {4607, "You already have latest version and do NOT need upgrade."},
    {4608, "New version ready for Download! Check it out"},
    {4609, "Release Date"},
    {4610, "Size"},
    {4611, "What's New"},
    {4612, "More Info"},
    {4613, "Download"},
    {5100, "Corvella could not read %s whole. What it could read is kept; the file itself was kept "
           "as %s."},
    {5101, "Corvella could not read %s whole. What it could read is kept."},
    {5102, "Corvella could not save %s. What was saved before is kept, and Corvella tries again at "
           "its next save."},
    {5103, "Reason:"},
    {5200, "The file is too large to be read."},
    {5300, "No program to show the manual was found. It is here:\n%s"},
    {5301, "Corvella Playlist"},
    {5302, "The media engine (GStreamer) plays these formats now: %s."},
    {5303, "These formats need GStreamer plugins that are not installed: %s. Install them with:\n"
           "sudo apt install %s"},
    {5304, "For QuickTime movies and RealMedia files that do not play here, we recommend our "
           "sibling product Lumivox. More at www.corvella-player.org"},
    {5400, "S&huffle"},
    {5401, "Repeat &One Clip"},
    {5402, "&Equalizer"},
    {5403, "ReplayGain"},
    {5404, "&Off"},
    {5405, "&Track gain"},
    {5406, "A&lbum gain"},
    {5407, "Preamp (dB)"},
    {5408, "&Prevent clipping"},
    {5409, "Equalizer"},
    {5410, "&Enable equalizer"},
    {5411, "Preamp"},
    {5412, "Preset"},
    {5413, "&Save"},
    {5414, "&Delete"},
    {5415, "Name of the preset:"},
    {5416, "Close"},
    {5420, "Flat"},
    {5421, "Rock"},
    {5422, "Pop"},
    {5423, "Jazz"},
    {5424, "Classical"},
    {5425, "Dance"},
    {5426, "Voice"},
    {5427, "Bass"},
    {5428, "Treble"},
    {5429, "Loudness"},
    {5500, "&Jump to file..."},
    {5501, "Jump to file"},
    {5502, "Words of a title or a path"},
    {5503, "Remove d&uplicates"},
    {5504, "Remove dead &entries"},
    {5505, "%d rows will be removed from the playlist. Remove them?"},
    {5506, "Open &Location..."},
    {5507, "Open Location"},
    {5508, "Address of a stream (http, https), or a file or playlist:"},
    {5509, "Nothing to play at that location."},
    {5510, "live"},
    {5511, "Buffering %d"},
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
