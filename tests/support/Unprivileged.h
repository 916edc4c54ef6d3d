// Runs a piece of a test as a user whose folder permissions count. Test machines often run
// as root, which reads every folder whatever its permission bits say.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace testsupport {

// Calls work and returns its text. Under root, work runs in a child process that has become
// the user "nobody" (uid and gid 65534); nullopt when that child could not run or report.
std::optional<std::string> RunUnprivileged(const std::function<std::string()>& work);

} // namespace testsupport
