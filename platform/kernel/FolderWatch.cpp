#include "platform/kernel/FolderWatch.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/WideText.h"

namespace ob::kernel {
namespace {

constexpr std::uint32_t kInotifyMask =
    IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_ATTRIB | IN_ONLYDIR;

}  // namespace

void FreeChangeNotification(FileChangeNotification* block) {
    if (block && --block->refCount == 0)
        delete block;
}

FolderWatch::FolderWatch() = default;
FolderWatch::~FolderWatch() { Stop(); }

bool FolderWatch::Open() {
    if (m_fd >= 0)
        return true;
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
    }
    return true;
}

bool FolderWatch::Start(const std::wstring& folder, std::uint32_t mask, bool recursive) {
    Clear();
    const std::string path = ToUtf8(folder);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    if (!Open())
        return false;
    m_mask = mask;
    m_recursive = recursive;
    if (recursive)
        AddTree(path);
    else
        AddWatch(path);
    if (m_folders.empty()) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

void FolderWatch::Clear() {
    if (m_fd < 0)
        return;
    for (const auto& [wd, folder] : m_folders)
        ::inotify_rm_watch(m_fd, wd);
    m_folders.clear();
    // Whatever the old registration had queued is not wanted any more.
    char buffer[4096];
    while (::read(m_fd, buffer, sizeof buffer) > 0) {
    }
}

void FolderWatch::Stop() {
    if (m_fd >= 0)
        ::close(m_fd);  // closing drops every watch of the descriptor
    m_fd = -1;
    m_folders.clear();
}

void FolderWatch::AddWatch(const std::string& folder) {
    const int wd = ::inotify_add_watch(m_fd, folder.c_str(), kInotifyMask);
    if (wd >= 0)
        m_folders[wd] = folder;
}

void FolderWatch::AddTree(const std::string& folder) {
    AddWatch(folder);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string child = folder + "/" + name;
        struct stat st {};
        if (::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            AddTree(child);
    }
    ::closedir(dir);
}

bool FolderWatch::WaitForChanges(int timeoutMs) const {
    if (m_fd < 0)
        return false;
    struct pollfd pfd {
        m_fd, POLLIN, 0
    };
    int result;
    do {
        result = ::poll(&pfd, 1, timeoutMs);
    } while (result < 0 && errno == EINTR);
    return result > 0 && (pfd.revents & POLLIN);
}

std::vector<FileChangeNotification*> FolderWatch::ReadChanges() {
    std::vector<FileChangeNotification*> out;
    if (m_fd < 0)
        return out;
    alignas(struct inotify_event) char buffer[16384];
    // A rename within the watched folders comes as a pair with one cookie.
    std::map<std::uint32_t, std::string> movedFrom;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t offset = 0; offset < n;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
            const auto folder = m_folders.find(event->wd);
            if (event->mask & IN_IGNORED) {
                if (folder != m_folders.end())
                    m_folders.erase(folder);
                continue;
            }
            if (folder == m_folders.end() || event->len == 0)
                continue;
            const std::string path = folder->second + "/" + event->name;
            const bool isDir = event->mask & IN_ISDIR;
            std::uint32_t id = 0;
            std::string oldPath;
            if (event->mask & IN_CREATE) {
                id = isDir ? kChangeMakeDir : kChangeCreate;
                if (isDir && m_recursive)
                    AddTree(path);
            } else if (event->mask & IN_CLOSE_WRITE) {
                id = kChangeUpdateItem;
            } else if (event->mask & IN_MOVED_FROM) {
                movedFrom[event->cookie] = path;
                continue;
            } else if (event->mask & IN_MOVED_TO) {
                const auto from = movedFrom.find(event->cookie);
                if (from != movedFrom.end()) {
                    oldPath = from->second;
                    movedFrom.erase(from);
                    id = kChangeRenameItem;
                } else {
                    id = isDir ? kChangeMakeDir : kChangeCreate;
                }
                if (isDir && m_recursive)
                    AddTree(path);
            } else if (event->mask & IN_DELETE) {
                id = isDir ? kChangeRemoveDir : kChangeDelete;
            } else if (event->mask & IN_ATTRIB) {
                id = kChangeAttributes;
            }
            if (!(id & m_mask))
                continue;
            auto* block = new FileChangeNotification;
            block->info.eventId = id;
            block->info.item1 = FromUtf8(path);
            block->info.item2 = FromUtf8(oldPath);
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0) {
                block->info.attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : kAttributeNormal;
                block->info.modified = kUnixEpochTicks +
                                       static_cast<Ticks>(st.st_mtim.tv_sec) * kTicksPerSecond +
                                       st.st_mtim.tv_nsec / 100;
                block->info.fileSize = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
            }
            out.push_back(block);
        }
    }
    // A file moved out of the watched folders is gone from them.
    for (const auto& [cookie, path] : movedFrom) {
        if (!(kChangeDelete & m_mask))
            continue;
        auto* block = new FileChangeNotification;
        block->info.eventId = kChangeDelete;
        block->info.item1 = FromUtf8(path);
        out.push_back(block);
    }
    return out;
}

}  // namespace ob::kernel
