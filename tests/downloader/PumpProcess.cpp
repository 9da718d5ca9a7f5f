#include "downloader/PumpProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

extern char** environ;

namespace OBPumpTest {

using ob::test::ReadBytes;

PumpApp::PumpApp() {
    namespace fs = std::filesystem;
    fs::copy_file(fs::path(ORBELLINE_APP_DIR) / "ForecastPumpCF", m_folder / "ForecastPumpCF");
    fs::create_directories(m_folder / "weather");
}

PumpApp::~PumpApp() {
    for (pid_t pid : m_started)
        if (IsRunning(pid)) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
}

pid_t PumpApp::Start(const std::vector<std::string>& arguments) {
    const std::string program = m_folder / "ForecastPumpCF";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const int run = m_runs++;
    const std::string out = m_folder / ("out" + std::to_string(run));
    const std::string err = m_folder / ("err" + std::to_string(run));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (pid > 0)
        m_started.push_back(pid);
    return pid;
}

bool PumpApp::IsRunning(pid_t pid) {
    int status = 0;
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == 0)
        return true;
    if (r == pid) {
        // Reaped here: remember the status for a later WaitFor.
        m_finished[pid] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return false;
}

int PumpApp::WaitFor(pid_t pid, int timeoutMs) {
    if (!WaitUntil([&] { return !IsRunning(pid); }, timeoutMs)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    return m_finished.count(pid) ? m_finished[pid] : -1;
}

ProcessResult PumpApp::Run(const std::vector<std::string>& arguments, int timeoutMs) {
    const int run = m_runs;
    ProcessResult result;
    const pid_t pid = Start(arguments);
    if (pid <= 0)
        return result;
    result.status = WaitFor(pid, timeoutMs);
    result.out = ReadBytes(m_folder / ("out" + std::to_string(run)));
    result.err = ReadBytes(m_folder / ("err" + std::to_string(run)));
    return result;
}

}  // namespace OBPumpTest
