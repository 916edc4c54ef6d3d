#include "shell/ProgramOptions.h"

#include "platform/Log.h"
#include "res/StringTable.h"

#include <cstring>

namespace shell {

StartAction ReadProgramOptions(int argc, const char* const* argv) {
    StartAction action = StartAction::Run;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0)
            return StartAction::ShowHelp;
        if (std::strcmp(argv[i], "--version") == 0)
            action = StartAction::ShowVersion;
        else if (std::strcmp(argv[i], "--verbose") == 0)
            platform::SetVerbose(true);
    }
    return action;
}

std::string UsageText() {
    return "Usage: corvella [options] [files, folders or playlists...]\n"
           "\n"
           "Plays the media files, folders and playlists given. When the player already\n"
           "runs, the command line goes to the running player and this start ends.\n"
           "\n"
           "Options (each may begin with \"-\" or \"/\"):\n"
           "  -a         append the new entries to the current playlist\n"
           "  -x         replace the playlist with the new entries (the default)\n"
           "  -n         add the new entries after the current clip\n"
           "  -m         mix the new entries with the playlist in random order\n"
           "  -r         put the new entries into random order\n"
           "  -f         enlarge the play window to the whole work area\n"
           "  -s N       search folders at most N levels deep (default 10)\n"
           "  -l N       collect at most N files (default 500)\n"
           "  --verbose  log playback events to standard error\n"
           "  --help     show this help and end\n"
           "  --version  show the version and end\n";
}

std::string VersionText() {
    return res::LoadString(116) + " " + res::LoadString(114);
}

} // namespace shell
