#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/kernel/WideText.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/win/WindowSystem.h"
#include "wnd/NotifyWindowHost.h"
#include "support/TempFolder.h"

namespace {

struct Sink : ZEP_IO::IFileSystemEventSink {
    void OnFileSystemEvent(const ob::kernel::FileChangeInfo& change) override {
        items.push_back(change.item1);
    }
    std::vector<std::wstring> items;
};

}  // namespace

TEST(NotifyWindowHost, ChangesArriveThroughTheMessageLoopUntilTheWatcherStops) {
    ob::ui::testing::UiDriver ui;
    ZEP_Wnd::NotifyWindowHost host;
    ZEP_IO::SetNotifyWindowHost(&host);
    const ob::test::TestFolder temp;
    const std::filesystem::path& folder = temp.Path();

    Sink sink;
    {
        ZEP_IO::FileSystemWatcher watcher(&sink);
        ASSERT_TRUE(watcher.Start(0x2002, ob::kernel::FromUtf8(folder.string()), false));
        EXPECT_EQ(host.GetWindowCount(), 1u);
        std::ofstream(folder / "f_292.xml") << "<obWeather/>";
        ob::ui::WaitForWork(2000);  // the loop wakes for the pending change
        ui.RunUntilIdle();
        ASSERT_FALSE(sink.items.empty());
        EXPECT_NE(sink.items.back().find(L"f_292.xml"), std::wstring::npos);

        // Changes still queued when the watcher stops are dropped with its window.
        std::ofstream(folder / "f_84.xml") << "<obWeather/>";
        ob::ui::WaitForWork(2000);
        const size_t seen = sink.items.size();
        watcher.Stop();
        EXPECT_EQ(host.GetWindowCount(), 0u);
        ui.RunUntilIdle();
        EXPECT_EQ(sink.items.size(), seen);
    }
    ZEP_IO::SetNotifyWindowHost(nullptr);
}
