#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/kernel/NamedEvent.h"
#include "support/TempFolder.h"
#include "support/Wait.h"
#include "weather/DownloaderControl.h"
#include "weather/FileUtils.h"

using namespace OBWeather;
using ob::kernel::NamedEvent;
using ob::kernel::NamedLivenessLock;
using ob::test::TestFolder;

namespace {

struct FixedScreen : FileUtils::ScreenDimensionProvider {
    std::pair<int, int> size;
    std::pair<int, int> GetScreenDimensions() override { return size; }
};

// Events in a scope of this test process, removed afterwards.
class DownloaderControlTest : public testing::Test {
protected:
    void SetUp() override {
        m_saved = ob::kernel::NamedObjectScope();
        ob::kernel::SetNamedObjectScope("dltest" + std::to_string(::getpid()));
        ReleaseDownloaderEvents();
    }
    void TearDown() override {
        ReleaseDownloaderEvents();
        for (auto name : {kStartStopEventName, kGetNowEventName, kBusyEventName})
            NamedEvent::Remove(name);
        ob::kernel::SetNamedObjectScope(m_saved);
        FileUtils::OverrideExeFolder(L"");
    }
    std::string m_saved;
};

}  // namespace

TEST(FileUtils, IconSetFollowsScreenSizeAndFoldersFollowTheExecutable) {
    FixedScreen screen;
    FileUtils::SetScreenDimensionProvider(&screen);
    const std::pair<std::pair<int, int>, std::wstring> cases[] = {
        {{240, 320}, L"images_2"}, {{320, 240}, L"images_2"}, {{480, 640}, L"images_3"},
        {{640, 480}, L"images_3"}, {{320, 320}, L"images_2"}, {{176, 220}, L"images_1"},
        {{239, 320}, L"images_1"}, {{321, 321}, L"images_3"}};
    FileUtils::OverrideExeFolder(L"/opt/App");
    for (const auto& [size, folder] : cases) {
        screen.size = size;
        EXPECT_EQ(FileUtils::GetImagesFolder(), L"/opt/App/weather/" + folder)
            << size.first << "x" << size.second;
    }
    FileUtils::SetScreenDimensionProvider(nullptr);
    FileUtils::SystemScreenDimensionProvider::SetScreenSize(480, 640);
    EXPECT_EQ(FileUtils::GetImagesFolder(), L"/opt/App/weather/images_3");
    FileUtils::SystemScreenDimensionProvider::SetScreenSize(240, 320);
    EXPECT_EQ(FileUtils::GetDataFolder(), L"/opt/App/weather/data");
    EXPECT_EQ(FileUtils::GetHtmlFolder(), L"/opt/App/weather/html");
    FileUtils::OverrideExeFolder(L"");
    const std::wstring real = FileUtils::GetExeFolder();
    EXPECT_EQ(ob::kernel::ToUtf8(real), std::string(ORBELLINE_TEST_BIN_DIR));
    EXPECT_EQ(FileUtils::GetWeatherFolder(), real + L"/weather");
}

TEST_F(DownloaderControlTest, WithoutDownloaderNothingIsBusyAndRequestsStillSucceed) {
    EXPECT_FALSE(IsDownloaderBusy());
    EXPECT_TRUE(RequestUpdateNow());
    auto getNow = NamedEvent::Open(kGetNowEventName, NamedEvent::Kind::AutoReset);
    ASSERT_TRUE(getNow);
    EXPECT_TRUE(getNow->Wait(0));  // the request waits for the downloader
    StopDownloader();              // no stop event: nothing happens
    EXPECT_FALSE(NamedEvent::Open(kStartStopEventName, NamedEvent::Kind::ManualReset));
    // None was running, and none could be started in its place: that is said.
    EXPECT_EQ(DownloaderProblem(), L"the downloader cannot be started");

    // A picture of the program asks nothing of any downloader.
    SetDownloaderSignalling(false);
    EXPECT_FALSE(RequestUpdateNow());
    EXPECT_FALSE(getNow->Wait(0));
    ReleaseDownloaderEvents();
}

TEST_F(DownloaderControlTest, BusyNeedsTheEventAndALiveDownloader) {
    auto busy = NamedEvent::Create(kBusyEventName, NamedEvent::Kind::ManualReset, false);
    ASSERT_TRUE(busy);
    busy->Set();
    // A killed downloader left its busy event set: not busy.
    EXPECT_FALSE(IsDownloaderBusy());
    auto running = NamedLivenessLock::Acquire(kDownloaderRunningLockName);
    ASSERT_TRUE(running);
    EXPECT_TRUE(IsDownloaderBusy());
    EXPECT_TRUE(IsDownloaderBusy());  // looking does not clear it
    busy->Reset();
    EXPECT_FALSE(IsDownloaderBusy());

    auto stop = NamedEvent::Create(kStartStopEventName, NamedEvent::Kind::ManualReset, false);
    StopDownloader();
    EXPECT_TRUE(stop->IsSet());
}

TEST_F(DownloaderControlTest, LaunchStartsTheDownloaderBesideTheExecutable) {
    TestFolder app;
    FileUtils::OverrideExeFolder(app.WPath());
    EXPECT_FALSE(LaunchDownloader());
    app.Write("ForecastPumpCF", "#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
    ::chmod(app.File("ForecastPumpCF").c_str(), 0755);
    EXPECT_TRUE(LaunchDownloader());
    ob::test::WaitUntil([&] { return std::filesystem::exists(app.File("started")); }, 5000);
    EXPECT_TRUE(std::filesystem::exists(app.File("started")));
}
