// Runs the real ForecastPumpCF from a temporary app folder of its own, as the
// program would find it beside itself.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "downloader/TestFolder.h"

namespace OBPumpTest {

struct ProcessResult {
    int status = -1;  // exit status; -1 when it had to be killed
    std::string out;
    std::string err;
};

class PumpApp {
public:
    PumpApp();   // a folder holding a copy of the downloader and weather/
    ~PumpApp();  // kills whatever it started that still runs

    std::string Folder() const { return m_folder.Path(); }
    std::string operator/(const std::string& name) const { return m_folder / name; }

    // Starts the downloader; returns its process id.
    pid_t Start(const std::vector<std::string>& arguments);
    // Waits up to `timeoutMs` for it to end; kills it and returns -1 when it did not.
    int WaitFor(pid_t pid, int timeoutMs);
    bool IsRunning(pid_t pid);
    // Start and wait, with its output.
    ProcessResult Run(const std::vector<std::string>& arguments, int timeoutMs = 10'000);

private:
    TestFolder m_folder;
    std::vector<pid_t> m_started;
    int m_runs = 0;
    std::map<pid_t, int> m_finished;
};

// Polls `condition` every few milliseconds until it holds or `timeoutMs` passes.
template <typename Condition>
bool WaitUntil(Condition condition, int timeoutMs = 10'000);

}  // namespace OBPumpTest

#include <chrono>
#include <thread>

template <typename Condition>
bool OBPumpTest::WaitUntil(Condition condition, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
