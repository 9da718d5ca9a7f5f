// The time planner: the panel above the list, the instant it chooses on the
// home clock, its buttons, slider and date picker by pen and by keys, and
// screenshots at both densities in both orientations.
#include "tests/app/ShellFixture.h"

#include "platform/kernel/Clock.h"
#include "platform/kernel/WideText.h"
#include "platform/ui/display/Display.h"

namespace shelltest {
namespace {

using ob::ui::testing::UiDriver;
using ZEP_Utility::DateTime;

class Planner : public ::testing::Test, public ShellFixture {
protected:
    // Starts with `cities` at the UTC instant `now` and opens the planner.
    void Open(const char* cities, const DateTime& now) {
        ob::kernel::UseVirtualClock(static_cast<ob::kernel::Ticks>(now.GetTicks()));
        WriteSettings(std::string("cities,") + cities + "\r\n");
        ASSERT_TRUE(Start());
        Command(kCmdViewPlanner);
        panel = View().GetPanel();
        ASSERT_NE(panel, nullptr);
    }
    TimePlannerListView& View() { return Main()->GetPlannerView(); }
    OBControls::CityGroupInfoList& List() { return View().GetInfoList(); }
    HWND Item(int id) const { return ::GetDlgItem(panel->GetHandle(), id); }
    void Press(HWND control, UINT key) {
        ::SetFocus(control);
        ui.Key(key);
        ui.RunUntilIdle();
    }
    // The instant shown is the picker's date at the slider's quarter hour, here on a home clock at UTC+0.
    void ExpectAtSlider(int year, int month, int day) {
        const int p = panel->GetSliderPosition();
        EXPECT_EQ(panel->GetInstant(), DateTime(year, month, day, p / 4, p % 4 * 15, 0)) << "slider " << p;
        EXPECT_EQ(List().GetTime(), panel->GetInstant());
    }

    TimePlannerDialog* panel = nullptr;
};

TEST_F(Planner, OpensAtNoonOfTheHomeDateLaysOutAndNeverFollowsTheClock) {
    // 23:30 UTC on 10 July is 09:30 on 11 July in Sydney (UTC+10 in winter).
    Open("414;234", DateTime(2026, 7, 10, 23, 30, 0));
    EXPECT_EQ(panel->GetSliderPosition(), 48);
    EXPECT_EQ(panel->GetDatePicker().GetTime().GetDay(), 11);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 7, 11, 2, 0, 0));
    EXPECT_EQ(List().GetTime(), panel->GetInstant());
    EXPECT_EQ(List().GetFlags(), 3u) << "one-line rows with separators while the extra line is off";

    // The panel sits above the list, just below its date group, and is
    // shown only while the planner is.
    EXPECT_TRUE(panel->IsVisible());
    const RECT panelRect = panel->GetWindowRect(), listRect = List().GetWindowRect();
    RECT dateGroup{};
    ::GetWindowRect(Item(TimePlannerDialog::kDateGroupId), &dateGroup);
    EXPECT_EQ(panelRect.bottom, dateGroup.bottom + 4);
    EXPECT_EQ(listRect.top, panelRect.bottom);
    EXPECT_EQ(panelRect.right - panelRect.left, View().GetClientRect().right);

    // Minutes pass; the view's timer keeps running and moves nothing.
    ui.Advance(3 * 60 * 1000);
    EXPECT_TRUE(View().IsTimerRunning());
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 7, 11, 2, 0, 0));
    EXPECT_EQ(List().GetTime(), panel->GetInstant());

    // "Now" at 14:37 home time: the quarter hour before, position 58.
    ob::kernel::AdvanceVirtualClock(
        static_cast<ob::kernel::Ticks>(
            (DateTime(2026, 7, 11, 4, 37, 0) - DateTime::UtcNow()).GetTotalSeconds()) *
        ob::kernel::kTicksPerSecond);
    ui.Tap(Item(TimePlannerDialog::kNowId));
    EXPECT_EQ(panel->GetSliderPosition(), 58);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 7, 11, 4, 30, 0));

    Command(kCmdViewMap);
    EXPECT_FALSE(panel->IsVisible());
    Command(kCmdViewPlanner);
    EXPECT_TRUE(panel->IsVisible());
    EXPECT_EQ(List().GetTime(), DateTime(2026, 7, 11, 4, 30, 0)) << "activation keeps the chosen instant";

    GetAppSettings().SetPlannerViewExtraInfo(true);
    View().ApplySettings();
    EXPECT_EQ(List().GetFlags(), 1u);
    GetAppSettings().SetPlannerViewExtraInfo(false);
    View().ApplySettings();
    EXPECT_EQ(List().GetFlags(), 3u);
}

