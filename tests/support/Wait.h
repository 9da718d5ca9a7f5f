// Waiting in real time for what another process or thread brings about: a
// file appearing, a window mapped, a process ended. The condition is polled,
// first often and then at most every 50 ms (some conditions ask another
// program), until it holds or the deadline passes; only a failing test waits
// that long.
#pragma once

#include <algorithm>
#include <chrono>
#include <thread>

namespace ob::test {

template <typename Condition>
bool WaitUntil(Condition condition, int timeoutMs = 15'000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::milliseconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return condition();
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
    return true;
}

}  // namespace ob::test
