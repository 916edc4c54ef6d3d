// The process command line as one text, the way a second start hands it to the running
// instance: the program's full path in double quotation marks, then each argument after a
// blank, quoted when it holds a blank or a tab.
#pragma once

#include <string>
#include <vector>

namespace shell {

std::string JoinCommandLine(const std::string& programPath, const std::vector<std::string>& args);

// Remembers the arguments of main (argv[0] is replaced by the executable's full path).
void SetCommandLine(int argc, const char* const* argv);
// The text built by SetCommandLine; the quoted program path alone when it was never called.
std::string GetCommandLine();

} // namespace shell