TEST_F(Planner, ButtonsSliderKeysAndDatePickerOnAChangeDay) {
    // London, whose clock skips 01:00 to 02:00 on 29 March 2026.
    Open("234;292", DateTime(2026, 3, 29, 9, 0, 0));
    const HWND slider = panel->GetSlider().GetHandle(), picker = panel->GetDatePicker().GetHandle();
    ui.Tap(Item(TimePlannerDialog::kLaterId));
    EXPECT_EQ(panel->GetSliderPosition(), 49);
    ui.Tap(Item(TimePlannerDialog::kEarlierId));
    ui.Tap(Item(TimePlannerDialog::kEarlierId));
    EXPECT_EQ(panel->GetSliderPosition(), 47);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 3, 29, 10, 45, 0));

    // Home goes to 00:00, which is still winter time: the first half hour
    // reads with its own offset, not with midday's.
    Press(slider, VK_HOME);
    EXPECT_EQ(panel->GetSliderPosition(), 0);
    ExpectAtSlider(2026, 3, 29);
    ui.Tap(Item(TimePlannerDialog::kEarlierId));
    EXPECT_EQ(panel->GetSliderPosition(), 0);
    Press(slider, VK_RIGHT);
    Press(slider, VK_RIGHT);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 3, 29, 0, 30, 0));
    // 01:30 does not occur; it moves on to 02:30 summer time, 01:30 UTC.
    Press(slider, VK_DOWN);
    Press(slider, VK_DOWN);
    Press(slider, VK_DOWN);
    Press(slider, VK_DOWN);
    EXPECT_EQ(panel->GetSliderPosition(), 6);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 3, 29, 1, 30, 0));
    EXPECT_EQ(List().GetCityAt(0)->GetLocalTime(panel->GetInstant()), DateTime(2026, 3, 29, 2, 30, 0));
    Press(slider, VK_NEXT);
    EXPECT_GT(panel->GetSliderPosition(), 6);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 3, 29, panel->GetSliderPosition() / 4 - 1,
                                            panel->GetSliderPosition() % 4 * 15, 0));
    Press(slider, VK_END);
    EXPECT_EQ(panel->GetSliderPosition(), 95);
    ui.Tap(Item(TimePlannerDialog::kLaterId));
    EXPECT_EQ(panel->GetSliderPosition(), 95);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 3, 29, 22, 45, 0));

    // The picker by keys: its first field steps the month, to winter time
    // again in February (the day stays, clipped to the month's last).
    Press(picker, VK_DOWN);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 2, 28, 23, 45, 0));
    Press(picker, VK_RIGHT);  // on to the day
    Press(picker, VK_UP);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 2, 1, 23, 45, 0)) << "the day wraps within its month";
    Press(slider, VK_PRIOR);
    ExpectAtSlider(2026, 2, 1);
}

TEST_F(Planner, AnEmptyGroupChangesNothingAndANewHomeReadsTheSameClockTime) {
    Open("234;414", DateTime(2026, 1, 15, 9, 0, 0));
    const DateTime noon(2026, 1, 15, 12, 0, 0);
    Group().Assign(OBData::CityGroup());
    View().SaveCities();
    for (int id : {TimePlannerDialog::kLaterId, TimePlannerDialog::kEarlierId, TimePlannerDialog::kNowId})
        ui.Tap(Item(id));
    Press(panel->GetSlider().GetHandle(), VK_END);
    Press(panel->GetDatePicker().GetHandle(), VK_UP);
    EXPECT_EQ(panel->GetInstant(), noon);
    EXPECT_EQ(List().GetTime(), noon);

    // Sydney becomes home: the slider (moved to 23:45 meanwhile) and the
    // picker (moved to 15 February) are read on Sydney's clock, UTC+11.
    OBData::CityGroup sydney;
    sydney.Parse(L"414;234");
    Group().Assign(sydney);
    View().SaveCities();
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 2, 15, 12, 45, 0));
    EXPECT_EQ(List().GetTime(), panel->GetInstant());
}

