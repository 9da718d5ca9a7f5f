// The downloader's log file, weather/ForecastPumpCF.log. The "loglevel"
// setting chooses how much is written: 0 everything to 5 critical errors
// only. The file is bounded: when it would pass its limit it becomes the
// ".old" file and a new one starts, so at most twice the limit is kept.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>

namespace OBPump {

enum class Severity { Debug = 0, Detail = 1, Info = 2, Warning = 3, Error = 4, Critical = 5 };

class PumpLog {
public:
    static constexpr std::size_t kDefaultLimit = 256 * 1024;

    // An empty path gives a log that writes nothing.
    explicit PumpLog(std::string path = {}, int level = 5, std::size_t limitBytes = kDefaultLimit);

    void SetLevel(int level);
    int Level() const { return m_level; }
    bool Enabled(Severity severity) const { return static_cast<int>(severity) >= m_level; }

    void Write(Severity severity, const std::string& message);

    // Also shows entries from `least` up on standard error, whatever the
    // level: a fetch run by hand from a terminal tells why a city failed.
    void EchoToStandardError(Severity least);

    const std::string& Path() const { return m_path; }

private:
    std::mutex m_lock;
    std::string m_path;
    int m_level;
    std::size_t m_limit;
    bool m_warnedNotRegular = false;
    int m_echoFrom = 6;  // above every severity: no echo
};

}  // namespace OBPump
