// One running instance per executable and user. The first instance holds a
// lock named after its executable's path and listens on a private socket;
// a second start finds the lock taken and knocks on that socket so the first
// can come to the front.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace ob::kernel {

class SingleInstance {
public:
    // Takes the instance lock for `name` (normally the executable's path with
    // every backslash turned into a slash). Null when another process of this
    // user holds it.
    static std::unique_ptr<SingleInstance> Acquire(std::wstring_view name);
    // Asks the instance holding `name` to come to the front. False when no
    // instance answers.
    static bool Knock(std::wstring_view name);

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // A descriptor that becomes readable when another start knocked; -1 when
    // the socket could not be made (the lock still holds).
    int KnockFd() const { return m_listenFd; }
    // Takes the waiting knocks; true when there was at least one.
    bool TakeKnocks();

private:
    SingleInstance() = default;
    int m_lockFd = -1;
    int m_listenFd = -1;
    std::string m_socketPath;
};

}  // namespace ob::kernel