TEST_F(Planner, TheKeysReachThePanelFromTheListAndGoBack) {
    Open("234;292;414", DateTime(2026, 1, 15, 9, 0, 0));
    const HWND list = List().GetHandle(), slider = panel->GetSlider().GetHandle();
    ::SetFocus(list);
    ui.Key(VK_TAB);
    EXPECT_EQ(::GetFocus(), Item(TimePlannerDialog::kEarlierId));
    ui.Key(VK_TAB);
    EXPECT_EQ(::GetFocus(), slider);
    ui.Key(VK_RIGHT);
    EXPECT_EQ(panel->GetInstant(), DateTime(2026, 1, 15, 12, 15, 0));
    for (int id : {TimePlannerDialog::kLaterId, TimePlannerDialog::kDateId, TimePlannerDialog::kNowId}) {
        ui.Key(VK_TAB);
        EXPECT_EQ(::GetFocus(), Item(id));
    }
    ui.Key(VK_TAB);
    EXPECT_EQ(::GetFocus(), list) << "past the last control, back to the list";
    ob::ui::InjectKey(VK_SHIFT, true);
    ui.Key(VK_TAB);
    ob::ui::InjectKey(VK_SHIFT, false);
    ui.RunUntilIdle();
    EXPECT_EQ(::GetFocus(), Item(TimePlannerDialog::kNowId));

    // Up from the second row selects the first; only the next Up leaves the list.
    ::SetFocus(list);
    List().SelectRow(1);
    ui.Key(VK_DOWN);
    ui.Key(VK_UP);
    ui.Key(VK_UP);
    EXPECT_EQ(List().GetSelectedRow(), 0);
    EXPECT_EQ(::GetFocus(), list);
    ui.Key(VK_UP);
    EXPECT_EQ(::GetFocus(), slider);
}

// The planner with twelve cities on every screen, one-line and two-line
// rows, and with the date picker's calendar open, to look at.
class PlannerScreens : public ::testing::TestWithParam<std::string> {};

