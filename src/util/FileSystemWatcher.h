// Watching a folder for changes. The watcher owns a hidden message window;
// the change registration reports to that window with the change message
// (kChangeNotifyMessage, 0x8101), whose handler passes the change record to
// the watcher's sink on the user-interface thread.
//
// The window itself lives with the program's message loop: a host
// (INotifyWindowHost) installed at start-up creates it and delivers the
// registration's changes to it as messages. Without a host, watchers cannot
// start.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/FolderWatch.h"

namespace ZEP_IO {

class IFileSystemEventSink {
public:
    virtual ~IFileSystemEventSink() = default;
    virtual void OnFileSystemEvent(const ob::kernel::FileChangeInfo& change) = 0;
};

class FileSystemWatcher {
public:
    class NotifyMessageWindow {
    public:
        explicit NotifyMessageWindow(FileSystemWatcher* watcher) : m_watcher(watcher) {}
        ~NotifyMessageWindow() { Destroy(); }
        NotifyMessageWindow(const NotifyMessageWindow&) = delete;
        NotifyMessageWindow& operator=(const NotifyMessageWindow&) = delete;

        bool Create();
        void Destroy();
        bool IsCreated() const { return m_created; }
        // The change registration reporting to this window; a second
        // registration replaces the first.
        bool Register(std::uint32_t eventMask, const std::wstring& folder, bool recursive);
        void Deregister() { m_watch.Clear(); }
        // What the host reads the pending changes from. Its descriptor
        // (GetWatch().Fd()) exists from Create to Destroy and never changes
        // in between, so a host can hand it to its message loop once.
        ob::kernel::FolderWatch& GetWatch() { return m_watch; }

        // The window's message handler. The change message carries a
        // FileChangeNotification* in lParam; it is passed to the sink and
        // freed, and the answer is 0. Other messages are not handled here
        // (handled = false) and go to the host's default handling.
        std::intptr_t OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                                bool& handled);

    private:
        FileSystemWatcher* m_watcher;
        bool m_created = false;
        ob::kernel::FolderWatch m_watch;
    };

    explicit FileSystemWatcher(IFileSystemEventSink* sink) : m_window(this), m_sink(sink) {}
    ~FileSystemWatcher() { Stop(); }
    FileSystemWatcher(const FileSystemWatcher&) = delete;
    FileSystemWatcher& operator=(const FileSystemWatcher&) = delete;

    // Creates the window when needed and registers it for changes of
    // `eventMask` in `folder`. False when either fails; never raises.
    bool Start(std::uint32_t eventMask, const std::wstring& folder, bool recursive);
    // Deregisters and destroys the window; nothing when not started.
    void Stop();
    bool IsRegistered() const { return m_registered; }
    IFileSystemEventSink* GetSink() const { return m_sink; }

private:
    NotifyMessageWindow m_window;
    IFileSystemEventSink* m_sink;
    bool m_registered = false;
};

// Creates and destroys the watchers' hidden windows on the program's message
// loop. For a created window the host watches window->GetWatch().Fd() (it
// turns readable when changes are pending), takes the changes with
// GetWatch().ReadChanges() and sends each block to the window's OnMessage as
// kChangeNotifyMessage, on the user-interface thread. DestroyWindow comes
// before the descriptor closes.
class INotifyWindowHost {
public:
    virtual ~INotifyWindowHost() = default;
    virtual bool CreateWindow(FileSystemWatcher::NotifyMessageWindow* window) = 0;
    virtual void DestroyWindow(FileSystemWatcher::NotifyMessageWindow* window) = 0;
};

// The host in use (none at first). The application installs one at start-up.
void SetNotifyWindowHost(INotifyWindowHost* host);
INotifyWindowHost* GetNotifyWindowHost();

}  // namespace ZEP_IO
