#include "platform/kernel/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "platform/kernel/NamedEvent.h"
#include "platform/kernel/WideText.h"

namespace ob::kernel {
namespace {

// Paths can be long and hold any character; the files are named by a hash
// of the name so they fit a socket address and stay within the private folder.
std::string BaseName(std::wstring_view name) {
    const std::string utf8 = ToUtf8(name);
    std::uint64_t h = 1469598103934665603ULL;  // FNV-1a
    for (unsigned char c : utf8) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "instance-%016llx", static_cast<unsigned long long>(h));
    std::string scope = NamedObjectScope();
    return scope.empty() ? std::string(buf) : scope + "-" + buf;
}

bool FillAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

std::unique_ptr<SingleInstance> SingleInstance::Acquire(std::wstring_view name) {
    const std::string folder = PrivateRuntimeFolder();
    if (folder.empty())
        return nullptr;
    const std::string base = folder + "/" + BaseName(name);
    const int fd = ::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return nullptr;
    // flock is dropped by the system when the process ends, however it ends.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<SingleInstance> instance(new SingleInstance());
    instance->m_lockFd = fd;
    instance->m_socketPath = base + ".sock";

    // A socket file left by a killed instance is stale: we hold the lock now.
    ::unlink(instance->m_socketPath.c_str());
    sockaddr_un addr;
    if (FillAddress(instance->m_socketPath, addr)) {
        const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            ::listen(s, 4) == 0) {
            ::chmod(instance->m_socketPath.c_str(), 0600);
            instance->m_listenFd = s;
        } else if (s >= 0) {
            ::close(s);
        }
    }
    return instance;
}

bool SingleInstance::Knock(std::wstring_view name) {
    const std::string folder = PrivateRuntimeFolder();
    if (folder.empty())
        return false;
    sockaddr_un addr;
    if (!FillAddress(folder + "/" + BaseName(name) + ".sock", addr))
        return false;
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    // The connection is the knock: the running instance counts what it
    // accepts and closes it unread, which may come before the word below is
    // sent (the send then fails with EPIPE, and the knock was still heard).
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    if (ok) [[maybe_unused]]
        const auto sent = ::send(s, "front\n", 6, MSG_NOSIGNAL);
    ::close(s);
    return ok;
}

bool SingleInstance::TakeKnocks() {
    if (m_listenFd < 0)
        return false;
    bool any = false;
    for (;;) {
        const int c = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0)
            break;
        any = true;
        ::close(c);
    }
    return any;
}

SingleInstance::~SingleInstance() {
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        ::unlink(m_socketPath.c_str());
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

}  // namespace ob::kernel
