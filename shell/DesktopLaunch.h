// How the desktop entry that the program writes at start launches it and which icon it shows.
// An installed copy is named by its command, so the entry keeps working when the package is
// upgraded; any other copy (a build tree, an unpacked folder) is named by its absolute path,
// since its folder is on no search path.
#pragma once

#include <string>

namespace shell {

inline constexpr char kCommandName[] = "corvella";

struct DesktopLaunch {
    std::string strExec; // the Exec line's program, already escaped for the entry
    std::string strIcon; // an icon theme name or an absolute file, escaped; empty: no icon
};

// What the package's own desktop entry says: the command name and the theme's icon.
DesktopLaunch InstalledLaunch();

// The launch for the program at programPath. commandFound is where the search path finds the
// command name (empty: nowhere); when that is this very program, it counts as installed.
// iconFile is the icon beside a copy that is not installed (empty: none).
DesktopLaunch LaunchFor(const std::string& programPath, const std::string& commandFound,
                        const std::string& iconFile);

// LaunchFor the running executable, the search path of this process and the icon file that
// lies in the build tree's or the unpacked copy's icon folder.
DesktopLaunch RunningProgramLaunch();

// path as one argument of an Exec line; empty when it holds a control character, which no
// entry line can carry.
std::string ExecArgument(const std::string& path);

} // namespace shell
