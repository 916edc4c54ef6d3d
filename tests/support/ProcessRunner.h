// Starts a program of the build as a child process, for end-to-end tests.
#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testsupport {

class CChildProcess {
public:
    // Starts program with args and extra environment entries ("NAME=value"); with an output
    // file, the program's standard output and error go there.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env = {}, const std::string& outputFile = {}) {
        // Blocked before the fork: a signal sent as soon as Start returns waits for the program.
        sigset_t parentMask;
        ::pthread_sigmask(SIG_BLOCK, &m_blockedInChild, &parentMask);
        m_pid = ::fork();
        if (m_pid != 0) {
            ::pthread_sigmask(SIG_SETMASK, &parentMask, nullptr);
            return m_pid > 0;
        }
        for (const auto& e : env)
            ::putenv(const_cast<char*>(e.c_str()));
        if (!outputFile.empty()) {
            const int fd = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd < 0 || ::dup2(fd, 1) < 0 || ::dup2(fd, 2) < 0)
                ::_exit(126);
            ::close(fd);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }

    // The next Start runs the program with sig blocked, as a launcher may leave it.
    void BlockInChild(int sig) { ::sigaddset(&m_blockedInChild, sig); }

    void Signal(int sig) const {
        if (m_pid > 0)
            ::kill(m_pid, sig);
    }

    // The exit code (128 + the signal's number when a signal ended it, as a shell reports it);
    // nullopt when it still ran at the limit, and was killed, or when no process runs.
    std::optional<int> WaitExit(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (int status = 0; m_pid > 0;
             std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (std::chrono::steady_clock::now() >= end)
                Kill(); // which ends the loop
        }
        return std::nullopt;
    }

    ~CChildProcess() { Kill(); }

private:
    void Kill() {
        Signal(SIGKILL);
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    pid_t m_pid = -1;
    sigset_t m_blockedInChild{}; // all clear: an empty set
};

} // namespace testsupport
