// For the tests that run a real window: a private X server, the programs
// started on it, and what can be seen of them from outside (a window mapped,
// a picture written, a process that catches SIGTERM). Each wait has a
// deadline and ends as soon as what it waits for is there.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/Wait.h"

extern char** environ;

namespace ob::test {

inline bool OnPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Starts `args` (looked up on PATH) with this process's environment, in which
// `extraEnv` ("NAME=value") takes the place of a variable of the same name;
// -1 when it cannot be started.
inline pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {},
                   const posix_spawn_file_actions_t* actions = nullptr) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // getenv takes the first of a name, so the given ones come first.
    std::vector<std::string> env(extraEnv);
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    return pid;
}

// Runs a shell command and returns what it printed.
inline std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p))
            out += buf;
        ::pclose(p);
    }
    return out;
}

// Whether the process catches SIGTERM (its handler is installed), from
// /proc: how a test sees that a program has come far enough to end cleanly.
inline bool CatchesSigterm(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::strtoull(line.c_str() + 7, nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

// The bytes of a PNG file once it has been written to its end (a picture
// another process is still writing is not taken half-way); empty when none
// is there within the deadline.
inline std::string WaitForPicture(const std::filesystem::path& path, int timeoutMs = 20'000) {
    static const std::string kEnd("IEND\xAE\x42\x60\x82", 8);
    std::string bytes;
    WaitUntil(
        [&] {
            std::ifstream in(path, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
            return bytes.size() > kEnd.size() &&
                   bytes.compare(bytes.size() - kEnd.size(), kEnd.size(), kEnd) == 0;
        },
        timeoutMs);
    return bytes.size() > kEnd.size() && bytes.compare(bytes.size() - kEnd.size(), kEnd.size(), kEnd) == 0
               ? bytes
               : std::string();
}

// Xvfb on a display number of its own choosing (-displayfd), so tests never
// contend for one, ended with the object.
class XServer {
public:
    // `screen` as Xvfb takes it: "800x800x24".
    explicit XServer(const std::string& screen) {
        int ends[2];
        if (::pipe(ends) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, ends[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        // -noreset: a server whose last client leaves starts over, and a
        // program connecting in that moment is turned away; between a test's
        // xdotool runs and a program's restart that moment comes often.
        m_pid = Spawn({"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0", screen, "-nolisten",
                       "tcp", "-noreset"},
                      {}, &actions);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        // It writes the number once it accepts clients.
        std::string number;
        pollfd ready{ends[0], POLLIN, 0};
        for (char c; ::poll(&ready, 1, 20'000) > 0 && ::read(ends[0], &c, 1) == 1 && c != '\n';)
            number += c;
        ::close(ends[0]);
        if (m_pid > 0 && !number.empty())
            m_display = ":" + number;
    }
    // Ended with SIGTERM, so that it removes its lock file and socket (a
    // killed server leaves them behind for the next one to trip over).
    ~XServer() {
        if (m_pid <= 0 || ::kill(m_pid, SIGTERM) != 0)
            return;
        if (!WaitUntil([&] { return ::waitpid(m_pid, nullptr, WNOHANG) == m_pid; }, 5'000)) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Running() const { return !m_display.empty(); }
    const std::string& Display() const { return m_display; }
    std::string Env() const { return "DISPLAY=" + m_display; }

    // The first mapped window that `xdotool search --onlyvisible` finds with
    // `criteria` ("--classname orbelline"), waited for; "" when none shows.
    std::string WaitForWindow(const std::string& criteria, int timeoutMs = 20'000) const {
        std::string window;
        WaitUntil(
            [&] {
                window =
                    Shell(Env() + " xdotool search --onlyvisible " + criteria + " 2>/dev/null | head -n1");
                return !window.empty();
            },
            timeoutMs);
        window.erase(window.find_last_not_of(" \n") + 1);
        return window;
    }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

}  // namespace ob::test
