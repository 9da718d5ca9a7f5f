// A notify window host that delivers changes when asked to: Pump waits (with
// a bound) for any registered watcher's changes and sends them to the
// watchers' windows. For command-line use and tests; the window program uses
// the host over its message loop.
#pragma once

#include <vector>

#include "util/FileSystemWatcher.h"

namespace ZEP_IO {

class PollingNotifyWindowHost : public INotifyWindowHost {
public:
    bool CreateWindow(FileSystemWatcher::NotifyMessageWindow* window) override;
    void DestroyWindow(FileSystemWatcher::NotifyMessageWindow* window) override;
    // Waits up to timeoutMs for changes, then delivers every pending one.
    // Returns the number of change messages delivered.
    int Pump(int timeoutMs);
    int GetWindowCount() const { return static_cast<int>(m_windows.size()); }
    FileSystemWatcher::NotifyMessageWindow* GetLastWindow() const {
        return m_windows.empty() ? nullptr : m_windows.back();
    }

private:
    std::vector<FileSystemWatcher::NotifyMessageWindow*> m_windows;
};

}  // namespace ZEP_IO