TEST_P(PlannerScreens, TwelveCitiesOneAndTwoLinesAndTheCalendar) {
    const std::string screen = GetParam();
    for (const bool twoLines : {false, true}) {
        ShellFixture shell(screen);
        ob::kernel::UseVirtualClock(
            static_cast<ob::kernel::Ticks>(DateTime(2026, 9, 30, 10, 37, 0).GetTicks()));
        shell.WriteSettings(std::string("cities,234;292;414;316;429;237;59;278;393;33;354;351\r\n") +
                            "plannerview_extrainfo," + (twoLines ? "1" : "0") + "\r\n");
        ASSERT_TRUE(shell.Start());
        shell.Command(kCmdViewPlanner);
        TimePlannerDialog* panel = shell.Main()->GetPlannerView().GetPanel();
        const std::string name = "planner_" + std::string(twoLines ? "two" : "one") + "_line_" + screen;
        shell.ui.Screenshot(UiDriver::OutputPath(name + ".png"));

        // Every control lies inside the panel; the hour labels sit under the
        // slider's ends and middle.
        const RECT area = panel->GetWindowRect();
        for (HWND child = ::GetWindow(panel->GetHandle(), GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT r{};
            ::GetWindowRect(child, &r);
            EXPECT_TRUE(r.left >= area.left && r.right <= area.right && r.top >= area.top &&
                        r.bottom <= area.bottom)
                << ob::kernel::ToUtf8(std::wstring(L"control ") + std::to_wstring(::GetDlgCtrlID(child)));
        }
        // The panel's groups span the screen's width, however wide.
        RECT group{};
        ::GetWindowRect(::GetDlgItem(panel->GetHandle(), TimePlannerDialog::kTimeGroupId), &group);
        EXPECT_GE(group.right, area.right - (area.right - area.left) / 20);
        const HWND slider = panel->GetSlider().GetHandle();
        int label = 0;
        for (HWND child = ::GetWindow(panel->GetHandle(), GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[16] = {};
            ::GetWindowText(child, text, 16);
            if (std::wstring(text) != L"00:00" && std::wstring(text) != L"12:00")
                continue;
            const int positions[] = {0, 48, 95};
            ::SendMessage(slider, TBM_SETPOS, FALSE, positions[label++]);
            RECT thumb{}, slid{}, r{};
            ::SendMessage(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
            ::GetWindowRect(slider, &slid);
            ::GetWindowRect(child, &r);
            const int thumbCentre = slid.left + (thumb.left + thumb.right) / 2;
            EXPECT_NEAR((r.left + r.right) / 2, thumbCentre, (r.right - r.left) / 3)
                << ob::kernel::ToUtf8(text);
        }
        EXPECT_EQ(label, 3);
        ::SendMessage(slider, TBM_SETPOS, TRUE, panel->GetSliderPosition());

        if (!twoLines) {
            // The calendar drops down from the picker's button.
            RECT picker = panel->GetDatePicker().GetWindowRect();
            shell.ui.Tap(POINT{picker.right - 3, (picker.top + picker.bottom) / 2});
            EXPECT_NE(shell.ui.FindByClass(L"ob_MonthCalendar"), nullptr);
            shell.ui.Screenshot(UiDriver::OutputPath("planner_calendar_" + screen + ".png"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, PlannerScreens,
                         ::testing::Values("240x320", "480x640", "320x240", "640x480", "1200x900@192"));

TEST_F(Planner, RowsAreTintedByTheirCitysHoursAndASkippedOrRepeatedHomeTimeIsFlagged) {
    // 9 December, London home. At 15:00 London and New York (10:00) work and
    // Tokyo (00:00) sleeps; they never all work at once.
    Open("234;292;429", DateTime(2026, 12, 9, 8, 0, 0));
    panel->ApplySlider(60, true);
    ui.RunUntilIdle();
    const auto rowColour = [&](int row) {
        const RECT r = List().GetRowRect(row);
        POINT at{(r.left + r.right) / 2, r.bottom - 2};  // between the name and the time
        ::ClientToScreen(List().GetHandle(), &at);
        return ui.Pixel(at.x, at.y);
    };
    using OBControls::CityGroupInfoList;
    using OBData::DayPart;
    EXPECT_EQ(rowColour(0),
              CityGroupInfoList::TintColour(DayPart::Work, true, ::GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(rowColour(1), CityGroupInfoList::TintColour(DayPart::Work, false, 0));
    EXPECT_EQ(rowColour(2), CityGroupInfoList::TintColour(DayPart::Night, false, 0));
    panel->ApplySlider(31, true);  // 07:45: London and New York (02:45) night, Tokyo 16:45 at work
    ui.RunUntilIdle();
    EXPECT_EQ(rowColour(1), CityGroupInfoList::TintColour(DayPart::Night, false, 0));
    EXPECT_EQ(rowColour(2), CityGroupInfoList::TintColour(DayPart::Work, false, 0));
    for (bool marked : panel->GetWorkingHoursStrip().GetQuarters())
        ASSERT_FALSE(marked);

    // London's clock skips 01:00 to 02:00 on 28 March 2027 and shows 01:00
    // to 02:00 twice on 31 October.
    const auto title = [&] { return panel->GetDlgItemText(TimePlannerDialog::kTimeGroupId); };
    EXPECT_EQ(title(), L"Time");
    panel->ShowHomeDate(DateTime(2027, 3, 28, 12, 0, 0));
    panel->ApplySlider(6, true);
    EXPECT_EQ(title(), L"Time: 1:30 AM is skipped");
    panel->ShowHomeDate(DateTime(2027, 10, 31, 12, 0, 0));
    panel->ApplySlider(5, true);
    EXPECT_EQ(title(), L"Time: 1:15 AM comes twice");
    EXPECT_EQ(panel->GetInstant(), DateTime(2027, 10, 31, 0, 15, 0)) << "the first of the two";
    panel->ApplySlider(8, true);
    EXPECT_EQ(title(), L"Time");
}

TEST_F(Planner, CopyPutsTheListOnTheClipboardAsTheCommandLinePrintsIt) {
    Open("234;292;429", DateTime(2026, 12, 9, 8, 0, 0));
    const std::string table =
        "City           Country         Date            Time     Summer  Offset from home  Dial      "
        "Distance  "
        "Sunrise  Sunset   Airport\n"
        "London (home)  United Kingdom  Wed 2026-12-09  8:00 AM  No      none              0 207             "
        "  "
        "7:52 AM  3:53 PM  LHR\n"
        "New York; NY   United States   Wed 2026-12-09  3:00 AM  No      5 hours behind    00 1 212  5,568 "
        "KM  "
        "7:07 AM  4:29 PM  JFK\n"
        "Tokyo          Japan           Wed 2026-12-09  5:00 PM  No      9 hours ahead     00 81 3   9,549 "
        "KM  "
        "6:38 AM  4:28 PM  HND\n";
    // The planner at 08:00 on the home clock, headed by it: --home-time 2026-12-09T08:00.
    panel->ApplySlider(32, true);
    ob::ui::SetClipboardText(L"");
    ui.SetMessageFilter([this](MSG& msg) { return app && app->PreTranslateMessage(msg); });
    ui.KeyWith(VK_CONTROL, 'C');
    ui.RunUntilIdle();
    EXPECT_EQ(ob::kernel::ToUtf8(ob::ui::GetClipboardText()),
              "Planned for 8:00 AM Wed 2026-12-09 in London\n" + table);
    // The map view at the clock's instant: --clock --at 2026-12-09T08:00:00Z.
    Command(kCmdViewMap);
    Command(OBControls::kCmdCopy);
    EXPECT_EQ(ob::kernel::ToUtf8(ob::ui::GetClipboardText()), table);
}

}  // namespace
}  // namespace shelltest
