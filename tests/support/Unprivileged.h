// Runs a piece of a test as a user whose folder permissions count. Test machines often run
// as root, which reads every folder whatever its permission bits say.
#pragma once

#include <functional>
#include <grp.h>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// Calls work and returns its text. Under root, work runs in a child process that has become
// the user "nobody" (uid and gid 65534); nullopt when that child could not run or report.
inline std::optional<std::string> RunUnprivileged(const std::function<std::string()>& work) {
    if (::geteuid() != 0)
        return work();
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const std::string text = work();
        ::_exit(::write(fds[1], text.data(), text.size()) == ssize_t(text.size()) ? 0 : 3);
    }
    ::close(fds[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; pid > 0 && (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        text.append(buf, std::size_t(n));
    ::close(fds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
}

} // namespace testsupport
