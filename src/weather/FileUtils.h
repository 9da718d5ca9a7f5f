// The program's weather folders beside the executable, and the choice of icon
// set by screen size.
#pragma once

#include <string>
#include <utility>

namespace OBWeather {

class FileUtils {
public:
    // Where the icon set choice learns the screen size. Replaceable, for
    // example under test.
    class ScreenDimensionProvider {
    public:
        virtual ~ScreenDimensionProvider() = default;
        virtual std::pair<int, int> GetScreenDimensions() = 0;  // (width, height) in pixels
    };

    // The screen the program runs on. The display layer tells it the size at
    // start-up (SetScreenSize); until then it answers the device's portrait
    // QVGA screen, 240 x 320.
    class SystemScreenDimensionProvider : public ScreenDimensionProvider {
    public:
        std::pair<int, int> GetScreenDimensions() override;
        static void SetScreenSize(int width, int height);
    };

    static void SetScreenDimensionProvider(ScreenDimensionProvider* provider);  // null: the system's
    static ScreenDimensionProvider* GetScreenDimensionProvider();

    // Folders, each without a trailing slash.
    static std::wstring GetExeFolder();  // the running executable's folder, kept for the process
    // The weather content (html, icon sets): beside the executable, or the
    // installation's shared folder.
    static std::wstring GetWeatherFolder();
    static std::wstring GetDataFolder();      // forecast files: beside the content, or the user's cache
    static std::wstring GetDownloaderPath();  // the downloader executable
    // An installed program's forecast folder is made, private to the user,
    // before it is watched; the downloader may not have run yet.
    static void EnsureDataFolder();
    static std::wstring GetHtmlFolder();    // page templates
    static std::wstring GetImagesFolder();  // the icon set for the screen, chosen on every call
    // "images_1", "images_2" or "images_3" for a screen of that size.
    static const wchar_t* ImagesFolderName(int width, int height);

    // Test hook: the folders as if the executable lived in `exeFolder`
    // (empty: the real one again).
    static void OverrideExeFolder(const std::wstring& exeFolder);
};

}  // namespace OBWeather
