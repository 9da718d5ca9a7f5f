#include "platform/kernel/FileApi.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/kernel/WideText.h"

namespace ob::kernel {
namespace {

thread_local std::uint32_t t_lastError = kErrorSuccess;

std::string Narrow(const std::wstring& path) { return ToUtf8(path); }

void SetErrno(int e) { SetLastError(ErrorFromErrno(e)); }

// ENOENT means a missing file when its folder exists and a missing path
// otherwise, as the platform tells the two apart.
void SetMissingError(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    struct stat st {};
    SetLastError(::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kErrorFileNotFound
                                                                         : kErrorPathNotFound);
}

Ticks ToTicks(const struct timespec& ts) {
    return kUnixEpochTicks + static_cast<Ticks>(ts.tv_sec) * kTicksPerSecond + ts.tv_nsec / 100;
}

std::uint32_t AttributesOf(const struct stat& st, std::string_view name) {
    std::uint32_t attributes = 0;
    if (S_ISDIR(st.st_mode))
        attributes |= kAttributeDirectory;
    if (!(st.st_mode & S_IWUSR))
        attributes |= kAttributeReadOnly;
    if (!name.empty() && name.front() == '.')
        attributes |= kAttributeHidden;
    return attributes ? attributes : kAttributeNormal;
}

// Sharing is kept in open-file-description locks on four bytes far beyond any
// real content: one marks "opened for reading", one "opened for writing", and
// two mark "denies reading" and "denies writing". Markers are shared locks, so
// any number of holders coexist; a new opener tests for holders of the
// markers it conflicts with before taking its own.
constexpr off_t kShareBase = 0x7FFFFFFF00000000LL;
enum ShareByte : off_t { kHasRead = 0, kHasWrite = 1, kDeniesRead = 2, kDeniesWrite = 3 };
std::mutex g_shareMutex;  // closes the gap between test and take within this process

bool MarkerHeld(int fd, ShareByte byte) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kShareBase + byte;
    fl.l_len = 1;
    if (::fcntl(fd, F_OFD_GETLK, &fl) != 0)
        return false;
    return fl.l_type != F_UNLCK;
}

bool TakeMarker(int fd, ShareByte byte) {
    struct flock fl {};
    fl.l_type = F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kShareBase + byte;
    fl.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// Open files and folder searches are handed out as numbers taken from one
// counter, never given out twice: a handle kept after its close stays invalid
// even when a later open reuses the record's memory or its descriptor.
struct OpenFileRecord {
    int fd = -1;
    std::uint32_t access = 0;
    OpenFileRecord(int descriptor, std::uint32_t mode) : fd(descriptor), access(mode) {}
    OpenFileRecord(const OpenFileRecord&) = delete;
    OpenFileRecord& operator=(const OpenFileRecord&) = delete;
    // The last holder closes the descriptor, so that a read on another
    // thread never meets a descriptor that was closed and reused under it.
    ~OpenFileRecord() {
        if (fd >= 0)
            ::close(fd);
    }
};

struct FindState {
    std::vector<FindData> entries;
    size_t next = 0;
};

template <typename Record>
class HandleTable {
public:
    std::intptr_t Add(std::shared_ptr<Record> record) {
        std::lock_guard lock(m_mutex);
        const std::intptr_t handle = m_next++;
        m_records.emplace(handle, std::move(record));
        return handle;
    }
    // The live record of `handle`, or null with kErrorInvalidHandle.
    std::shared_ptr<Record> Find(std::intptr_t handle) const {
        std::lock_guard lock(m_mutex);
        const auto found = m_records.find(handle);
        if (found == m_records.end()) {
            SetLastError(kErrorInvalidHandle);
            return nullptr;
        }
        return found->second;
    }
    // Takes the record out of the table (the handle is dead from now on).
    std::shared_ptr<Record> Remove(std::intptr_t handle) {
        std::lock_guard lock(m_mutex);
        const auto found = m_records.find(handle);
        if (found == m_records.end()) {
            SetLastError(kErrorInvalidHandle);
            return nullptr;
        }
        std::shared_ptr<Record> record = std::move(found->second);
        m_records.erase(found);
        return record;
    }

private:
    mutable std::mutex m_mutex;
    std::unordered_map<std::intptr_t, std::shared_ptr<Record>> m_records;
    std::intptr_t m_next = 1;  // 0 and -1 are never valid
};

// Both tables live to the very end, so a handle closed during exit never
// touches a destroyed table.
HandleTable<OpenFileRecord>& Files() {
    static auto* table = new HandleTable<OpenFileRecord>;
    return *table;
}

HandleTable<FindState>& Finds() {
    static auto* table = new HandleTable<FindState>;
    return *table;
}

std::shared_ptr<OpenFileRecord> Lookup(FileHandle handle) { return Files().Find(handle); }

}  // namespace

std::uint32_t GetLastError() { return t_lastError; }
void SetLastError(std::uint32_t code) { t_lastError = code; }

std::uint32_t ErrorFromErrno(int e) {
    switch (e) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrorAccessDenied;
    case EEXIST: return kErrorFileExists;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EROFS: return kErrorWriteProtect;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorFilenameTooLong;
    case EINVAL: return kErrorInvalidParameter;
    case EBADF: return kErrorInvalidHandle;
    case EIO: return kErrorIoDevice;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case EBUSY: return kErrorBusy;
    case EAGAIN: return kErrorSharingViolation;
    case ENOTSUP: return kErrorNotSupported;
    default: return kErrorFromErrno | static_cast<std::uint32_t>(e);
    }
}

