#include "wnd/NotifyWindowHost.h"

#include <algorithm>

#include "platform/kernel/FolderWatch.h"
#include "platform/ui/display/Display.h"
#include "wnd/MessageWindow.h"

namespace ZEP_Wnd {

// The hidden window of one watcher: it hands change messages to the watcher.
class NotifyWindowHost::Relay : public MessageWindow {
public:
    explicit Relay(ZEP_IO::FileSystemWatcher::NotifyMessageWindow* target) : m_target(target) {}

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message != ob::kernel::kChangeNotifyMessage)
            return false;
        bool handled = false;
        result = m_target->OnMessage(message, wParam, lParam, handled);
        if (!handled)
            ob::kernel::FreeChangeNotification(reinterpret_cast<ob::kernel::FileChangeNotification*>(lParam));
        return true;
    }

    // Changes read but not yet delivered would be lost with the window.
    void DropPending() {
        MSG msg;
        while (::PeekMessage(&msg, GetHandle(), ob::kernel::kChangeNotifyMessage,
                             ob::kernel::kChangeNotifyMessage, PM_REMOVE))
            ob::kernel::FreeChangeNotification(
                reinterpret_cast<ob::kernel::FileChangeNotification*>(msg.lParam));
    }

    ZEP_IO::FileSystemWatcher::NotifyMessageWindow* m_target;
    int m_fd = -1;
};

NotifyWindowHost::NotifyWindowHost() = default;

NotifyWindowHost::~NotifyWindowHost() {
    while (!m_relays.empty())
        DestroyWindow(m_relays.back()->m_target);
}

bool NotifyWindowHost::CreateWindow(ZEP_IO::FileSystemWatcher::NotifyMessageWindow* window) {
    if (!window)
        return false;
    auto relay = std::make_unique<Relay>(window);
    if (!relay->Create(nullptr, L"ZEP_IO notifications"))
        return false;
    relay->m_fd = window->GetWatch().Fd();
    if (relay->m_fd >= 0) {
        Relay* target = relay.get();
        ob::ui::AddLoopSource(relay->m_fd, [target] {
            for (ob::kernel::FileChangeNotification* block : target->m_target->GetWatch().ReadChanges()) {
                if (!::PostMessage(target->GetHandle(), ob::kernel::kChangeNotifyMessage, 0,
                                   reinterpret_cast<LPARAM>(block)))
                    ob::kernel::FreeChangeNotification(block);
            }
        });
    }
    m_relays.push_back(std::move(relay));
    return true;
}

void NotifyWindowHost::DestroyWindow(ZEP_IO::FileSystemWatcher::NotifyMessageWindow* window) {
    const auto it = std::find_if(m_relays.begin(), m_relays.end(),
                                 [window](const std::unique_ptr<Relay>& r) { return r->m_target == window; });
    if (it == m_relays.end())
        return;
    Relay& relay = **it;
    if (relay.m_fd >= 0)
        ob::ui::RemoveLoopSource(relay.m_fd);
    relay.DropPending();
    relay.Destroy();
    m_relays.erase(it);
}

}  // namespace ZEP_Wnd
