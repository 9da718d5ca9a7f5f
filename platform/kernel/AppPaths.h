// Where the program and its downloader find their content and keep the files
// they write. Both executables ask this one place, so they always agree.
//
// Portable: the executable's folder holds the content ("weather/html" beside
// it, as in the build's app folder or a copied one). Everything lives there,
// settings and forecasts included, as on the device.
//
// Installed: the program sits in <prefix>/bin, the downloader in
// <prefix>/lib/orbelline, the read-only content in <prefix>/share/orbelline.
// What the user or the downloader writes goes to the user's XDG folders:
// settings in $XDG_CONFIG_HOME/orbelline (default ~/.config), forecasts in
// $XDG_CACHE_HOME/orbelline/weather/data (default ~/.cache) and the
// downloader's log in $XDG_STATE_HOME/orbelline (default ~/.local/state).
//
// A folder that holds neither layout's content is treated as portable, so a
// test binary or a half-copied folder behaves as it always has.
#pragma once

#include <functional>
#include <string>

namespace ob::kernel {

struct AppPaths {
    bool installed = false;
    std::wstring contentFolder;   // holds weather/html and weather/images_1|2|3
    std::wstring settingsFile;    // settings.csv
    std::wstring forecastFolder;  // the downloader's m_f<id>.xml files
    std::wstring logFolder;       // the downloader's log
    std::wstring downloader;      // the downloader executable
};

// The environment as a lookup, so tests can give their own.
using EnvironmentLookup = std::function<const char*(const char*)>;

// The paths for an executable living in `exeFolder` (either of the two).
AppPaths ResolveAppPaths(const std::wstring& exeFolder, const EnvironmentLookup& environment);

// The paths of the running process, resolved once from its own location and
// the real environment.
AppPaths GetAppPaths();

// Test hook: resolve as if the executable lived in `exeFolder` (empty: the
// real location again).
void OverrideAppFolder(const std::wstring& exeFolder);

// Makes `folder` and any missing parents. Folders made in installed mode are
// private to the user (0700); existing ones are left as they are. False when
// it cannot be made.
bool EnsureFolder(const std::wstring& folder, bool privateToUser);

}  // namespace ob::kernel
