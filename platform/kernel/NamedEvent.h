// Named events shared between processes of the same user, with the two kinds
// the program and its downloader use: auto-reset (one Set wakes one wait and
// is then consumed) and manual-reset (stays set until Reset). They stand on
// POSIX named semaphores, private to the user (mode 0600, the user's id and
// a random token in the kernel name: the token is kept in the user's private
// runtime folder, so no other user can know the names and make them first).
// A semaphore under our name that is not ours, or not private, is never
// used; a stale one of ours that others could open is made anew. A semaphore counts where an event does not, so Set never
// raises the count above one and waits drain it.
//
// A semaphore outlives a process that is killed, so an event name says
// nothing about whether its owner still runs: a running process tells that
// by holding a liveness lock (NamedLivenessLock) that the system drops when
// the process ends, however it ends.
#pragma once

#include <semaphore.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ob::kernel {

constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

// Every named event and lock of this user lives in a scope; the default scope
// is empty. Tests and demos that run their own program and downloader side by
// side with others pick a scope of their own through the environment variable
// ORBELLINE_EVENT_SCOPE (inherited by the processes they start) or this call.
// Letters, digits, '-' and '_' are kept; other characters are dropped.
void SetNamedObjectScope(std::string_view scope);
std::string NamedObjectScope();
// Without a scope, the names are those of the data folder set here (both the
// program and its downloader set the forecast folder they serve), so two
// copies of the program in two folders each reach their own downloader.
void SetNamedObjectFolder(std::wstring_view folder);

class NamedEvent {
public:
    enum class Kind { AutoReset, ManualReset };

    // Creates the event, or obtains the existing one of that name (whose
    // state is then left as it is). Null when the system refuses, with the
    // last error set.
    static std::unique_ptr<NamedEvent> Create(std::wstring_view name, Kind kind, bool initiallySet);
    // Obtains an existing event; null (last error kErrorFileNotFound) when no
    // process has created it.
    static std::unique_ptr<NamedEvent> Open(std::wstring_view name, Kind kind);
    // Removes the name from the system; handles already open keep working.
    static bool Remove(std::wstring_view name);

    ~NamedEvent();
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    bool Set();
    bool Reset();
    // True when the event was (or became) set within the time-out in
    // milliseconds (kInfinite waits for ever). An auto-reset event is
    // consumed by the wait; a manual-reset event stays set.
    bool Wait(std::uint32_t timeoutMs);
    // Whether the event is set, without waiting and without consuming it.
    bool IsSet() const;

    Kind GetKind() const { return m_kind; }

private:
    NamedEvent(sem_t* sem, Kind kind) : m_sem(sem), m_kind(kind) {}
    sem_t* m_sem;
    Kind m_kind;
};

// A lock that a running process holds under a name for as long as it runs.
class NamedLivenessLock {
public:
    // Takes the lock; null when another process (or another holder in this
    // one) has it, or when the lock file cannot be made.
    static std::unique_ptr<NamedLivenessLock> Acquire(std::wstring_view name);
    // Whether some running process holds the lock now.
    static bool IsHeld(std::wstring_view name);

    ~NamedLivenessLock();
    NamedLivenessLock(const NamedLivenessLock&) = delete;
    NamedLivenessLock& operator=(const NamedLivenessLock&) = delete;

private:
    explicit NamedLivenessLock(int fd) : m_fd(fd) {}
    int m_fd;
};

// The folder that holds this user's lock files: $XDG_RUNTIME_DIR when it is
// set, otherwise /tmp/orbelline-<uid> (made when missing). It is used only
// when it is a real folder, not a link, owned by this user with no access for
// others; otherwise the result is empty and RuntimeFolderProblem() says what
// is wrong. Both processes check it at start and refuse to run without it,
// since another local user could otherwise hold our locks or plant links.
std::string PrivateRuntimeFolder();
// Empty when PrivateRuntimeFolder() is usable; otherwise one line for the user.
std::string RuntimeFolderProblem();

}  // namespace ob::kernel
