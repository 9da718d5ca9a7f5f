#include "util/PollingNotifyWindowHost.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace ZEP_IO {

bool PollingNotifyWindowHost::CreateWindow(FileSystemWatcher::NotifyMessageWindow* window) {
    m_windows.push_back(window);
    return true;
}

void PollingNotifyWindowHost::DestroyWindow(FileSystemWatcher::NotifyMessageWindow* window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
}

int PollingNotifyWindowHost::Pump(int timeoutMs) {
    std::vector<pollfd> fds;
    std::vector<FileSystemWatcher::NotifyMessageWindow*> owners;
    for (auto* window : m_windows) {
        if (window->GetWatch().Fd() >= 0) {
            fds.push_back({window->GetWatch().Fd(), POLLIN, 0});
            owners.push_back(window);
        }
    }
    if (fds.empty())
        return 0;
    int ready;
    do {
        ready = ::poll(fds.data(), fds.size(), timeoutMs);
    } while (ready < 0 && errno == EINTR);
    int delivered = 0;
    for (size_t i = 0; ready > 0 && i < fds.size(); ++i) {
        if (!(fds[i].revents & POLLIN))
            continue;
        for (auto* block : owners[i]->GetWatch().ReadChanges()) {
            // A sink may stop its watcher while handling a change; the
            // window then no longer wants the rest.
            if (std::find(m_windows.begin(), m_windows.end(), owners[i]) == m_windows.end()) {
                ob::kernel::FreeChangeNotification(block);
                continue;
            }
            bool handled = false;
            owners[i]->OnMessage(ob::kernel::kChangeNotifyMessage, 0, reinterpret_cast<std::intptr_t>(block),
                                 handled);
            ++delivered;
        }
    }
    return delivered;
}

}  // namespace ZEP_IO
