#include "util/FileSystemWatcher.h"

namespace ZEP_IO {

namespace {
INotifyWindowHost* g_host = nullptr;
}  // namespace

void SetNotifyWindowHost(INotifyWindowHost* host) { g_host = host; }
INotifyWindowHost* GetNotifyWindowHost() { return g_host; }

bool FileSystemWatcher::NotifyMessageWindow::Create() {
    if (created_)
        return true;
    if (!g_host || !watch_.Open())
        return false;
    if (!g_host->CreateWindow(this)) {
        watch_.Stop();
        return false;
    }
    created_ = true;
    return true;
}

void FileSystemWatcher::NotifyMessageWindow::Destroy() {
    if (created_) {
        created_ = false;
        if (g_host)
            g_host->DestroyWindow(this);
    }
    watch_.Stop();
}

bool FileSystemWatcher::NotifyMessageWindow::Register(std::uint32_t eventMask, const std::wstring& folder,
                                                      bool recursive) {
    return created_ && watch_.Start(folder, eventMask, recursive);
}

std::intptr_t FileSystemWatcher::NotifyMessageWindow::OnMessage(std::uint32_t message, std::uintptr_t,
                                                                std::intptr_t lParam, bool& handled) {
    if (message != ob::kernel::kChangeNotifyMessage) {
        handled = false;
        return 0;
    }
    handled = true;
    auto* block = reinterpret_cast<ob::kernel::FileChangeNotification*>(lParam);
    if (!block)
        return 0;
    if (watcher_ && watcher_->GetSink())
        watcher_->GetSink()->OnFileSystemEvent(block->info);
    ob::kernel::FreeChangeNotification(block);
    return 0;
}

bool FileSystemWatcher::Start(std::uint32_t eventMask, const std::wstring& folder, bool recursive) {
    if (!window_.IsCreated() && !window_.Create())
        return false;
    if (!window_.Register(eventMask, folder, recursive)) {
        // A watcher that was not running stays without a window.
        if (!registered_)
            window_.Destroy();
        return false;
    }
    registered_ = true;
    return true;
}

void FileSystemWatcher::Stop() {
    if (!registered_)
        return;
    window_.Deregister();
    window_.Destroy();
    registered_ = false;
}

}  // namespace ZEP_IO
