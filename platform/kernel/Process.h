// Starting another program: hidden (no terminal input or output) and
// detached (its own session, not a child that must be waited for, and none
// of our open files), so it keeps running after we end.
#pragma once

#include <string>
#include <vector>

namespace ob::kernel {

// Starts the executable at `path` with `arguments`. True once the program is
// running; false (with the last error set, kErrorFileNotFound for a missing
// file) when it could not be started.
bool StartDetachedProcess(const std::wstring& path, const std::vector<std::wstring>& arguments = {});

}  // namespace ob::kernel
