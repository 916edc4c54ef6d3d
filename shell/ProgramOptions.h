// The options main reads itself, before anything else starts: --help, --version, --verbose.
// Everything else on the command line is the player's (files, folders, -a -x -n -m -r -f -s
// -l) and is handed on whole.
#pragma once

#include <string>

namespace shell {

enum class StartAction { Run, ShowHelp, ShowVersion };

// --help and --version win over running; --verbose switches the verbose log on.
StartAction ReadProgramOptions(int argc, const char* const* argv);

std::string UsageText();
std::string VersionText(); // string 114

} // namespace shell
