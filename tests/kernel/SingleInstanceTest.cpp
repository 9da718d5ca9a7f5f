#include <gtest/gtest.h>
#include <poll.h>

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
