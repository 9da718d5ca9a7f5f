// Folder change notification over inotify, in the shape the program knows
// from its platform: a registration with an event mask over a folder, and
// change records, each in a notification block with a reference count that
// the receiver hands back with FreeChangeNotification.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/kernel/Clock.h"

namespace ob::kernel {

// Change events (the shell's numbering).
constexpr std::uint32_t kChangeRenameItem = 0x00000001;
constexpr std::uint32_t kChangeCreate = 0x00000002;
constexpr std::uint32_t kChangeDelete = 0x00000004;
constexpr std::uint32_t kChangeMakeDir = 0x00000008;
constexpr std::uint32_t kChangeRemoveDir = 0x00000010;
constexpr std::uint32_t kChangeAttributes = 0x00000800;
constexpr std::uint32_t kChangeUpdateDir = 0x00001000;
constexpr std::uint32_t kChangeUpdateItem = 0x00002000;
constexpr std::uint32_t kChangeAllEvents = 0x7FFFFFFF;
// The window message that carries a notification block.
constexpr std::uint32_t kChangeNotifyMessage = 0x8101;

// What changed: the record the receiver is given.
struct FileChangeInfo {
    std::uint32_t size = sizeof(FileChangeInfo);
    std::uint32_t eventId = 0;
    std::uint32_t flags = 0;
    std::wstring item1;  // full path of the item
    std::wstring item2;  // for a rename within the watched folders, the old path
    std::uint32_t attributes = 0;
    Ticks modified = 0;
    std::uint64_t fileSize = 0;
};

// The block a change message points at: a reference count, then the record.
struct FileChangeNotification {
    std::uint32_t refCount = 1;
    FileChangeInfo info;
};
void FreeChangeNotification(FileChangeNotification* block);
// The block a kChangeNotifyMessage's lParam points at (null for none).
inline FileChangeNotification* ChangeNotificationFromParam(std::intptr_t lParam) {
    return reinterpret_cast<FileChangeNotification*>(lParam);
}

// One registration. Files created in the folder arrive as kChangeCreate, and
// kChangeUpdateItem follows whenever a file's writer closes it; a file
// renamed into the folder (the usual atomic replacement) arrives as
// kChangeCreate, and one renamed within it as kChangeRenameItem.
class FolderWatch {
public:
    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Makes the descriptor (Fd) without watching anything yet; it stays the
    // same through any number of Start and Clear until Stop.
    bool Open();
    // Watches `folder` (and, when recursive, its subfolders, including those
    // made later) for the events in `mask`, opening first when needed. A
    // second Start replaces the first registration. False when the folder
    // cannot be watched.
    bool Start(const std::wstring& folder, std::uint32_t mask, bool recursive);
    // Ends the registration and drops pending changes; the descriptor stays.
    void Clear();
    // Ends the registration and closes the descriptor.
    void Stop();
    bool IsActive() const { return m_fd >= 0; }
    bool IsWatching() const { return !m_folders.empty(); }

    // Readable whenever changes are pending: for poll() or a message loop.
    int Fd() const { return m_fd; }
    // Waits up to `timeoutMs` for pending changes; true when there are some.
    bool WaitForChanges(int timeoutMs) const;
    // Takes every pending change without blocking, as blocks the caller
    // frees with FreeChangeNotification.
    std::vector<FileChangeNotification*> ReadChanges();

private:
    void AddWatch(const std::string& folder);
    void AddTree(const std::string& folder);

    int m_fd = -1;
    std::uint32_t m_mask = 0;
    bool m_recursive = false;
    std::map<int, std::string> m_folders;  // watch descriptor -> folder
};

}  // namespace ob::kernel
