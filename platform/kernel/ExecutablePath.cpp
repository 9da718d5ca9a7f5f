#include "platform/kernel/ExecutablePath.h"

#include <unistd.h>

#include <vector>

#include "platform/kernel/WideText.h"

namespace ob::kernel {

std::wstring ExecutablePath() {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return {};
    return FromUtf8(std::string_view(buffer.data(), static_cast<size_t>(n)));
}

std::wstring ExecutableFolder() {
    std::wstring path = ExecutablePath();
    const auto slash = path.find_last_of(L'/');
    if (slash == std::wstring::npos)
        return {};
    if (slash == 0)
        return L"/";
    return path.substr(0, slash);
}

}  // namespace ob::kernel
