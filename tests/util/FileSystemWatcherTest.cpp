#include <gtest/gtest.h>

#include <filesystem>

#include "util/FileSystemWatcher.h"
#include "util/PollingNotifyWindowHost.h"
#include "support/TempFolder.h"

using namespace ZEP_IO;
using ob::test::TestFolder;

namespace {

struct RecordingSink : IFileSystemEventSink {
    std::vector<std::pair<std::uint32_t, std::wstring>> events;
    void OnFileSystemEvent(const ob::kernel::FileChangeInfo& change) override {
        events.emplace_back(change.eventId, change.item1);
    }
};

// Delivers what arrives within a bounded wait, then returns.
void PumpUntilQuiet(PollingNotifyWindowHost& host) {
    if (host.Pump(2000) > 0)
        while (host.Pump(50) > 0) {
        }
}

class WatcherTest : public testing::Test {
protected:
    void SetUp() override { SetNotifyWindowHost(&m_host); }
    void TearDown() override { SetNotifyWindowHost(nullptr); }
    PollingNotifyWindowHost m_host;
};

}  // namespace

TEST_F(WatcherTest, ReportsFilesCreatedRewrittenAndRenamedIntoTheFolder) {
    TestFolder data;
    TestFolder elsewhere;
    RecordingSink sink;
    FileSystemWatcher watcher(&sink);
    ASSERT_TRUE(
        watcher.Start(ob::kernel::kChangeCreate | ob::kernel::kChangeUpdateItem, data.WPath(), false));
    EXPECT_EQ(m_host.GetWindowCount(), 1);

    data.Write("f_1.xml", "<obWeather/>");
    PumpUntilQuiet(m_host);
    data.Write("f_1.xml", "<obWeather></obWeather>");
    PumpUntilQuiet(m_host);
    elsewhere.Write("new", "x");
    std::filesystem::rename(elsewhere.File("new"), data.File("f_2.xml"));
    PumpUntilQuiet(m_host);
    using P = std::pair<std::uint32_t, std::wstring>;
    EXPECT_EQ(sink.events, (std::vector<P>{{ob::kernel::kChangeCreate, data.WFile("f_1.xml")},
                                           {ob::kernel::kChangeUpdateItem, data.WFile("f_1.xml")},
                                           {ob::kernel::kChangeUpdateItem, data.WFile("f_1.xml")},
                                           {ob::kernel::kChangeCreate, data.WFile("f_2.xml")}}));

    // Started again while registered: the same window and descriptor, one registration.
    const int fd = m_host.GetLastWindow()->GetWatch().Fd();
    ASSERT_TRUE(watcher.Start(ob::kernel::kChangeCreate, data.WPath(), false));
    EXPECT_EQ(m_host.GetLastWindow()->GetWatch().Fd(), fd);
    EXPECT_EQ(m_host.GetWindowCount(), 1);
    sink.events.clear();
    data.Write("f_3.xml", "x");
    PumpUntilQuiet(m_host);
    EXPECT_EQ(sink.events, (std::vector<P>{{ob::kernel::kChangeCreate, data.WFile("f_3.xml")}}));

    watcher.Stop();
    EXPECT_FALSE(watcher.IsRegistered());
    EXPECT_EQ(m_host.GetWindowCount(), 0);
    data.Write("f_4.xml", "x");
    EXPECT_EQ(m_host.Pump(50), 0);
    watcher.Stop();
}

TEST_F(WatcherTest, FailsQuietlyAndIgnoresOtherMessages) {
    TestFolder data;
    RecordingSink sink;
    FileSystemWatcher watcher(&sink);
    EXPECT_FALSE(watcher.Start(ob::kernel::kChangeCreate, data.WFile("missing"), false));
    EXPECT_FALSE(watcher.IsRegistered());
    EXPECT_EQ(m_host.GetWindowCount(), 0);
    SetNotifyWindowHost(nullptr);
    FileSystemWatcher hostless(&sink);
    EXPECT_FALSE(hostless.Start(ob::kernel::kChangeCreate, data.WPath(), false));
    SetNotifyWindowHost(&m_host);

    // The window answers only the change message, and frees its block.
    FileSystemWatcher::NotifyMessageWindow window(&watcher);
    bool handled = true;
    window.OnMessage(0x0010, 0, 0, handled);
    EXPECT_FALSE(handled);
    auto* block = new ob::kernel::FileChangeNotification;
    block->info.eventId = ob::kernel::kChangeCreate;
    block->info.item1 = L"/x";
    EXPECT_EQ(window.OnMessage(ob::kernel::kChangeNotifyMessage, 0, reinterpret_cast<std::intptr_t>(block),
                               handled),
              0);
    EXPECT_TRUE(handled);
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0].second, L"/x");
    // A watcher without a sink swallows changes.
    FileSystemWatcher silent(nullptr);
    FileSystemWatcher::NotifyMessageWindow silentWindow(&silent);
    silentWindow.OnMessage(ob::kernel::kChangeNotifyMessage, 0,
                           reinterpret_cast<std::intptr_t>(new ob::kernel::FileChangeNotification), handled);
    EXPECT_TRUE(handled);
}
