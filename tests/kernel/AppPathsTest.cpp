// Where the program and the downloader look for their files, portable and
// installed, decided from a folder tree made for each case.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/kernel/AppPaths.h"
#include "platform/kernel/WideText.h"
#include "support/TempFolder.h"

namespace {

using ob::kernel::AppPaths;
using ob::kernel::FromUtf8;
using ob::kernel::ResolveAppPaths;

class AppPathsTest : public ::testing::Test {
protected:
    AppPaths Resolve(const std::string& exeFolder) {
        return ResolveAppPaths(FromUtf8(exeFolder), [this](const char* name) -> const char* {
            const auto found = m_environment.find(name);
            return found == m_environment.end() ? nullptr : found->second.c_str();
        });
    }
    std::wstring W(const std::string& path) { return FromUtf8(m_root + path); }

    const ob::test::TestFolder m_folder;
    const std::string m_root = m_folder.Path().string();
    std::map<std::string, std::string> m_environment;
};

TEST_F(AppPathsTest, AnAppFolderWithItsContentKeepsEverythingBesideTheExecutable) {
    std::filesystem::create_directories(m_root + "/app/weather/html");
    // Even inside something that looks like an installation, content beside
    // the executable wins.
    std::filesystem::create_directories(m_root + "/share/orbelline/weather/html");
    const AppPaths paths = Resolve(m_root + "/app");
    EXPECT_FALSE(paths.installed);
    EXPECT_EQ(paths.contentFolder, W("/app"));
    EXPECT_EQ(paths.settingsFile, W("/app/settings.csv"));
    EXPECT_EQ(paths.forecastFolder, W("/app/weather/data"));
    EXPECT_EQ(paths.logFolder, W("/app/weather"));
    EXPECT_EQ(paths.downloader, W("/app/ForecastPumpCF"));

    // A folder with no content anywhere stays portable, as it always was.
    EXPECT_FALSE(Resolve(m_root + "/app/sub").installed);
    EXPECT_EQ(Resolve(m_root + "/app/sub").settingsFile, W("/app/sub/settings.csv"));
}

TEST_F(AppPathsTest, TheInstalledProgramAndDownloaderAgreeOnTheUsersFolders) {
    std::filesystem::create_directories(m_root + "/usr/share/orbelline/weather/html");
    m_environment["HOME"] = m_root + "/home";
    m_environment["XDG_CACHE_HOME"] = m_root + "/cache";
    m_environment["XDG_STATE_HOME"] = "relative/ignored";

    const AppPaths program = Resolve(m_root + "/usr/bin");
    const AppPaths downloader = Resolve(m_root + "/usr/lib/orbelline");
    for (const AppPaths& paths : {program, downloader}) {
        EXPECT_TRUE(paths.installed);
        EXPECT_EQ(paths.contentFolder, W("/usr/share/orbelline"));
        EXPECT_EQ(paths.settingsFile, W("/home/.config/orbelline/settings.csv"));
        EXPECT_EQ(paths.forecastFolder, W("/cache/orbelline/weather/data"));
        EXPECT_EQ(paths.logFolder, W("/home/.local/state/orbelline"));
        EXPECT_EQ(paths.downloader, W("/usr/lib/orbelline/ForecastPumpCF"));
    }
}

TEST_F(AppPathsTest, FoldersAreMadeWithTheirParentsAndPrivateWhenAsked) {
    const std::wstring folder = W("/a/b/c");
    ASSERT_TRUE(ob::kernel::EnsureFolder(folder, true));
    EXPECT_TRUE(ob::kernel::EnsureFolder(folder, true));  // already there
    struct stat info {};
    ASSERT_EQ(::stat((m_root + "/a/b/c").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((m_root + "/a").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    // A file in the way is not a folder.
    std::FILE* file = std::fopen((m_root + "/file").c_str(), "w");
    std::fclose(file);
    EXPECT_FALSE(ob::kernel::EnsureFolder(W("/file"), true));
    EXPECT_FALSE(ob::kernel::EnsureFolder(W("/file/below"), true));
}

}  // namespace
