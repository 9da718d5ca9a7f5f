#include "platform/kernel/NamedEvent.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/WideText.h"

namespace ob::kernel {
namespace {

std::mutex g_scopeMutex;

std::string Sanitize(std::string_view text) {
    std::string out;
    for (char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '_')
            out += c;
    }
    return out.substr(0, 64);
}

std::string& ScopeStorage() {
    static std::string scope = [] {
        const char* env = std::getenv("ORBELLINE_EVENT_SCOPE");
        return env ? Sanitize(env) : std::string();
    }();
    return scope;
}

std::string& FolderTagStorage() {
    static std::string tag;
    return tag;
}

// FNV-1a: short, stable across runs and builds, enough to tell folders apart.
std::string HashText(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(hash));
    return out;
}

std::string FindRuntimeFolder(std::string& problem);

// The user's secret part of every kernel name: random, made once and kept
// in the private runtime folder, which no other user can read. Without it
// the names would be known in advance, and another user could make our
// semaphores first in the shared /dev/shm. Empty when it cannot be had.
std::string EventToken() {
    static std::mutex mutex;
    static std::map<std::string, std::string> tokens;  // by runtime folder
    std::string problem;
    const std::string folder = FindRuntimeFolder(problem);
    if (folder.empty())
        return {};
    std::lock_guard lock(mutex);
    if (const auto found = tokens.find(folder); found != tokens.end())
        return found->second;
    const std::string path = folder + "/orbelline-events.token";
    std::string token;
    for (int attempt = 0; attempt < 2 && token.empty(); ++attempt) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd >= 0) {
            struct stat st {};
            char text[33] = {};
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid() &&
                ::read(fd, text, 32) == 32 && Sanitize(text) == text)
                token = text;
            ::close(fd);
            if (token.empty())
                ::unlink(path.c_str());  // not one we made: made anew
            continue;
        }
        unsigned char random[16];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
            return {};
        char text[33];
        for (int i = 0; i < 16; ++i)
            std::snprintf(text + 2 * i, 3, "%02x", random[i]);
        const std::string temp = path + "." + std::to_string(::getpid()) + ".tmp";
        const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (out < 0)
            return {};
        const bool written = ::write(out, text, 32) == 32;
        ::close(out);
        // Two processes starting at once: the first link wins, both read it.
        if (!written || ::link(temp.c_str(), path.c_str()) != 0) {
            if (errno != EEXIST) {
                ::unlink(temp.c_str());
                return {};
            }
        }
        ::unlink(temp.c_str());
    }
    if (!token.empty())
        tokens[folder] = token;
    return token;
}

// The system-wide name: the event's own name made safe, the user's id, the
// user's token, and the scope (or the data folder's tag), so that two users,
// two scopes or two app folders never meet. Empty without a token.
std::string KernelName(std::wstring_view name) {
    const std::string token = EventToken();
    if (token.empty())
        return {};
    std::string kernel = Sanitize(ToUtf8(name)) + "." + std::to_string(::getuid()) + "." + token;
    const std::string scope = NamedObjectScope();
    if (!scope.empty()) {
        kernel += "." + scope;
    } else {
        std::lock_guard lock(g_scopeMutex);
        if (!FolderTagStorage().empty())
            kernel += ".f" + FolderTagStorage();
    }
    return kernel;
}

