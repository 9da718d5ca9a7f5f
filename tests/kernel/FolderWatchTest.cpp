#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/kernel/FolderWatch.h"
#include "support/TempFolder.h"

using namespace ob::kernel;
using ob::test::TestFolder;

namespace {
// Collects the changes that arrive within a bounded wait.
std::vector<std::pair<std::uint32_t, std::wstring>> Collect(FolderWatch& watch, int firstWaitMs = 2000) {
    std::vector<std::pair<std::uint32_t, std::wstring>> out;
    while (watch.WaitForChanges(out.empty() ? firstWaitMs : 50)) {
        for (FileChangeNotification* block : watch.ReadChanges()) {
            out.emplace_back(block->info.eventId, block->info.item1);
            FreeChangeNotification(block);
        }
    }
    return out;
}
}  // namespace

TEST(FolderWatch, ReportsCreatedRewrittenAndRenamedFiles) {
    TestFolder dir;
    FolderWatch watch;
    EXPECT_FALSE(watch.Start(dir.WFile("missing"), kChangeAllEvents, false));
    ASSERT_TRUE(watch.Start(dir.WPath(), kChangeCreate | kChangeUpdateItem, false));
    EXPECT_FALSE(watch.WaitForChanges(0));

    dir.Write("f_1.xml", "a");
    auto changes = Collect(watch);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0], std::make_pair(kChangeCreate, dir.WFile("f_1.xml")));
    EXPECT_EQ(changes[1], std::make_pair(kChangeUpdateItem, dir.WFile("f_1.xml")));

    dir.Write("f_1.xml", "rewritten");
    changes = Collect(watch);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].first, kChangeUpdateItem);

    // The atomic replacement: written elsewhere, renamed in.
    TestFolder other;
    other.Write("tmp", "x");
    std::filesystem::rename(other.File("tmp"), dir.File("f_2.xml"));
    changes = Collect(watch);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(kChangeCreate, dir.WFile("f_2.xml")));

    // Events outside the mask stay silent.
    std::filesystem::remove(dir.File("f_2.xml"));
    EXPECT_TRUE(Collect(watch, 100).empty());
    watch.Stop();
    EXPECT_FALSE(watch.IsActive());
}

TEST(FolderWatch, RenamesDeletesAndSubfolders) {
    TestFolder dir;
    FolderWatch watch;
    std::filesystem::create_directory(dir.File("sub"));
    ASSERT_TRUE(watch.Start(dir.WPath(), kChangeAllEvents, true));
    dir.Write("a", "1");
    Collect(watch);
    std::filesystem::rename(dir.File("a"), dir.File("b"));
    auto changes = Collect(watch);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(kChangeRenameItem, dir.WFile("b")));
    std::filesystem::remove(dir.File("b"));
    changes = Collect(watch);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].first, kChangeDelete);

    dir.Write("sub/deep", "1");  // recursive: the subfolder is watched too
    changes = Collect(watch);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes[0], std::make_pair(kChangeCreate, dir.WFile("sub/deep")));
    std::filesystem::create_directory(dir.File("late"));
    Collect(watch);
    dir.Write("late/x", "1");  // a subfolder made after the start is watched as well
    changes = Collect(watch);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes[0].second, dir.WFile("late/x"));
}
