#include "platform/kernel/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace ob::kernel {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's two ends; the handler writes the signal's number as one byte.
int g_read = -1;
volatile int g_write = -1;

void OnSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    if (g_write >= 0) [[maybe_unused]]
        const auto written = ::write(g_write, &byte, 1);
    errno = saved;
}

}  // namespace

int CatchTerminationSignals() {
    if (g_read >= 0)
        return g_read;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    g_read = ends[0];
    g_write = ends[1];
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
    return g_read;
}

int TakeTerminationSignal() {
    if (g_read < 0)
        return 0;
    int last = 0;
    unsigned char bytes[16];
    for (ssize_t n; (n = ::read(g_read, bytes, sizeof bytes)) > 0;)
        last = bytes[n - 1];
    return last;
}

void ReleaseTerminationSignals() {
    if (g_read < 0)
        return;
    // The handlers stay until the process ends: once the exit sequence has
    // begun, a late SIGTERM must not end it with the default action (status
    // 143) before the settings are saved. With the pipe gone they do nothing.
    const int writeEnd = g_write;
    g_write = -1;
    ::close(writeEnd);
    ::close(g_read);
    g_read = -1;
}

}  // namespace ob::kernel
