// Runs the real orbelline executable from a temporary app folder, as a user
// would: a copy of the binary with its own settings.csv beside it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace ob::test {

struct ProgramResult {
    int status = -1;  // exit status; -1 when killed or timed out
    bool timedOut = false;
    int signal = 0;  // the signal that ended it, if one did
    std::string out;
    std::string err;
};

class AppFolder {
public:
    AppFolder() {
        const std::filesystem::path source = std::filesystem::path(ORBELLINE_APP_DIR) / "orbelline";
        std::filesystem::copy_file(source, m_folder.Path() / "orbelline");
    }
    std::string Settings() const { return m_folder.File("settings.csv"); }
    std::string Exe() const { return m_folder.File("orbelline"); }
    const TestFolder& Folder() const { return m_folder; }
    // Runs that follow get at most this much address space (ulimit -v); 0: no limit.
    void LimitAddressSpace(rlim_t bytes) { m_addressSpace = bytes; }

    // Runs the copy with `args` in the C locale (plus `env`), stopping it
    // after `timeout` seconds.
    ProgramResult Run(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                      int timeoutSeconds = 20) const {
        ProgramResult result;
        int outPipe[2], errPipe[2];
        if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0)
            return result;
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(outPipe[1], 1);
            ::dup2(errPipe[1], 2);
            ::close(outPipe[0]);
            ::close(errPipe[0]);
            // The caller's variables replace the defaults of the same name.
            std::vector<std::string> envStrings = env;
            for (std::string fallback : {"LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin", "TZ=UTC"}) {
                const std::string name = fallback.substr(0, fallback.find('=') + 1);
                bool given = false;
                for (const auto& e : env)
                    given = given || e.rfind(name, 0) == 0;
                if (!given)
                    envStrings.push_back(fallback);
            }
            std::vector<char*> argv = {const_cast<char*>("orbelline")};
            for (const auto& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            std::vector<char*> envp;
            for (auto& e : envStrings)
                envp.push_back(e.data());
            envp.push_back(nullptr);
            if (m_addressSpace > 0) {
                const rlimit limit{m_addressSpace, m_addressSpace};
                ::setrlimit(RLIMIT_AS, &limit);
            }
            ::execve(Exe().c_str(), argv.data(), envp.data());
            ::_exit(127);
        }
        ::close(outPipe[1]);
        ::close(errPipe[1]);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
        int open = 2;
        while (open > 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                result.timedOut = true;
                ::kill(pid, SIGKILL);
                break;
            }
            if (::poll(fds, 2, static_cast<int>(left.count())) <= 0)
                continue;
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                char buffer[65536];
                const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
                if (n <= 0) {
                    ::close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                } else {
                    (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
                }
            }
        }
        for (auto& f : fds)
            if (f.fd >= 0)
                ::close(f.fd);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!result.timedOut && WIFEXITED(status))
            result.status = WEXITSTATUS(status);
        if (!result.timedOut && WIFSIGNALED(status))
            result.signal = WTERMSIG(status);
        return result;
    }

private:
    TestFolder m_folder;
    rlim_t m_addressSpace = 0;
};

// Splits text at every separator; a final empty piece counts only for
// fields, not after the last line end.
inline std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == separator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty() || separator != '\n')
        parts.push_back(part);
    return parts;
}

}  // namespace ob::test
