// A save killed at any moment leaves the old file or the new one, whole, and
// the next save leaves nothing else beside it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "model/Settings.h"
#include "support/TempFolder.h"
#include "platform/kernel/FileApi.h"

using ZEP_Utility::Settings;

namespace {

Settings Sample(const std::wstring& cities, wchar_t fill) {
    Settings s;
    s.SetString(L"cities", cities);
    s.SetInt(L"units", 1);
    // Enough text that a write takes a while and can be cut in the middle.
    for (int i = 0; i < 40; ++i)
        s.SetString(L"key" + std::to_wstring(i), std::wstring(1000, fill));
    return s;
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// Kills a process saving `oldOne` and `newOne` in turn through `save` a
// thousand times at random moments; after each kill the file is one of the
// two, whole, and after the next save nothing else is beside it.
void KillSavesAtRandom(const std::function<bool(const Settings&, const std::wstring&)>& save) {
    // In memory where the system has it: a kill tests the order of the steps,
    // not the disk, and a thousand of them must not wait on fsync.
    const char* tmp = std::getenv("TMPDIR");
    const std::string savedTmp = tmp ? tmp : "";
    if (std::filesystem::is_directory("/dev/shm"))
        ::setenv("TMPDIR", "/dev/shm", 1);
    ob::test::TestFolder dir;
    if (tmp)
        ::setenv("TMPDIR", savedTmp.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    const std::string path = dir.File("settings.csv");
    const Settings oldOne = Sample(L"234;292", L'a');
    const Settings newOne = Sample(L"414;198;234", L'b');
    const std::string oldText = oldOne.GetFileText(), newText = newOne.GetFileText();
    ASSERT_TRUE(save(oldOne, dir.WFile("settings.csv")));

    std::mt19937 random(18);  // fixed: a failure can be run again
    int killedWithATemporaryFile = 0;
    constexpr int kKills = 1000;
    for (int kill = 0; kill < kKills; ++kill) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            for (int n = 0;; ++n) {
                save(n % 2 ? oldOne : newOne, dir.WFile("settings.csv"));
                if (n == 0 && ::write(ready[1], "!", 1) != 1)
                    ::_exit(1);
            }
        }
        ::close(ready[1]);
        char c;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);  // the child is saving
        ::close(ready[0]);
        // A moment somewhere within the next few saves.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        const std::string text = ob::test::ReadBytes(path);
        ASSERT_TRUE(text == oldText || text == newText) << "kill " << kill << ": " << text.size() << " bytes";
        if (FolderEntries(dir.Path()).size() != 1)
            ++killedWithATemporaryFile;
        // The next start reads it and saves: only the settings file is left.
        Settings next;
        ASSERT_TRUE(next.Load(dir.WFile("settings.csv")));
        ASSERT_TRUE(save(next, dir.WFile("settings.csv")));
        ASSERT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"settings.csv"}) << "kill " << kill;
    }
    std::printf("%d kills, %d of them while a temporary file existed\n", kKills, killedWithATemporaryFile);
}

}  // namespace

TEST(SettingsCrash, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole) {
    KillSavesAtRandom([](const Settings& s, const std::wstring& path) { return s.Save(path); });
}

TEST(SettingsCrash, AnAtomicWriteKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole) {
    KillSavesAtRandom([](const Settings& s, const std::wstring& path) {
        return ob::kernel::WriteFileAtomically(path, s.GetFileText());
    });
}
