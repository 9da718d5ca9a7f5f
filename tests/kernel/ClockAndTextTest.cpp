#include <gtest/gtest.h>

#include "platform/kernel/Clock.h"
#include "platform/kernel/ExecutablePath.h"
#include "platform/kernel/WideText.h"

using namespace ob::kernel;

TEST(Clock, VirtualClockMovesOnlyWhenAdvancedAndDrivesTickCount) {
    const Ticks start = 128464128000000000LL;  // 2008-01-15 00:00 UTC
    UseVirtualClock(start);
    EXPECT_TRUE(IsVirtualClock());
    EXPECT_EQ(UtcNowTicks(), start);
    const auto t0 = TickCountMs();
    AdvanceVirtualClock(1500 * kTicksPerMillisecond);
    EXPECT_EQ(UtcNowTicks(), start + 15'000'000);
    EXPECT_EQ(TickCountMs() - t0, 1500u);
    AdvanceVirtualClock(-5);  // the clock never runs backwards
    EXPECT_EQ(UtcNowTicks(), start + 15'000'000);
    SetClockOverride(start, false);
    EXPECT_FALSE(IsVirtualClock());
    EXPECT_EQ(UtcNowTicks(), start);
    ClearClockOverride();
    EXPECT_GT(UtcNowTicks(), start);
}

TEST(WideText, RoundTripsAndReplacesInvalidBytes) {
    const std::wstring text = L"S\u00e3o Paulo \u6771\u4eac \U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(FromUtf8("a\xff"
                       "b"),
              L"a\xFFFD"
              L"b");
    EXPECT_EQ(FromUtf8("\xC0\xAF"), L"\xFFFD\xFFFD");  // overlong slash
    EXPECT_EQ(FromUtf8("\xE2\x82"), L"\xFFFD");        // truncated at the end
}

TEST(ExecutablePath, NamesTheRunningTestBinary) {
    const std::wstring path = ExecutablePath();
    EXPECT_NE(path.find(L"kernel_tests"), std::wstring::npos);
    EXPECT_EQ(path.substr(0, ExecutableFolder().size()), ExecutableFolder());
}
