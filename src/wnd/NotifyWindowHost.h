// Folder change notifications on the program's message loop: each watcher's
// hidden window is a message window, and the changes pending on its
// descriptor are posted to it as change messages, so they arrive in order
// with everything else the user interface does.
#pragma once

#include <memory>
#include <vector>

#include "util/FileSystemWatcher.h"

namespace ZEP_Wnd {

class NotifyWindowHost : public ZEP_IO::INotifyWindowHost {
public:
    NotifyWindowHost();
    ~NotifyWindowHost() override;

    bool CreateWindow(ZEP_IO::FileSystemWatcher::NotifyMessageWindow* window) override;
    void DestroyWindow(ZEP_IO::FileSystemWatcher::NotifyMessageWindow* window) override;

    size_t GetWindowCount() const { return m_relays.size(); }

private:
    class Relay;
    std::vector<std::unique_ptr<Relay>> m_relays;
};

}  // namespace ZEP_Wnd
