// The window's options are taken out of the command line before its modes
// are read: what they take, what they leave, and what they refuse.
#include <gtest/gtest.h>

#include "cli/WindowOptions.h"

using ob::cli::TakeWindowOptions;
using ob::cli::WindowOptions;

namespace {

struct Taken {
    bool ok = false;
    WindowOptions options;
    std::vector<std::string> rest;
    std::string error;
};

Taken Take(std::vector<std::string> args) {
    Taken t;
    t.ok = TakeWindowOptions(args, t.options, t.error);
    t.rest = args;
    return t;
}

}  // namespace

TEST(WindowOptions, TakeTheirOwnWithAtAndLeaveTheModesAlone) {
    Taken t = Take({"--headless", "--screenshot", "a.png", "--view", "planner", "--dialog", "cities", "--tap",
                    "12,34", "--tap", "0,0", "--select", "2", "--screen", "480x640", "--at",
                    "2026-12-09T12:00:00Z"});
    ASSERT_TRUE(t.ok) << t.error;
    EXPECT_TRUE(t.rest.empty());
    EXPECT_TRUE(t.options.used && t.options.headless && t.options.screenGiven && t.options.hasAt);
    EXPECT_EQ(t.options.screenshot, "a.png");
    EXPECT_EQ(t.options.view, 1);
    ASSERT_NE(t.options.dialog, nullptr);
    EXPECT_EQ(std::string(t.options.dialog->name), "cities");
    ASSERT_EQ(t.options.taps.size(), 2u);
    EXPECT_EQ(t.options.taps[0].x, 12);
    EXPECT_EQ(t.options.taps[0].y, 34);
    EXPECT_EQ(t.options.select, 2);
    EXPECT_EQ(t.options.screen.width, 480);

    // Without a window option, --at and the modes stay for the command line.
    t = Take({"--clock", "--at", "2026-12-09T12:00:00Z"});
    ASSERT_TRUE(t.ok) << t.error;
    EXPECT_FALSE(t.options.used || t.options.hasAt);
    EXPECT_EQ(t.rest, (std::vector<std::string>{"--clock", "--at", "2026-12-09T12:00:00Z"}));
}

TEST(WindowOptions, RefuseBadValuesAndWhatDoesNotGoWithThem) {
    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"--headless", "--screenshot", "--view", "map"}, "--screenshot needs a value"},
        {{"--headless", "--screenshot", "a.png", "--view", "globe"}, "unknown view 'globe'"},
        {{"--headless", "--screenshot", "a.png", "--dialog", "nowhere"}, "unknown dialog 'nowhere' (cities"},
        {{"--headless", "--screenshot", "a.png", "--tap", "-1,5"}, "bad tap '-1,5'"},
        {{"--headless", "--screenshot", "a.png", "--tap", "1,5x"}, "bad tap '1,5x'"},
        {{"--headless", "--screenshot", "a.png", "--select", "12345"}, "bad row '12345'"},
        {{"--screen", "100x100"}, "bad screen '100x100'"},
        {{"--screen", "480x640", "--at", "noon"}, "--at needs a time"},
        {{"--screen", "480x640", "--clock"}, "'--clock' does not go with the window's options"},
        {{"--screenshot", "a.png"}, "--headless and --screenshot go together"},
        {{"--headless"}, "--headless and --screenshot go together"},
    };
    for (const auto& [args, message] : refused) {
        const Taken t = Take(args);
        EXPECT_FALSE(t.ok) << message;
        EXPECT_EQ(t.error.rfind(message, 0), 0u) << t.error;
    }
}
