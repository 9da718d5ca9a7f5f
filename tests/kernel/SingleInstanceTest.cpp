#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/kernel/NamedEvent.h"
#include "platform/kernel/SingleInstance.h"

using ob::kernel::SingleInstance;

TEST(SingleInstance, SecondAcquireFailsAndKnocksReachTheFirst) {
    ob::kernel::SetNamedObjectScope("single-instance-test");
    const std::wstring name = L"/opt/orbelline/orbelline";
    auto first = SingleInstance::Acquire(name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(SingleInstance::Acquire(name), nullptr);
    EXPECT_NE(SingleInstance::Acquire(L"/elsewhere/orbelline"), nullptr);  // another copy is another program

    EXPECT_FALSE(first->TakeKnocks());
    ASSERT_TRUE(SingleInstance::Knock(name));
    pollfd p{first->KnockFd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    EXPECT_TRUE(first->TakeKnocks());
    EXPECT_FALSE(first->TakeKnocks());

    first.reset();  // the lock goes with its holder; nobody answers a knock any more
    EXPECT_FALSE(SingleInstance::Knock(name));
    EXPECT_NE(SingleInstance::Acquire(name), nullptr);
    ob::kernel::SetNamedObjectScope("");
}

TEST(RuntimeFolder, OnlyAPrivateFolderOfOurOwnIsUsed) {
    char pattern[] = "/tmp/orbelline-runtime-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    ob::kernel::SetNamedObjectScope("runtime-folder-test");

    EXPECT_EQ(ob::kernel::PrivateRuntimeFolder(), folder);
    EXPECT_EQ(ob::kernel::RuntimeFolderProblem(), "");

    // Open to others: refused, and no lock can be had in it.
    ::chmod(folder.c_str(), 0777);
    EXPECT_EQ(ob::kernel::PrivateRuntimeFolder(), "");
    EXPECT_NE(ob::kernel::RuntimeFolderProblem().find("has mode 0777, not 0700"), std::string::npos);
    EXPECT_EQ(SingleInstance::Acquire(L"/opt/orbelline/orbelline"), nullptr);
    EXPECT_EQ(ob::kernel::NamedLivenessLock::Acquire(L"RUNTIME_TEST"), nullptr);
    ::chmod(folder.c_str(), 0700);

    // Another user's folder (only root can hand one over to test this).
    if (::getuid() == 0 && ::chown(folder.c_str(), 65534, 65534) == 0) {
        EXPECT_NE(ob::kernel::RuntimeFolderProblem().find("belongs to another user (uid 65534)"),
                  std::string::npos);
        EXPECT_EQ(ob::kernel::PrivateRuntimeFolder(), "");
        ASSERT_EQ(::chown(folder.c_str(), 0, 0), 0);
    }

    // A link, even to a good folder, is refused.
    const std::string link = folder + "-link";
    ASSERT_EQ(::symlink(folder.c_str(), link.c_str()), 0);
    ::setenv("XDG_RUNTIME_DIR", link.c_str(), 1);
    EXPECT_NE(ob::kernel::RuntimeFolderProblem().find("is a symbolic link"), std::string::npos);
    ::unlink(link.c_str());

    // Lock files are never opened through a planted link.
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    auto lock = ob::kernel::NamedLivenessLock::Acquire(L"RUNTIME_TEST");
    ASSERT_NE(lock, nullptr);
    lock.reset();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::filesystem::remove(entry.path());
        std::filesystem::create_symlink(folder + "/target", entry.path());
    }
    EXPECT_EQ(ob::kernel::NamedLivenessLock::Acquire(L"RUNTIME_TEST"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder + "/target"));

    std::filesystem::remove_all(folder);
    if (old)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
    ob::kernel::SetNamedObjectScope("");
}
