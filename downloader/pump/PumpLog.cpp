#include "downloader/pump/PumpLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "downloader/pump/ForecastDocument.h"
#include "platform/kernel/Clock.h"

namespace OBPump {
namespace {

const char* SeverityName(Severity severity) {
    switch (severity) {
    case Severity::Debug: return "debug";
    case Severity::Detail: return "detail";
    case Severity::Info: return "info";
    case Severity::Warning: return "warning";
    case Severity::Error: return "error";
    case Severity::Critical: return "critical";
    }
    return "?";
}

// One line per entry whatever the message holds, and never an endless one.
std::string OneLine(const std::string& message) {
    std::string line = message.substr(0, 2000);
    for (char& c : line)
        if (c == '\n' || c == '\r' || static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return line;
}

}  // namespace

PumpLog::PumpLog(std::string path, int level, std::size_t limitBytes)
    : m_path(std::move(path)),
      m_level(std::clamp(level, 0, 5)),
      m_limit(std::max<std::size_t>(limitBytes, 1024)) {}

void PumpLog::SetLevel(int level) { m_level = std::clamp(level, 0, 5); }

void PumpLog::EchoToStandardError(Severity least) { m_echoFrom = static_cast<int>(least); }

void PumpLog::Write(Severity severity, const std::string& message) {
    if (static_cast<int>(severity) >= m_echoFrom)
        std::fprintf(stderr, "ForecastPumpCF: %s\n", OneLine(message).c_str());
    if (m_path.empty() || !Enabled(severity))
        return;
    const long long seconds =
        (ob::kernel::UtcNowTicks() - ob::kernel::kUnixEpochTicks) / ob::kernel::kTicksPerSecond;
    const std::string line = IsoUtc(seconds) + " [" + SeverityName(severity) + "] " + OneLine(message) + "\n";

    std::lock_guard<std::mutex> guard(m_lock);
    struct stat info {};
    if (::lstat(m_path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::size_t>(info.st_size) + line.size() > m_limit)
        std::rename(m_path.c_str(), (m_path + ".old").c_str());
    // Only a plain file is written: opening never blocks (a FIFO put in the
    // log's place would otherwise hold the downloader for ever) and a link,
    // a FIFO or a device is left alone.
    const int fd = ::open(
        m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0)
        return;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const ssize_t written = ::write(fd, line.data(), line.size());
        (void)written;
    } else if (!m_warnedNotRegular) {
        m_warnedNotRegular = true;
        std::fprintf(stderr, "ForecastPumpCF: %s is not a regular file; nothing is logged\n", m_path.c_str());
    }
    ::close(fd);
}

}  // namespace OBPump
