#include "platform/kernel/AppPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/kernel/ExecutablePath.h"
#include "platform/kernel/WideText.h"

namespace ob::kernel {
namespace {

constexpr const wchar_t* kProgramName = L"orbelline";
constexpr const wchar_t* kDownloaderName = L"ForecastPumpCF";

bool IsFolder(const std::wstring& path) {
    struct stat info {};
    return ::stat(ToUtf8(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::wstring Parent(const std::wstring& folder) {
    const auto slash = folder.find_last_of(L'/');
    if (slash == std::wstring::npos || slash == 0)
        return L"/";
    return folder.substr(0, slash);
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'/')
        return folder + name;
    return folder + L"/" + name;
}

// The user's home: $HOME when it is an absolute path, else the password file.
std::wstring HomeFolder(const EnvironmentLookup& environment) {
    const char* home = environment("HOME");
    if (home && home[0] == '/')
        return FromUtf8(home);
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
        return FromUtf8(entry->pw_dir);
    return L"/tmp";
}

// An XDG base folder: the variable when set to an absolute path (the
// XDG base-directory rules ignore relative ones), else its default.
std::wstring XdgFolder(const EnvironmentLookup& environment, const char* variable, const wchar_t* fallback) {
    const char* value = environment(variable);
    if (value && value[0] == '/')
        return FromUtf8(value);
    return Join(HomeFolder(environment), fallback);
}

std::mutex g_mutex;
std::optional<AppPaths> g_paths;
std::wstring g_override;

}  // namespace

AppPaths ResolveAppPaths(const std::wstring& exeFolder, const EnvironmentLookup& environment) {
    AppPaths paths;
    // The downloader of an installation lives two levels down, the program one.
    const std::wstring prefix =
        EndsWith(exeFolder, L"/lib/orbelline") ? Parent(Parent(exeFolder)) : Parent(exeFolder);
    const std::wstring shared = Join(Join(prefix, L"share"), kProgramName);
    paths.installed = !IsFolder(Join(exeFolder, L"weather/html")) && IsFolder(Join(shared, L"weather/html"));
    if (!paths.installed) {
        paths.contentFolder = exeFolder;
        paths.settingsFile = Join(exeFolder, L"settings.csv");
        paths.forecastFolder = Join(exeFolder, L"weather/data");
        paths.logFolder = Join(exeFolder, L"weather");
        paths.downloader = Join(exeFolder, kDownloaderName);
        return paths;
    }
    paths.contentFolder = shared;
    paths.settingsFile =
        Join(Join(XdgFolder(environment, "XDG_CONFIG_HOME", L".config"), kProgramName), L"settings.csv");
    paths.forecastFolder =
        Join(Join(XdgFolder(environment, "XDG_CACHE_HOME", L".cache"), kProgramName), L"weather/data");
    paths.logFolder = Join(XdgFolder(environment, "XDG_STATE_HOME", L".local/state"), kProgramName);
    paths.downloader = Join(Join(Join(prefix, L"lib"), kProgramName), kDownloaderName);
    return paths;
}

AppPaths GetAppPaths() {
    std::lock_guard lock(g_mutex);
    if (!g_paths) {
        const std::wstring folder = g_override.empty() ? ExecutableFolder() : g_override;
        g_paths = ResolveAppPaths(folder, [](const char* name) { return std::getenv(name); });
    }
    return *g_paths;
}

void OverrideAppFolder(const std::wstring& exeFolder) {
    std::lock_guard lock(g_mutex);
    g_override = exeFolder;
    g_paths.reset();
}

bool EnsureFolder(const std::wstring& folder, bool privateToUser) {
    if (folder.empty())
        return false;
    if (IsFolder(folder))
        return true;
    const std::wstring parent = Parent(folder);
    if (parent != folder && !IsFolder(parent) && !EnsureFolder(parent, privateToUser))
        return false;
    if (::mkdir(ToUtf8(folder).c_str(), privateToUser ? 0700 : 0755) == 0)
        return true;
    return errno == EEXIST && IsFolder(folder);
}

}  // namespace ob::kernel
