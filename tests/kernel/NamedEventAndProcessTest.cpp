#include <gtest/gtest.h>

#include <fcntl.h>
#include <semaphore.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/NamedEvent.h"
#include "platform/kernel/Process.h"
#include "support/TempFolder.h"
#include "support/Wait.h"

using namespace ob::kernel;
using ob::test::TestFolder;

namespace {
// Each test uses names of its own so that parallel runs never meet.
std::wstring UniqueName(const char* what) {
    return L"OBTEST_" + FromUtf8(what) + L"_" + std::to_wstring(::getpid());
}
}  // namespace

TEST(NamedEvent, AutoResetWakesOneWaitAndDoesNotAccumulate) {
    const auto name = UniqueName("auto");
    auto event = NamedEvent::Create(name, NamedEvent::Kind::AutoReset, false);
    ASSERT_TRUE(event);
    auto other = NamedEvent::Create(name, NamedEvent::Kind::AutoReset, true);  // obtains the existing one
    ASSERT_TRUE(other);
    EXPECT_FALSE(other->IsSet());  // an existing event keeps its state
    EXPECT_FALSE(event->Wait(0));
    EXPECT_TRUE(event->Set());
    EXPECT_TRUE(other->Set());
    EXPECT_TRUE(event->Set());
    EXPECT_TRUE(other->IsSet());
    EXPECT_TRUE(other->Wait(10));
    EXPECT_FALSE(event->Wait(0));   // three sets, one wake-up
    EXPECT_FALSE(event->Wait(20));  // a bounded wait on an unset event times out
    NamedEvent::Remove(name);
}

TEST(NamedEvent, ManualResetStaysSetUntilResetAndIsPrivate) {
    const auto name = UniqueName("manual");
    EXPECT_FALSE(NamedEvent::Open(name, NamedEvent::Kind::ManualReset));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    auto event = NamedEvent::Create(name, NamedEvent::Kind::ManualReset, true);
    ASSERT_TRUE(event);
    auto opened = NamedEvent::Open(name, NamedEvent::Kind::ManualReset);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(opened->Wait(0));
    EXPECT_TRUE(opened->Wait(kInfinite));
    EXPECT_TRUE(event->IsSet());
    EXPECT_TRUE(event->Reset());
    EXPECT_FALSE(opened->IsSet());
    EXPECT_FALSE(opened->Wait(0));

    // Only the user may use it: the system object carries mode 0600 and the user's id.
    bool checked = false;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm")) {
        const std::string file = entry.path().filename().string();
        if (file.find(ToUtf8(name)) == std::string::npos)
            continue;
        EXPECT_NE(file.find(std::to_string(::getuid())), std::string::npos);
        struct stat st {};
        ASSERT_EQ(::stat(entry.path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 077, 0u);
        checked = true;
    }
    EXPECT_TRUE(checked);
    EXPECT_TRUE(NamedEvent::Remove(name));
    EXPECT_FALSE(NamedEvent::Open(name, NamedEvent::Kind::ManualReset));
}

TEST(NamedEvent, ScopesKeepEventsApart) {
    const auto name = UniqueName("scope");
    const std::string saved = NamedObjectScope();
    SetNamedObjectScope("one/..");  // unsafe characters are dropped
    EXPECT_EQ(NamedObjectScope(), "one");
    auto one = NamedEvent::Create(name, NamedEvent::Kind::ManualReset, true);
    SetNamedObjectScope("two");
    EXPECT_FALSE(NamedEvent::Open(name, NamedEvent::Kind::ManualReset));
    SetNamedObjectScope("one");
    NamedEvent::Remove(name);
    SetNamedObjectScope(saved);
}

// The semaphore file under /dev/shm that holds `name`, or an empty path.
std::filesystem::path SemaphoreFile(const std::wstring& name) {
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm"))
        if (entry.path().filename().string().find(ToUtf8(name) + ".") != std::string::npos)
            return entry.path();
    return {};
}