std::wstring ErrorMessage(std::uint32_t code) {
    switch (code) {
    case kErrorSuccess: return L"The operation completed successfully.";
    case kErrorInvalidFunction: return L"Incorrect function.";
    case kErrorFileNotFound: return L"The system cannot find the file specified.";
    case kErrorPathNotFound: return L"The system cannot find the path specified.";
    case kErrorTooManyOpenFiles: return L"The system cannot open the file.";
    case kErrorAccessDenied: return L"Access is denied.";
    case kErrorInvalidHandle: return L"The handle is invalid.";
    case kErrorNotEnoughMemory: return L"Not enough storage is available to process this command.";
    case kErrorNoMoreFiles: return L"There are no more files.";
    case kErrorWriteProtect: return L"The media is write protected.";
    case kErrorGenFailure: return L"A device attached to the system is not functioning.";
    case kErrorSharingViolation:
        return L"The process cannot access the file because it is being used by another process.";
    case kErrorHandleEof: return L"Reached the end of the file.";
    case kErrorNotSupported: return L"The request is not supported.";
    case kErrorFileExists: return L"The file exists.";
    case kErrorInvalidParameter: return L"The parameter is incorrect.";
    case kErrorDiskFull: return L"There is not enough space on the disk.";
    case kErrorInvalidName: return L"The filename, directory name, or volume label syntax is incorrect.";
    case kErrorNegativeSeek:
        return L"An attempt was made to move the file pointer before the beginning of the file.";
    case kErrorDirNotEmpty: return L"The directory is not empty.";
    case kErrorBusy: return L"The requested resource is in use.";
    case kErrorAlreadyExists: return L"Cannot create a file when that file already exists.";
    case kErrorFilenameTooLong: return L"The filename or extension is too long.";
    case kErrorDirectoryInvalid: return L"The directory name is invalid.";
    case kErrorIoDevice: return L"The request could not be performed because of an I/O device error.";
    default: break;
    }
    if (code & kErrorFromErrno) {
        char buffer[256];
        const char* text = ::strerror_r(static_cast<int>(code & ~kErrorFromErrno), buffer, sizeof buffer);
        return FromUtf8(text) + L".";
    }
    return {};
}

