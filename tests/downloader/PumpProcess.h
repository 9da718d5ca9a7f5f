// Runs the real ForecastPumpCF from a temporary app folder of its own, as the
// program would find it beside itself.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "support/Wait.h"

namespace OBPumpTest {

using ob::test::WaitUntil;

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
    ob::test::TestFolder m_folder;
    std::vector<pid_t> m_started;
    int m_runs = 0;
    std::map<pid_t, int> m_finished;
};

}  // namespace OBPumpTest
