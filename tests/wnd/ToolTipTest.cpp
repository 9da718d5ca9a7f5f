#include <gtest/gtest.h>

#include "platform/ui/testing/UiDriver.h"
#include "wnd/ToolTip.h"

using namespace ZEP_Wnd;
using ob::ui::testing::UiDriver;

namespace {

RECT WorkArea() {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

}  // namespace

TEST(ToolTip, OpensBelowWhenThereIsRoomAndRightOfNothingLeftOfTheAnchor) {
    UiDriver ui;
    ToolTip tip;
    ASSERT_TRUE(tip.Create(nullptr, ToolTip::SingleLine));
    const RECT anchor{100, 60, 120, 80};
    tip.ShowAt(anchor, L"Nearer city");
    ASSERT_TRUE(IsWindowVisible(tip.GetHandle()));
    const RECT placed = tip.GetPlacedRect();
    EXPECT_FALSE(tip.IsAbove());
    EXPECT_EQ(placed.top, anchor.bottom);
    EXPECT_EQ(placed.right, anchor.left) << "it ends where the anchor begins";
    RECT window;
    GetWindowRect(tip.GetHandle(), &window);
    EXPECT_TRUE(EqualRect(&window, &placed));

    tip.ShowAt(anchor, L"");  // nothing to say: nothing shown
    EXPECT_FALSE(IsWindowVisible(tip.GetHandle()));
    tip.Destroy();
}

TEST(ToolTip, NearTheBottomItOpensAboveAndSlidesUpwardsThenHidesItself) {
    UiDriver ui;
    const RECT work = WorkArea();
    ToolTip tip;
    ASSERT_TRUE(tip.Create(nullptr, ToolTip::SingleLine | ToolTip::Slide | ToolTip::AutoHide, 2000));
    const RECT anchor{150, work.bottom - 20, 170, work.bottom - 4};
    tip.ShowAt(anchor, L"Display next city info");
    ASSERT_TRUE(tip.IsAbove());
    const RECT placed = tip.GetPlacedRect();
    EXPECT_EQ(placed.bottom, anchor.top);
    EXPECT_GE(placed.top, work.top);
    EXPECT_LE(placed.right, work.right);

    // Every step keeps the bottom edge at the anchor and grows upwards.
    int lastHeight = 0;
    for (int step = 1; step <= ToolTip::kSteps; ++step) {
        ui.Advance(ToolTip::kStepMs);
        RECT now;
        GetWindowRect(tip.GetHandle(), &now);
        EXPECT_EQ(now.bottom, anchor.top) << "step " << step;
        EXPECT_GE(now.bottom - now.top, lastHeight);
        lastHeight = now.bottom - now.top;
    }
    EXPECT_EQ(lastHeight, placed.bottom - placed.top);
    ui.Advance(ToolTip::kStepMs);
    EXPECT_TRUE(IsWindowVisible(tip.GetHandle())) << "shown in full until the delay runs out";
    ui.Advance(2000);
    ui.Advance(ToolTip::kStepMs * (ToolTip::kSteps + 1));
    EXPECT_FALSE(IsWindowVisible(tip.GetHandle())) << "slid away after the auto-hide delay";
    tip.Destroy();
}

TEST(ToolTip, AutoHideDefaultsToTenSecondsAndAlignsRightWhenAsked) {
    UiDriver ui;
    const RECT work = WorkArea();
    ToolTip tip;
    ASSERT_TRUE(tip.Create(nullptr, ToolTip::AutoHide | ToolTip::AlignWorkAreaRight | ToolTip::SingleLine));
    EXPECT_EQ(tip.GetAutoHideDelay(), 10000u);
    tip.ShowAt(RECT{10, 10, 20, 20}, L"Tip");
    EXPECT_EQ(tip.GetPlacedRect().right, work.right);
    ui.Advance(9900);
    EXPECT_TRUE(IsWindowVisible(tip.GetHandle()));
    ui.Advance(200);
    EXPECT_FALSE(IsWindowVisible(tip.GetHandle()));
    tip.Destroy();
}