FileHandle OpenFile(const std::wstring& path, std::uint32_t access, std::uint32_t share, Creation creation) {
    const std::string name = Narrow(path);
    if (name.empty() || name.find('\0') != std::string::npos) {
        SetLastError(kErrorPathNotFound);
        return kInvalidFile;
    }
    const bool wantRead = access & kGenericRead;
    const bool wantWrite = access & kGenericWrite;
    // Never blocks in open (a FIFO without a writer would); only regular
    // files are accepted below.
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    switch (creation) {
    case Creation::CreateNew: flags |= O_CREAT | O_EXCL; break;
    case Creation::CreateAlways:
    case Creation::OpenAlways: flags |= O_CREAT; break;
    case Creation::OpenExisting: break;
    case Creation::TruncateExisting:
        if (!wantWrite) {
            SetLastError(kErrorInvalidParameter);
            return kInvalidFile;
        }
        break;
    default: SetLastError(kErrorInvalidParameter); return kInvalidFile;
    }
    const bool truncate = creation == Creation::CreateAlways || creation == Creation::TruncateExisting;
    // Writers are opened for reading too where permitted, so that they can
    // hold the shared-lock markers of the sharing rules. Emptying a file needs
    // a writable descriptor even when the caller asked only to read.
    int fd = -1;
    if (wantWrite || truncate) {
        fd = ::open(name.c_str(), flags | O_RDWR, 0644);
        if (fd < 0 && errno == EACCES && !wantRead)
            fd = ::open(name.c_str(), flags | O_WRONLY, 0644);
    } else {
        fd = ::open(name.c_str(), flags | O_RDONLY, 0644);
    }
    if (fd < 0) {
        const int e = errno;
        if (e == ENOENT)
            SetMissingError(name);
        else
            SetErrno(e);
        return kInvalidFile;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        SetLastError(kErrorAccessDenied);
        return kInvalidFile;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    {
        std::lock_guard lock(g_shareMutex);
        const bool conflict = (wantRead && MarkerHeld(fd, kDeniesRead)) ||
                              (wantWrite && MarkerHeld(fd, kDeniesWrite)) ||
                              (!(share & kShareRead) && MarkerHeld(fd, kHasRead)) ||
                              (!(share & kShareWrite) && MarkerHeld(fd, kHasWrite));
        if (conflict) {
            ::close(fd);
            SetLastError(kErrorSharingViolation);
            return kInvalidFile;
        }
        // A write-only descriptor cannot hold shared locks; such a handle
        // simply goes unmarked.
        if (wantRead)
            TakeMarker(fd, kHasRead);
        if (wantWrite)
            TakeMarker(fd, kHasWrite);
        if (!(share & kShareRead))
            TakeMarker(fd, kDeniesRead);
        if (!(share & kShareWrite))
            TakeMarker(fd, kDeniesWrite);
    }
    if (truncate && ::ftruncate(fd, 0) != 0) {
        const int e = errno;
        ::close(fd);
        SetErrno(e);
        return kInvalidFile;
    }
    const FileHandle handle = Files().Add(std::make_shared<OpenFileRecord>(fd, access));
    SetLastError(kErrorSuccess);
    return handle;
}

bool ReadFile(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t* bytesRead) {
    if (bytesRead)
        *bytesRead = 0;
    const std::shared_ptr<OpenFileRecord> record = Lookup(file);
    if (!record)
        return false;
    if (!(record->access & kGenericRead)) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    ssize_t n;
    do {
        n = ::read(record->fd, buffer, count);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        SetErrno(errno);
        return false;
    }
    if (bytesRead)
        *bytesRead = static_cast<std::uint32_t>(n);
    SetLastError(kErrorSuccess);
    return true;
}

bool WriteFile(FileHandle file, const void* buffer, std::uint32_t count, std::uint32_t* bytesWritten) {
    if (bytesWritten)
        *bytesWritten = 0;
    const std::shared_ptr<OpenFileRecord> record = Lookup(file);
    if (!record)
        return false;
    if (!(record->access & kGenericWrite)) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    ssize_t n;
    do {
        n = ::write(record->fd, buffer, count);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        SetErrno(errno);
        return false;
    }
    if (bytesWritten)
        *bytesWritten = static_cast<std::uint32_t>(n);
    SetLastError(kErrorSuccess);
    return true;
}

std::int64_t SeekFile(FileHandle file, std::int64_t offset, SeekOrigin origin) {
    const std::shared_ptr<OpenFileRecord> record = Lookup(file);
    if (!record)
        return -1;
    const int whence = origin == SeekOrigin::Begin ? SEEK_SET
                       : origin == SeekOrigin::End ? SEEK_END
                                                   : SEEK_CUR;
    const off_t result = ::lseek(record->fd, offset, whence);
    if (result < 0) {
        SetLastError(errno == EINVAL ? kErrorNegativeSeek : ErrorFromErrno(errno));
        return -1;
    }
    SetLastError(kErrorSuccess);
    return result;
}

std::int64_t GetFileSize(FileHandle file) {
    const std::shared_ptr<OpenFileRecord> record = Lookup(file);
    if (!record)
        return -1;
    struct stat st {};
    if (::fstat(record->fd, &st) != 0) {
        SetErrno(errno);
        return -1;
    }
    SetLastError(kErrorSuccess);
    return st.st_size;
}

bool SetEndOfFile(FileHandle file) {
    const std::shared_ptr<OpenFileRecord> record = Lookup(file);
    if (!record)
        return false;
    if (!(record->access & kGenericWrite)) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    const off_t position = ::lseek(record->fd, 0, SEEK_CUR);
    if (position < 0 || ::ftruncate(record->fd, position) != 0) {
        SetErrno(errno);
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

bool FlushFileBuffers(FileHandle file) {
    const std::shared_ptr<OpenFileRecord> record = Lookup(file);
    if (!record)
        return false;
    if (::fsync(record->fd) != 0 && errno != EINVAL && errno != EROFS) {
        SetErrno(errno);
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

bool CloseFile(FileHandle file) {
    std::shared_ptr<OpenFileRecord> record = Files().Remove(file);
    if (!record)
        return false;
    if (record.use_count() > 1) {
        // In use on another thread this moment: the last holder closes it.
        SetLastError(kErrorSuccess);
        return true;
    }
    const int result = ::close(std::exchange(record->fd, -1));
    if (result != 0 && errno != EINTR) {
        SetErrno(errno);
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

std::uint32_t GetFileAttributes(const std::wstring& path) {
    const std::string name = Narrow(path);
    struct stat st {};
    if (name.empty() || ::stat(name.c_str(), &st) != 0) {
        if (name.empty() || errno == ENOENT)
            SetMissingError(name);
        else
            SetErrno(errno);
        return kInvalidAttributes;
    }
    const auto slash = name.find_last_of('/');
    SetLastError(kErrorSuccess);
    return AttributesOf(
        st, slash == std::string::npos ? std::string_view(name) : std::string_view(name).substr(slash + 1));
}

bool CreateFolder(const std::wstring& path) {
    const std::string name = Narrow(path);
    if (::mkdir(name.c_str(), 0755) != 0) {
        const int e = errno;
        if (e == EEXIST)
            SetLastError(kErrorAlreadyExists);
        else if (e == ENOENT)
            SetLastError(kErrorPathNotFound);
        else
            SetErrno(e);
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

bool CreateFolderTree(const std::wstring& path) {
    if (path.empty()) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    const std::uint32_t attributes = GetFileAttributes(path);
    if (attributes != kInvalidAttributes) {
        if (attributes & kAttributeDirectory) {
            SetLastError(kErrorSuccess);
            return true;
        }
        SetLastError(kErrorAlreadyExists);
        return false;
    }
    const auto slash = path.find_last_of(L'/');
    if (slash != std::wstring::npos && slash > 0 && !CreateFolderTree(path.substr(0, slash)))
        return false;
    if (CreateFolder(path))
        return true;
    // Someone else may have made it in the meantime.
    const std::uint32_t now = GetFileAttributes(path);
    if (now != kInvalidAttributes && (now & kAttributeDirectory)) {
        SetLastError(kErrorSuccess);
        return true;
    }
    return false;
}

bool RemoveFolder(const std::wstring& path) {
    if (::rmdir(Narrow(path).c_str()) != 0) {
        const int e = errno;
        SetLastError(e == ENOTDIR ? kErrorDirectoryInvalid : ErrorFromErrno(e));
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

bool DeleteFile(const std::wstring& path) {
    const std::string name = Narrow(path);
    struct stat st {};
    if (::lstat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    if (::unlink(name.c_str()) != 0) {
        const int e = errno;
        if (e == ENOENT)
            SetMissingError(name);
        else
            SetErrno(e);
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

bool MatchesPattern(std::wstring_view name, std::wstring_view pattern) {
    // "*.*" is the platform's "everything", including names without a dot.
    if (pattern == L"*.*" || pattern == L"*")
        return true;
    return ::fnmatch(ToUtf8(pattern).c_str(), ToUtf8(name).c_str(), 0) == 0;
}

FindHandle FindFirstFile(const std::wstring& pattern, FindData& data) {
    const auto slash = pattern.find_last_of(L'/');
    std::wstring folder = slash == std::wstring::npos ? L"." : (slash == 0 ? L"/" : pattern.substr(0, slash));
    const std::wstring filePattern = slash == std::wstring::npos ? pattern : pattern.substr(slash + 1);
    const std::string narrowFolder = Narrow(folder);
    DIR* dir = ::opendir(narrowFolder.c_str());
    if (!dir) {
        const int e = errno;
        SetLastError(e == ENOENT || e == ENOTDIR ? kErrorPathNotFound : ErrorFromErrno(e));
        return kInvalidFind;
    }
    auto state = std::make_unique<FindState>();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const std::wstring wideName = FromUtf8(name);
        if (!MatchesPattern(wideName, filePattern))
            continue;
        FindData found;
        found.name = wideName;
        const std::string full = narrowFolder + "/" + std::string(name);
        struct stat st {};
        if (::stat(full.c_str(), &st) != 0 && ::lstat(full.c_str(), &st) != 0)
            continue;  // vanished while listing
        found.attributes = AttributesOf(st, name);
        found.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
        found.creationTime = ToTicks(st.st_ctim);
        found.lastAccessTime = ToTicks(st.st_atim);
        found.lastWriteTime = ToTicks(st.st_mtim);
        state->entries.push_back(std::move(found));
    }
    ::closedir(dir);
    // The directory's own order depends on the file system; listings are
    // sorted by name so that every run sees the same order.
    std::sort(state->entries.begin(), state->entries.end(),
              [](const FindData& a, const FindData& b) { return a.name < b.name; });
    if (state->entries.empty()) {
        SetLastError(kErrorFileNotFound);
        return kInvalidFind;
    }
    data = state->entries[0];
    state->next = 1;
    const FindHandle handle = Finds().Add(std::move(state));
    SetLastError(kErrorSuccess);
    return handle;
}

bool FindNextFile(FindHandle find, FindData& data) {
    const std::shared_ptr<FindState> state = Finds().Find(find);
    if (!state)
        return false;
    if (state->next >= state->entries.size()) {
        SetLastError(kErrorNoMoreFiles);
        return false;
    }
    data = state->entries[state->next++];
    SetLastError(kErrorSuccess);
    return true;
}

bool FindClose(FindHandle find) {
    if (!Finds().Remove(find))
        return false;
    SetLastError(kErrorSuccess);
    return true;
}

namespace {

// A process killed in the middle of WriteFileAtomically leaves its temporary
// file ".<base>.<pid>.<n>.tmp" behind; the next write of the same file removes
// those whose process no longer runs.
void RemoveAbandonedTemporaries(const std::string& folder, const std::string& base) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string prefix = "." + base + ".";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() <= prefix.size() + 4 || name.substr(0, prefix.size()) != prefix ||
            name.substr(name.size() - 4) != ".tmp")
            continue;
        const std::string_view rest = name.substr(prefix.size());
        const auto dot = rest.find('.');
        long pid = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + (dot == rest.npos ? 0 : dot), pid);
        if (ec != std::errc() || end != rest.data() + dot || pid <= 0)
            continue;
        if (pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace

bool WriteFileAtomically(const std::wstring& path, std::string_view bytes, const std::wstring& tempPath) {
    static std::atomic<unsigned> counter{0};
    const std::string target = Narrow(path);
    const auto slash = target.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) {
        SetLastError(kErrorInvalidName);
        return false;
    }
    struct stat existing {};
    const bool replacing = ::stat(target.c_str(), &existing) == 0;
    if (replacing && !S_ISREG(existing.st_mode)) {  // a folder, a device or a pipe is never replaced
        SetLastError(kErrorAccessDenied);
        return false;
    }
    if (tempPath.empty())
        RemoveAbandonedTemporaries(folder, base);
    // A unique name unless the caller names one; a named one is emptied
    // first, so that what an interrupted write left there never survives.
    const std::string temp = !tempPath.empty() ? Narrow(tempPath)
                                               : folder + "/." + base + "." + std::to_string(::getpid()) +
                                                     "." + std::to_string(counter.fetch_add(1)) + ".tmp";
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (tempPath.empty() ? O_EXCL : O_TRUNC);
    // A new file gets the usual permissions (0666 less the umask).
    const int fd = ::open(temp.c_str(), flags, 0666);
    if (fd < 0) {
        const int e = errno;
        if (e == ENOENT)
            SetLastError(kErrorPathNotFound);
        else
            SetErrno(e);
        return false;
    }
    auto fail = [&](int e) {
        ::close(fd);
        ::unlink(temp.c_str());
        SetErrno(e);
        return false;
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (n == 0)
            return fail(EIO);
        done += static_cast<size_t>(n);
    }
    if ((replacing && ::fchmod(fd, existing.st_mode & 07777) != 0) || ::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        SetErrno(e);
        return false;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        SetErrno(e);
        return false;
    }
    // Make the rename itself durable; a failure here loses nothing already visible.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    SetLastError(kErrorSuccess);
    return true;
}

namespace {
thread_local int t_lastReadErrno = 0;
}  // namespace

FileReadResult ReadRegularFile(const std::wstring& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    t_lastReadErrno = 0;
    const std::string name = Narrow(path);
    if (name.empty() || name.find('\0') != std::string::npos)
        return FileReadResult::Missing;
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait for one.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        t_lastReadErrno = errno;
        SetErrno(errno);
        return errno == ENOENT || errno == ENOTDIR ? FileReadResult::Missing : FileReadResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        SetLastError(kErrorAccessDenied);
        return FileReadResult::NotRegular;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        SetLastError(kErrorNotEnoughMemory);
        return FileReadResult::TooLarge;
    }
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            t_lastReadErrno = errno;
            SetErrno(errno);
            ::close(fd);
            bytes.clear();
            return FileReadResult::Failed;
        }
        if (n == 0)
            break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            ::close(fd);
            bytes.clear();
            bytes.shrink_to_fit();
            SetLastError(kErrorNotEnoughMemory);
            return FileReadResult::TooLarge;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    SetLastError(kErrorSuccess);
    return FileReadResult::Ok;
}

std::optional<FileStamp> GetFileStamp(const std::wstring& path) {
    struct stat info {};
    if (::stat(Narrow(path).c_str(), &info) != 0)
        return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::int64_t>(info.st_size),
                     static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

std::string DescribeFileRead(FileReadResult result, std::size_t maxBytes) {
    switch (result) {
    case FileReadResult::Ok: return {};
    case FileReadResult::Missing: return "missing";
    case FileReadResult::NotRegular: return "not a regular file";
    case FileReadResult::TooLarge:
        if (maxBytes >= 1024 * 1024 && maxBytes % (1024 * 1024) == 0)
            return "larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB";
        return "larger than " + std::to_string(maxBytes) + " bytes";
    case FileReadResult::Failed: break;
    }
    char buffer[256];
    const char* text = t_lastReadErrno ? ::strerror_r(t_lastReadErrno, buffer, sizeof buffer) : "read error";
    return std::string("unreadable (") + text + ")";
}

}  // namespace ob::kernel