TEST(NamedEvent, NamesCannotBeGuessedAndSemaphoresOthersCouldUseAreNever) {
    const auto name = UniqueName("squat");
    // The name another user could predict (our name and id) is no longer ours.
    const std::string guessed = "/" + ToUtf8(name) + "." + std::to_string(::getuid());
    sem_t* squatter = ::sem_open(guessed.c_str(), O_CREAT, 0644, 0);
    ASSERT_NE(squatter, SEM_FAILED);
    auto event = NamedEvent::Create(name, NamedEvent::Kind::ManualReset, false);
    ASSERT_TRUE(event);
    ::sem_close(squatter);
    ::sem_unlink(guessed.c_str());
    const std::filesystem::path file = SemaphoreFile(name);
    ASSERT_FALSE(file.empty());
    std::ifstream in(PrivateRuntimeFolder() + "/orbelline-events.token");  // ours alone to read
    std::string token;
    in >> token;
    ASSERT_EQ(token.size(), 32u);
    EXPECT_NE(file.filename().string().find(token), std::string::npos);

    // One of ours left open to others is made anew, private.
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    event = NamedEvent::Create(name, NamedEvent::Kind::ManualReset, false);
    ASSERT_TRUE(event);
    struct stat st {};
    ASSERT_EQ(::stat(SemaphoreFile(name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    // One that belongs to someone else is never used.
    if (::geteuid() == 0 && ::chown(SemaphoreFile(name).c_str(), 4321, 4321) == 0) {
        EXPECT_FALSE(NamedEvent::Create(name, NamedEvent::Kind::ManualReset, false));
        EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    }
    NamedEvent::Remove(name);
}

TEST(NamedLivenessLock, EachDataFolderHasItsOwn) {
    const auto name = UniqueName("folder");
    const std::string saved = NamedObjectScope();
    SetNamedObjectScope("");
    SetNamedObjectFolder(L"/copies/one/weather/data");
    auto one = NamedLivenessLock::Acquire(name);
    ASSERT_TRUE(one);
    SetNamedObjectFolder(L"/copies/two/weather/data");
    EXPECT_FALSE(NamedLivenessLock::IsHeld(name));
    EXPECT_TRUE(NamedLivenessLock::Acquire(name));
    SetNamedObjectFolder(L"/copies/one/weather/data");
    EXPECT_TRUE(NamedLivenessLock::IsHeld(name));
    SetNamedObjectFolder(L"");
    SetNamedObjectScope(saved);
}

TEST(NamedLivenessLock, HeldWhileAliveAndFreedWhenTheHolderDies) {
    const auto name = UniqueName("alive");
    EXPECT_FALSE(NamedLivenessLock::IsHeld(name));
    {
        auto lock = NamedLivenessLock::Acquire(name);
        ASSERT_TRUE(lock);
        EXPECT_TRUE(NamedLivenessLock::IsHeld(name));
        EXPECT_FALSE(NamedLivenessLock::Acquire(name));  // one holder at a time
        EXPECT_TRUE(NamedLivenessLock::IsHeld(name));    // looking never takes it
    }
    EXPECT_FALSE(NamedLivenessLock::IsHeld(name));

    // A holder killed without any clean-up leaves the lock free.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        auto lock = NamedLivenessLock::Acquire(name);
        char c = lock ? '1' : '0';
        [[maybe_unused]] auto n = ::write(ready[1], &c, 1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_EQ(c, '1');
    EXPECT_TRUE(NamedLivenessLock::IsHeld(name));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(NamedLivenessLock::IsHeld(name));
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(Process, StartsDetachedAndReportsMissingPrograms) {
    TestFolder dir;
    EXPECT_FALSE(StartDetachedProcess(dir.WFile("missing")));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    dir.Write("plain", "not a program");
    EXPECT_FALSE(StartDetachedProcess(dir.WFile("plain")));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);

    // A script that leaves a mark, proving it ran with its arguments and
    // without our files: the descriptor we hold open must be closed there.
    const auto script = dir.Write(
        "prog.sh",
        "#!/bin/sh\nls -l /proc/$$/fd > \"$1.fds\"\necho \"$2\" > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"\n");
    ::chmod(dir.File("prog.sh").c_str(), 0755);
    FileHandle held = OpenFile(dir.WFile("held"), kGenericWrite, 0, Creation::CreateAlways);
    ASSERT_TRUE(StartDetachedProcess(script, {dir.WFile("mark"), L"arg two"}));
    CloseFile(held);
    // Bounded poll: the detached program finishes on its own.
    ob::test::WaitUntil([&] { return std::filesystem::exists(dir.File("mark")); }, 5000);
    EXPECT_EQ(dir.Read("mark"), "arg two\n");
    const std::string fds = dir.Read("mark.fds");
    EXPECT_NE(fds.find("null"), std::string::npos);
    EXPECT_EQ(fds.find("held"), std::string::npos);
}

TEST(NamedEvent, SignalsReachAnotherProcess) {
    const auto name = UniqueName("xproc");
    auto event = NamedEvent::Create(name, NamedEvent::Kind::AutoReset, false);
    ASSERT_TRUE(event);
    const pid_t child = ::fork();
    if (child == 0) {
        auto mine = NamedEvent::Open(name, NamedEvent::Kind::AutoReset);
        // One set wakes exactly one wait; the second wait times out.
        const bool woke = mine && mine->Wait(5000);
        const bool again = mine && mine->Wait(50);
        ::_exit(woke && !again ? 0 : 1);
    }
    event->Set();
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    NamedEvent::Remove(name);
}

TEST(FileApi, SharingHoldsAcrossProcesses) {
    TestFolder dir;
    const auto path = dir.Write("x", "data");
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        FileHandle h = OpenFile(path, kGenericRead, 0, Creation::OpenExisting);
        char c = h != kInvalidFile ? '1' : '0';
        [[maybe_unused]] auto n = ::write(ready[1], &c, 1);
        n = ::read(done[0], &c, 1);  // hold the file until the parent has tried
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, '1');
    EXPECT_EQ(OpenFile(path, kGenericRead, kShareRead | kShareWrite, Creation::OpenExisting), kInvalidFile);
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    [[maybe_unused]] auto n = ::write(done[1], "x", 1);
    ::waitpid(child, nullptr, 0);
    FileHandle after = OpenFile(path, kGenericRead, kShareRead, Creation::OpenExisting);
    EXPECT_NE(after, kInvalidFile);  // the holder ended: the file is free
    CloseFile(after);
    for (int fd : {ready[0], ready[1], done[0], done[1]})
        ::close(fd);
}
