#include "weather/FileUtils.h"

#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/kernel/AppPaths.h"
#include "platform/kernel/ExecutablePath.h"

namespace OBWeather {
namespace {

std::mutex g_mutex;
std::pair<int, int> g_screenSize{240, 320};
FileUtils::SystemScreenDimensionProvider g_systemProvider;
FileUtils::ScreenDimensionProvider* g_provider = &g_systemProvider;
std::optional<std::wstring> g_exeFolder;
std::optional<std::wstring> g_overrideFolder;

// The paths of the real program, or of one living in the test folder.
ob::kernel::AppPaths CurrentPaths() {
    std::optional<std::wstring> folder;
    {
        std::lock_guard lock(g_mutex);
        folder = g_overrideFolder;
    }
    if (!folder)
        return ob::kernel::GetAppPaths();
    return ob::kernel::ResolveAppPaths(*folder, [](const char* name) { return std::getenv(name); });
}

std::wstring Join(const std::wstring& folder, const wchar_t* name) { return folder + L"/" + name; }

}  // namespace

std::pair<int, int> FileUtils::SystemScreenDimensionProvider::GetScreenDimensions() {
    std::lock_guard lock(g_mutex);
    return g_screenSize;
}

void FileUtils::SystemScreenDimensionProvider::SetScreenSize(int width, int height) {
    std::lock_guard lock(g_mutex);
    g_screenSize = {width, height};
}

void FileUtils::SetScreenDimensionProvider(ScreenDimensionProvider* provider) {
    g_provider = provider ? provider : &g_systemProvider;
}

FileUtils::ScreenDimensionProvider* FileUtils::GetScreenDimensionProvider() { return g_provider; }

std::wstring FileUtils::GetExeFolder() {
    std::lock_guard lock(g_mutex);
    if (!g_exeFolder)
        g_exeFolder = ob::kernel::ExecutableFolder();
    return *g_exeFolder;
}

std::wstring FileUtils::GetWeatherFolder() { return Join(CurrentPaths().contentFolder, L"weather"); }

std::wstring FileUtils::GetDataFolder() { return CurrentPaths().forecastFolder; }

std::wstring FileUtils::GetDownloaderPath() { return CurrentPaths().downloader; }

void FileUtils::EnsureDataFolder() {
    const ob::kernel::AppPaths paths = CurrentPaths();
    if (paths.installed)
        ob::kernel::EnsureFolder(paths.forecastFolder, true);
}
std::wstring FileUtils::GetHtmlFolder() { return Join(GetWeatherFolder(), L"html"); }

const wchar_t* FileUtils::ImagesFolderName(int width, int height) {
    if (width > 320 && height > 320)
        return L"images_3";
    if (width > 239 && height > 239)
        return L"images_2";
    return L"images_1";
}

std::wstring FileUtils::GetImagesFolder() {
    const auto [width, height] = g_provider->GetScreenDimensions();
    return Join(GetWeatherFolder(), ImagesFolderName(width, height));
}

void FileUtils::OverrideExeFolder(const std::wstring& exeFolder) {
    std::lock_guard lock(g_mutex);
    if (exeFolder.empty()) {
        g_exeFolder.reset();
        g_overrideFolder.reset();
    } else {
        g_exeFolder = exeFolder;
        g_overrideFolder = exeFolder;
    }
}

}  // namespace OBWeather
