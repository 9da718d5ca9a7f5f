// Where the running executable lives. The app folder (settings, weather
// content, the downloader) is the executable's folder, as on the device.
#pragma once

#include <string>

namespace ob::kernel {

// Full path of the running executable ("/opt/orbelline/orbelline"); empty if unknown.
std::wstring ExecutablePath();
// Its folder without a trailing slash ("/opt/orbelline").
std::wstring ExecutableFolder();

}  // namespace ob::kernel
