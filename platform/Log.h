// The verbose log (`--verbose`): diagnostic lines on standard error, off by default.
#pragma once

#include <string>

namespace platform {

void SetVerbose(bool on);
bool IsVerbose();
// Writes one line (a newline is added) to standard error when verbose logging is on.
void LogVerbose(const std::string& line);
// Writes one warning line to standard error whatever the verbose setting.
void LogWarning(const std::string& line);

} // namespace platform