// Another user could have made a semaphore of the same name first (the names
// share one system-wide folder); only one of our own, private, is trusted.
bool OwnedPrivately(const std::string& kernelName) {
    struct stat st {};
    const std::string path = "/dev/shm/sem." + kernelName;
    if (::stat(path.c_str(), &st) != 0)
        return true;  // not visible in the file system: nothing to check against
    return st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

// Whether the semaphore's file is ours but open to others: one left by an
// older build or a careless umask, never trusted but ours to remove.
bool OursButOpen(const std::string& kernelName) {
    struct stat st {};
    const std::string path = "/dev/shm/sem." + kernelName;
    return ::stat(path.c_str(), &st) == 0 && st.st_uid == ::getuid() && (st.st_mode & 077) != 0;
}

sem_t* OpenSemaphore(const std::string& kernelName, bool create, unsigned initial) {
    if (kernelName.empty()) {
        SetLastError(kErrorAccessDenied);  // no private runtime folder for the token
        return nullptr;
    }
    const std::string semName = "/" + kernelName;
    // A stale one of ours that others could use is replaced by a private one.
    if (create && OursButOpen(kernelName))
        ::sem_unlink(semName.c_str());
    sem_t* sem =
        create ? ::sem_open(semName.c_str(), O_CREAT, 0600, initial) : ::sem_open(semName.c_str(), 0);
    if (sem == SEM_FAILED) {
        SetLastError(errno == ENOENT ? kErrorFileNotFound : ErrorFromErrno(errno));
        return nullptr;
    }
    if (!OwnedPrivately(kernelName)) {
        ::sem_close(sem);
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    SetLastError(kErrorSuccess);
    return sem;
}

void Drain(sem_t* sem) {
    while (::sem_trywait(sem) == 0) {
    }
}

}  // namespace

void SetNamedObjectScope(std::string_view scope) {
    std::lock_guard lock(g_scopeMutex);
    ScopeStorage() = Sanitize(scope);
}

std::string NamedObjectScope() {
    std::lock_guard lock(g_scopeMutex);
    return ScopeStorage();
}

void SetNamedObjectFolder(std::wstring_view folder) {
    std::lock_guard lock(g_scopeMutex);
    FolderTagStorage() = folder.empty() ? std::string() : HashText(ToUtf8(folder));
}

std::unique_ptr<NamedEvent> NamedEvent::Create(std::wstring_view name, Kind kind, bool initiallySet) {
    sem_t* sem = OpenSemaphore(KernelName(name), true, initiallySet ? 1 : 0);
    if (!sem)
        return nullptr;
    return std::unique_ptr<NamedEvent>(new NamedEvent(sem, kind));
}

std::unique_ptr<NamedEvent> NamedEvent::Open(std::wstring_view name, Kind kind) {
    sem_t* sem = OpenSemaphore(KernelName(name), false, 0);
    if (!sem)
        return nullptr;
    return std::unique_ptr<NamedEvent>(new NamedEvent(sem, kind));
}

bool NamedEvent::Remove(std::wstring_view name) {
    const std::string kernelName = KernelName(name);
    if (kernelName.empty()) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    const std::string semName = "/" + kernelName;
    if (::sem_unlink(semName.c_str()) != 0) {
        SetLastError(errno == ENOENT ? kErrorFileNotFound : ErrorFromErrno(errno));
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

NamedEvent::~NamedEvent() { ::sem_close(m_sem); }

bool NamedEvent::Set() {
    int value = 0;
    if (::sem_getvalue(m_sem, &value) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
    }
    // Two setters racing can still leave a count of 2; waits drain it.
    if (value <= 0 && ::sem_post(m_sem) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

bool NamedEvent::Reset() {
    Drain(m_sem);
    SetLastError(kErrorSuccess);
    return true;
}

bool NamedEvent::Wait(std::uint32_t timeoutMs) {
    int result;
    if (timeoutMs == 0) {
        result = ::sem_trywait(m_sem);
    } else if (timeoutMs == kInfinite) {
        do {
            result = ::sem_wait(m_sem);
        } while (result != 0 && errno == EINTR);
    } else {
        struct timespec deadline {};
        ::clock_gettime(CLOCK_MONOTONIC, &deadline);
        deadline.tv_sec += timeoutMs / 1000;
        deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L) {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000L;
        }
        do {
            result = ::sem_clockwait(m_sem, CLOCK_MONOTONIC, &deadline);
        } while (result != 0 && errno == EINTR);
    }
    if (result != 0)
        return false;
    if (m_kind == Kind::AutoReset)
        Drain(m_sem);  // one set, one wake-up, however often it was set
    else
        ::sem_post(m_sem);  // looking does not clear a manual-reset event
    return true;
}

bool NamedEvent::IsSet() const {
    int value = 0;
    return ::sem_getvalue(m_sem, &value) == 0 && value > 0;
}

namespace {

// The folder is fit when it is a real folder (not a link), ours, and closed
// to everyone else; otherwise `problem` says what is wrong with it.
bool FitRuntimeFolder(const std::string& folder, std::string& problem) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        problem = "the runtime folder " + folder + " cannot be used (" + std::strerror(errno) + ")";
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        problem = "the runtime folder " + folder + " is a symbolic link";
    } else if (!S_ISDIR(st.st_mode)) {
        problem = "the runtime folder " + folder + " is not a folder";
    } else if (st.st_uid != ::getuid()) {
        problem = "the runtime folder " + folder + " belongs to another user (uid " +
                  std::to_string(st.st_uid) + ")";
    } else if ((st.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        problem = "the runtime folder " + folder + " has mode " + mode + ", not 0700";
    } else {
        problem.clear();
        return true;
    }
    problem += "; remove it or set XDG_RUNTIME_DIR to a private folder of your own";
    return false;
}

std::string FindRuntimeFolder(std::string& problem) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
        std::string folder = runtime;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return FitRuntimeFolder(folder, problem) ? folder : std::string();
    }
    const std::string folder = "/tmp/orbelline-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    return FitRuntimeFolder(folder, problem) ? folder : std::string();
}

}  // namespace

std::string PrivateRuntimeFolder() {
    std::string problem;
    return FindRuntimeFolder(problem);
}

std::string RuntimeFolderProblem() {
    std::string problem;
    FindRuntimeFolder(problem);
    return problem;
}

namespace {
std::string LockPath(std::wstring_view name) {
    const std::string folder = PrivateRuntimeFolder();
    if (folder.empty() || KernelName(name).empty())
        return {};
    return folder + "/" + KernelName(name) + ".lock";
}
}  // namespace

std::unique_ptr<NamedLivenessLock> NamedLivenessLock::Acquire(std::wstring_view name) {
    const std::string path = LockPath(name);
    if (path.empty()) {
        SetLastError(kErrorAccessDenied);
        return nullptr;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        SetLastError(errno == EAGAIN || errno == EACCES ? kErrorAlreadyExists : ErrorFromErrno(errno));
        ::close(fd);
        return nullptr;
    }
    SetLastError(kErrorSuccess);
    return std::unique_ptr<NamedLivenessLock>(new NamedLivenessLock(fd));
}

bool NamedLivenessLock::IsHeld(std::wstring_view name) {
    const std::string path = LockPath(name);
    if (path.empty())
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;  // never made: nobody holds it
    // Only look: taking the lock even briefly could turn away a process that
    // is starting at that moment.
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_len = 1;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

NamedLivenessLock::~NamedLivenessLock() { ::close(m_fd); }

}  // namespace ob::kernel
