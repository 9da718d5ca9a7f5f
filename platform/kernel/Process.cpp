#include "platform/kernel/Process.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/WideText.h"

namespace ob::kernel {

bool StartDetachedProcess(const std::wstring& path, const std::vector<std::wstring>& arguments) {
    const std::string program = ToUtf8(path);
    struct stat st {};
    if (program.empty() || ::stat(program.c_str(), &st) != 0) {
        SetLastError(program.empty() || errno == ENOENT ? kErrorFileNotFound : ErrorFromErrno(errno));
        return false;
    }
    if (!S_ISREG(st.st_mode) || ::access(program.c_str(), X_OK) != 0) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    // Everything the child needs is prepared before forking: after fork only
    // async-signal-safe calls are allowed.
    std::vector<std::string> storage{program};
    for (const auto& argument : arguments)
        storage.push_back(ToUtf8(argument));
    std::vector<char*> argv;
    for (auto& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    // The grandchild reports a failed exec through this pipe; a successful
    // exec closes it, which the parent reads as end of file.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        SetLastError(ErrorFromErrno(errno));
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0)
            ::_exit(grandchild < 0 ? 1 : 0);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        // None of our files (locks, sockets, watches) may live on in it.
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        ::execv(argv[0], argv.data());
        const int e = errno;
        [[maybe_unused]] ssize_t ignored = ::write(report[1], &e, sizeof e);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &execError, sizeof execError);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        SetLastError(kErrorGenFailure);
        return false;
    }
    if (n == static_cast<ssize_t>(sizeof execError)) {
        SetLastError(ErrorFromErrno(execError));
        return false;
    }
    SetLastError(kErrorSuccess);
    return true;
}

}  // namespace ob::kernel
