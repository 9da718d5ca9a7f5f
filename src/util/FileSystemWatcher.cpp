#include "util/FileSystemWatcher.h"

namespace ZEP_IO {

namespace {
INotifyWindowHost* g_host = nullptr;
}  // namespace

void SetNotifyWindowHost(INotifyWindowHost* host) { g_host = host; }
INotifyWindowHost* GetNotifyWindowHost() { return g_host; }

bool FileSystemWatcher::NotifyMessageWindow::Create() {
    if (m_created)
        return true;
    if (!g_host || !m_watch.Open())
        return false;
    if (!g_host->CreateWindow(this)) {
        m_watch.Stop();
        return false;
    }
    m_created = true;
    return true;
}

void FileSystemWatcher::NotifyMessageWindow::Destroy() {
    if (m_created) {
        m_created = false;
        if (g_host)
            g_host->DestroyWindow(this);
    }
    m_watch.Stop();
}

bool FileSystemWatcher::NotifyMessageWindow::Register(std::uint32_t eventMask, const std::wstring& folder,
                                                      bool recursive) {
    return m_created && m_watch.Start(folder, eventMask, recursive);
}

std::intptr_t FileSystemWatcher::NotifyMessageWindow::OnMessage(std::uint32_t message, std::uintptr_t,
                                                                std::intptr_t lParam, bool& handled) {
    if (message != ob::kernel::kChangeNotifyMessage) {
        handled = false;
        return 0;
    }
    handled = true;
    ob::kernel::FileChangeNotification* block = ob::kernel::ChangeNotificationFromParam(lParam);
    if (!block)
        return 0;
    if (m_watcher && m_watcher->GetSink())
        m_watcher->GetSink()->OnFileSystemEvent(block->info);
    ob::kernel::FreeChangeNotification(block);
    return 0;
}

bool FileSystemWatcher::Start(std::uint32_t eventMask, const std::wstring& folder, bool recursive) {
    if (!m_window.IsCreated() && !m_window.Create())
        return false;
    if (!m_window.Register(eventMask, folder, recursive)) {
        // A watcher that was not running stays without a window.
        if (!m_registered)
            m_window.Destroy();
        return false;
    }
    m_registered = true;
    return true;
}

void FileSystemWatcher::Stop() {
    if (!m_registered)
        return;
    m_window.Deregister();
    m_window.Destroy();
    m_registered = false;
}

}  // namespace ZEP_IO
