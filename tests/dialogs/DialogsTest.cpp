// The city information, nearby cities, options and change fields dialogs,
// opened the way the user opens them and driven through the real controls.
#include "tests/app/ShellFixture.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "data/ReferenceLookup.h"
#include "dialogs/AdjustCityGroupInfoListFieldsDialog.h"
#include "dialogs/CityInfoDialogBase.h"
#include "dialogs/NearbyCitiesDialog.h"
#include "dialogs/ListDialogLayout.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/SelectHomeCityDialog.h"
#include "geo/NearestCities.h"
#include "wnd/Library.h"

namespace shelltest {
namespace {

using namespace OBControls;
using ob::ui::testing::UiDriver;

constexpr int kLondon = 234, kNewYork = 292, kKathmandu = 198;
const char* kThreeCities = "cities,234;292;198\r\ntab,0\r\n";

template <class D>
D* DialogObject(HWND hwnd) {
    return dynamic_cast<D*>(ZEP_Wnd::GetWindowManager()->Find(hwnd));
}

std::size_t Count(const std::wstring& text, const std::wstring& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// The lines after the "Nearby Cities" heading.
std::size_t NearbyLines(const std::wstring& page) {
    const auto heading = page.find(L"<B>Nearby Cities</B>");
    return heading == std::wstring::npos ? 0 : Count(page.substr(heading), L"<BR>") - 1;
}

// A point on a list view row: its picture or its text, in screen coordinates.
POINT RowPoint(HWND list, int row, int part = LVIR_LABEL) {
    RECT r{};
    r.left = part;
    ::SendMessage(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(list, &p);
    return p;
}

bool IsEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

class Dialogs : public ::testing::Test, public ShellFixture {
protected:
    // Runs `open`, which shows a modal dialog, and `step` on that dialog
    // while it waits; `step` ends it.
    void WithDialog(const std::function<void()>& open, const std::function<void(HWND)>& step) {
        bool ran = false;
        ui.WhenIdle([&] {
            ran = true;
            step(::GetActiveWindow());
        });
        open();
        ui.RunUntilIdle();
        EXPECT_TRUE(ran);
        EXPECT_FALSE(ui.PendingIdleSteps());
    }
    void Close(HWND dialog, int id) { ::PostMessage(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); }

    // The page the information dialog shows for a row of the active view.
    std::wstring InfoPage(int row) {
        ActiveList()->SelectRow(row);
        std::wstring page;
        WithDialog([&] { Command(kCmdCityInformation); },
                   [&](HWND dialog) {
                       if (auto* info = DialogObject<CityInfoDialogBase>(dialog))
                           page = info->GetPage();
                       wchar_t title[64] = {};
                       ::GetWindowText(dialog, title, 64);
                       infoTitle = title;
                       Close(dialog, IDOK);
                   });
        return page;
    }
    std::wstring infoTitle;  // the information dialog's title at the last InfoPage
};

TEST_F(Dialogs, InformationDescribesTheSelectedCityAgainstHomeWithTheStoredNearbyCount) {
    WriteSettings(kThreeCities);
    ASSERT_TRUE(Start());
    const std::wstring home = InfoPage(0);
    EXPECT_NE(home.find(L"<B>London, United Kingdom</B>"), std::wstring::npos);
    for (const wchar_t* line : {L"Distance from", L"Offset from", L"To call"})
        EXPECT_EQ(home.find(line), std::wstring::npos) << line;
    EXPECT_NE(home.find(L"Cars drive on: Left</SMALL><BR><BR><SMALL><B>Nearby Cities"), std::wstring::npos);
    // Twenty others: London itself is among the nearest and skipped.
    EXPECT_EQ(NearbyLines(home), 20u);
    EXPECT_EQ(home.find(L"<SMALL>London: "), std::wstring::npos);

    const std::wstring away = InfoPage(2);
    EXPECT_NE(away.find(L"<B>Kathmandu, Nepal</B>"), std::wstring::npos) << away;
    EXPECT_EQ(infoTitle, L"Kathmandu");
    EXPECT_NE(away.find(L"<SMALL>Local time: "), std::wstring::npos);
    EXPECT_NE(away.find(L" (5 hours 45 mins ahead of London)</SMALL>"), std::wstring::npos) << away;
    EXPECT_NE(away.find(L"DST: no daylight savings time"), std::wstring::npos);
    EXPECT_NE(away.find(L"<B>Distance from London:</B>"), std::wstring::npos);
    EXPECT_NE(away.find(L"<B>To call London:</B>"), std::wstring::npos);

    // The count changed in the nearby dialog is the page's count too.
    NearbySettings nearby = GetAppSettings().GetNearby();
    nearby.cityCount = 5;
    GetAppSettings().SetNearby(nearby);
    EXPECT_EQ(NearbyLines(InfoPage(1)), 5u);
}

TEST_F(Dialogs, NearbyListsByCountOrRadiusAndUpdateStoresANewCountOnly) {
    WriteSettings(kThreeCities);
    ASSERT_TRUE(Start());
    const OBData::Position centre = OBData::GetCity(kLondon)->GetPosition();
    std::vector<OBData::NearestCity> nearest;
    OBData::FindNearestCities(centre, nearest);
    std::vector<OBData::City*> chosen;
    auto run = [&](const std::function<void(HWND, NearbyCitiesDialog&)>& step) {
        NearbyCitiesDialog dialog(centre, Main()->GetHandle());
        const INT_PTR result = [&] {
            INT_PTR r = 0;
            WithDialog([&] { r = dialog.DoModal(); }, [&](HWND hwnd) { step(hwnd, dialog); });
            return r;
        }();
        dialog.GetChosenCities(chosen);
        return result;
    };

    run([&](HWND hwnd, NearbyCitiesDialog& dialog) {
        ZEP_Wnd::ListCtrl& list = dialog.GetList();
        EXPECT_EQ(list.GetItemCount(), 20);  // the centre and its 19 nearest
        EXPECT_EQ(list.GetItemText(0), L"London; United Kingdom");
        EXPECT_EQ(dialog.GetDlgItemText(NearbyCitiesDialog::kCountId), L"20");
        EXPECT_TRUE(IsEnabled(hwnd, NearbyCitiesDialog::kUpdateId));
        EXPECT_FALSE(IsEnabled(hwnd, IDOK));
        // Empty and 0 grey Update; the same count changes nothing.
        ui.Tap(dialog.GetDlgItem(NearbyCitiesDialog::kCountId));
        PressKey(VK_END);
        PressKey(VK_BACK);
        PressKey(VK_BACK);
        ui.RunUntilIdle();
        EXPECT_FALSE(IsEnabled(hwnd, NearbyCitiesDialog::kUpdateId));
        ui.Type(L"0");
        ui.RunUntilIdle();
        EXPECT_FALSE(IsEnabled(hwnd, NearbyCitiesDialog::kUpdateId));
        PressKey(VK_BACK);
        ui.Type(L"x5");  // digits only
        ui.RunUntilIdle();
        EXPECT_EQ(dialog.GetDlgItemText(NearbyCitiesDialog::kCountId), L"5");
        ui.Tap(dialog.GetDlgItem(NearbyCitiesDialog::kUpdateId));
        ui.RunUntilIdle();
        EXPECT_EQ(list.GetItemCount(), 5);
        // Two rows picked, the lower one first: Add gives them in list order.
        ui.Tap(RowPoint(list.GetHandle(), 3));
        list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        ui.RunUntilIdle();
        EXPECT_TRUE(IsEnabled(hwnd, IDOK));
        ui.Tap(dialog.GetDlgItem(IDOK));
    });
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0]->GetId(), nearest[1].cityId);
    EXPECT_EQ(chosen[1]->GetId(), nearest[3].cityId);
    EXPECT_EQ(GetAppSettings().GetNearby().cityCount, 5);

    // The next opening starts from 5; "Update" with 5 again leaves the list.
    EXPECT_EQ(run([&](HWND, NearbyCitiesDialog& dialog) {
                  EXPECT_EQ(dialog.GetDlgItemText(NearbyCitiesDialog::kCountId), L"5");
                  EXPECT_EQ(dialog.GetList().GetItemCount(), 5);
                  ui.Tap(dialog.GetDlgItem(IDCANCEL));
              }),
              IDCANCEL);
    EXPECT_TRUE(chosen.empty());
    Exit();
    EXPECT_EQ(StoredValue("nearby_citycount"), "5");

    // By radius the count is ignored; a city exactly on the radius is listed.
    ASSERT_TRUE(Start());
    const double edge = nearest[6].distance.InUnits(OBData::kKilometres);
    for (const auto& [radius, rows] : {std::pair{edge, 7}, std::pair{edge - 0.1, 6}}) {
        GetAppSettings().SetNearby(NearbySettings{true, 2, radius});
        run([&](HWND hwnd, NearbyCitiesDialog& dialog) {
            EXPECT_EQ(dialog.GetList().GetItemCount(), rows);
            EXPECT_EQ(dialog.GetDlgItemText(NearbyCitiesDialog::kCountId), L"2");
            Close(hwnd, IDCANCEL);
        });
    }
}

TEST_F(Dialogs, MapBarOpensTheInformationAndTheNearbyCitiesOfItsCity) {
    WriteSettings("cities,292\r\ntab,0\r\n");
    ASSERT_TRUE(Start());
    MapView& map = Main()->GetMapView();
    // A tap near London on the map (the whole world, equirectangular) names a city in the bar.
    const OBData::Position london = OBData::GetCity(kLondon)->GetPosition();
    const RECT area = map.GetMapControl()->GetClientRect();
    POINT at{static_cast<LONG>((london.GetLongitude() + 180.0) / 360.0 * area.right),
             static_cast<LONG>((90.0 - london.GetLatitude()) / 180.0 * area.bottom)};
    ::ClientToScreen(map.GetMapControl()->GetHandle(), &at);
    ui.Tap(at);
    ui.RunUntilIdle();
    const OBData::City* named = map.GetInfoBar().GetCurrentCity();
    ASSERT_NE(named, nullptr);

    std::wstring page;
    WithDialog([&] { ui.Tap(map.GetInfoBar().GetButton(NearestCityInfoBar::kInfoButton).GetHandle()); },
               [&](HWND dialog) {
                   if (auto* info = DialogObject<CityInfoDialogBase>(dialog))
                       page = info->GetPage();
                   Close(dialog, IDOK);
               });
    EXPECT_NE(page.find(L"<B>" + named->GetDisplayName() + L", United Kingdom</B>"), std::wstring::npos)
        << page;
    EXPECT_NE(page.find(L"<B>Distance from New York; NY:</B>"), std::wstring::npos) << page;

    std::vector<std::wstring> picked;
    WithDialog([&] { ui.Tap(map.GetInfoBar().GetButton(NearestCityInfoBar::kNearbyButton).GetHandle()); },
               [&](HWND hwnd) {
                   auto* dialog = DialogObject<NearbyCitiesDialog>(hwnd);
                   ASSERT_NE(dialog, nullptr);
                   for (int row : {0, 2}) {
                       dialog->GetList().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
                       picked.push_back(dialog->GetList().GetItemText(row));
                   }
                   ui.Tap(::GetDlgItem(hwnd, IDOK));
               });
    ASSERT_EQ(Group().GetCount(), 3);
    EXPECT_EQ(picked[0].rfind(NameAt(1) + L"; ", 0), 0u);
    EXPECT_EQ(picked[1].rfind(NameAt(2) + L"; ", 0), 0u);
    EXPECT_EQ(StoredValue("cities"), "292;" + std::to_string(named->GetId()) + ";" +
                                         std::to_string(Group().GetCities()[2]->GetId()));
}

TEST_F(Dialogs, OptionsShowStoredValuesAndOkStoresThemAllAndEveryViewApplies) {
    WriteSettings(std::string(kThreeCities) + "loglevel,5\r\nunits,7\r\nshadow,0\r\nweatherusephone,1\r\n");
    ASSERT_TRUE(Start());
    // The hidden views start with nothing to repaint.
    for (BaseView* view : Main()->GetViews())
        ::ValidateRect(dynamic_cast<CityGroupListView*>(view)->GetListControl()->GetHandle(), nullptr);
    WithDialog([&] { Command(kCmdOptions); },
               [&](HWND dialog) {
                   auto text = [&](int id) {
                       const int sel = static_cast<int>(::SendDlgItemMessage(dialog, id, CB_GETCURSEL, 0, 0));
                       std::vector<wchar_t> buffer(64, L'\0');
                       ::SendDlgItemMessage(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(sel),
                                            reinterpret_cast<LPARAM>(buffer.data()));
                       return std::wstring(buffer.data());
                   };
                   EXPECT_EQ(text(1034), L"Critical errors only");
                   EXPECT_EQ(text(1032), L"Kilometres");  // 7 is no unit
                   EXPECT_EQ(text(1031), L"AM/PM");
                   EXPECT_EQ(::IsDlgButtonChecked(dialog, 1015), BST_UNCHECKED);
                   EXPECT_EQ(::IsDlgButtonChecked(dialog, 1021), BST_CHECKED);
                   EXPECT_EQ(::IsDlgButtonChecked(dialog, 1016), BST_CHECKED);  // the default
                   ::SendDlgItemMessage(dialog, 1034, CB_SETCURSEL, 0, 0);      // "Full logging"
                   ::SendDlgItemMessage(dialog, 1031, CB_SETCURSEL, 1, 0);      // "24 Hour"
                   ui.Tap(::GetDlgItem(dialog, 1015));
                   ui.RunUntilIdle();
                   Close(dialog, IDOK);
               });
    EXPECT_EQ(StoredValue("loglevel"), "0");
    EXPECT_EQ(StoredValue("units"), "0");
    EXPECT_EQ(StoredValue("main_time_format"), "1");
    EXPECT_EQ(StoredValue("shadow"), "1");
    EXPECT_EQ(StoredValue("weatherusephone"), "1");
    for (BaseView* view : Main()->GetViews()) {
        if (view == Main()->GetActiveView())
            continue;
        RECT dirty{};
        EXPECT_TRUE(::GetUpdateRect(dynamic_cast<CityGroupListView*>(view)->GetListControl()->GetHandle(),
                                    &dirty, FALSE));
    }

    // Confirming without a change writes the same file again; Cancel writes nothing.
    const std::string before = ReadSettingsText();
    WithDialog([&] { Command(kCmdOptions); }, [&](HWND dialog) { Close(dialog, IDOK); });
    EXPECT_EQ(ReadSettingsText(), before);
    RemoveSettings();
    WithDialog([&] { Command(kCmdOptions); },
               [&](HWND dialog) {
                   ::SendDlgItemMessage(dialog, 1032, CB_SETCURSEL, 2, 0);
                   Close(dialog, IDCANCEL);
               });
    EXPECT_FALSE(SettingsExist());
    EXPECT_EQ(GetAppSettings().GetUnits(), 0);
}

TEST_F(Dialogs, ChangeFieldsMovesRowsWithTheirChecksAndOkGivesTheCheckedOnesInOrder) {
    WriteSettings(kThreeCities);
    ASSERT_TRUE(Start());
    CityGroupInfoList& infoList = Main()->GetMapView().GetInfoList();
    std::vector<std::wstring> names;
    auto rows = [&](AdjustCityGroupInfoListFieldsDialog& dialog) {
        std::vector<std::wstring> seen;
        ZEP_Wnd::CheckListCtrl& list = dialog.GetFieldList();
        for (int row = 0; row < list.GetItemCount(); ++row)
            seen.push_back(list.GetItemText(row) + (list.GetCheck(row) ? L"+" : L"-"));
        return seen;
    };
    WithDialog([&] { Command(OBControls::kCmdChangeFields); },
               [&](HWND hwnd) {
                   auto* dialog = DialogObject<AdjustCityGroupInfoListFieldsDialog>(hwnd);
                   ASSERT_NE(dialog, nullptr);
                   ZEP_Wnd::CheckListCtrl& list = dialog->GetFieldList();
                   using V = std::vector<std::wstring>;
                   EXPECT_EQ(rows(*dialog), (V{L"Date+", L"Dial+", L"Distance+", L"Sunrise+", L"Sunset+",
                                               L"SummerTime+", L"Airport+", L"Offset+"}));
                   // No selection: neither button; the ends: one each.
                   EXPECT_FALSE(IsEnabled(hwnd, 1007));
                   EXPECT_FALSE(IsEnabled(hwnd, 1008));
                   ui.Tap(RowPoint(list.GetHandle(), 7));
                   ui.RunUntilIdle();
                   EXPECT_TRUE(IsEnabled(hwnd, 1007));
                   EXPECT_FALSE(IsEnabled(hwnd, 1008));
                   // Dial unchecked by its box; Sunset unchecked and moved to the top.
                   ui.Tap(RowPoint(list.GetHandle(), 1, LVIR_ICON));
                   ui.Tap(RowPoint(list.GetHandle(), 4, LVIR_ICON));
                   ui.RunUntilIdle();
                   for (int i = 0; i < 4; ++i) {
                       ui.Tap(::GetDlgItem(hwnd, 1007));
                       ui.RunUntilIdle();
                   }
                   EXPECT_EQ(rows(*dialog), (V{L"Sunset-", L"Date+", L"Dial-", L"Distance+", L"Sunrise+",
                                               L"SummerTime+", L"Airport+", L"Offset+"}));
                   EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
                   EXPECT_FALSE(IsEnabled(hwnd, 1007));
                   EXPECT_TRUE(IsEnabled(hwnd, 1008));
                   ui.Tap(::GetDlgItem(hwnd, 1008));
                   ui.RunUntilIdle();
                   EXPECT_EQ(list.GetItemText(1), L"Sunset");
                   EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
                   ui.Tap(::GetDlgItem(hwnd, IDOK));
               });
    EXPECT_EQ(infoList.GetFieldSet().GetSelectedFields(),
              (std::vector<int>{kFieldDate, kFieldDistance, kFieldSunrise, kFieldSummerTime, kFieldAirport,
                                kFieldOffset}));
    EXPECT_EQ(StoredValue("mapview_list"), "0;0;2;3;5;6;7;");

    // The next opening lists the unchecked ones last; with none checked the
    // list takes every field in its fixed order.
    WithDialog([&] { Command(OBControls::kCmdChangeFields); },
               [&](HWND hwnd) {
                   auto* dialog = DialogObject<AdjustCityGroupInfoListFieldsDialog>(hwnd);
                   ASSERT_NE(dialog, nullptr);
                   EXPECT_EQ(rows(*dialog),
                             (std::vector<std::wstring>{L"Date+", L"Distance+", L"Sunrise+", L"SummerTime+",
                                                        L"Airport+", L"Offset+", L"Dial-", L"Sunset-"}));
                   for (int row = 0; row < 6; ++row)
                       dialog->GetFieldList().SetCheck(row, false);
                   Close(hwnd, IDOK);
               });
    EXPECT_EQ(infoList.GetFieldSet().GetSelectedFields(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

// Each dialog with real content at both densities, to look at.
class DialogScreens : public ::testing::TestWithParam<std::string> {};

TEST_P(DialogScreens, EachDialogWithRealContent) {
    const std::string screen = GetParam();
    ShellFixture shell(screen);
    shell.WriteSettings(kThreeCities);
    ASSERT_TRUE(shell.Start());
    UiDriver& ui = shell.ui;
    auto shoot = [&](const std::string& name, const std::function<void()>& open,
                     const std::function<void(HWND)>& prepare = {}) {
        ui.WhenIdle([&ui, screen, name, prepare] {
            HWND dialog = ::GetActiveWindow();
            if (prepare)
                prepare(dialog);
            ui.RunUntilIdle();
            // The buttons at the bottom stay on the screen, also on a landscape one.
            if (HWND ok = ::GetDlgItem(dialog, IDOK)) {
                RECT button{}, client{};
                ::GetWindowRect(ok, &button);
                ::GetClientRect(dialog, &client);
                POINT corner{client.right, client.bottom};
                ::ClientToScreen(dialog, &corner);
                EXPECT_LE(button.bottom, corner.y) << name;
            }
            EXPECT_TRUE(ui.Screenshot(UiDriver::OutputPath("dialog_" + name + "_" + screen + ".png")));
            ::PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        open();
        ui.RunUntilIdle();
        EXPECT_FALSE(ui.PendingIdleSteps()) << name;
    };
    for (const auto& [row, name] : {std::pair{1, "info_summer"}, std::pair{2, "info_nosummer"}}) {
        shell.ActiveList()->SelectRow(row);
        shoot(name, [&] { shell.Command(kCmdCityInformation); });
    }
    const OBData::Position centre = OBData::GetCity(kNewYork)->GetPosition();
    shoot(
        "nearby_count", [&] { NearbyCitiesDialog(centre, shell.Main()->GetHandle()).DoModal(); },
        [&](HWND dialog) { DialogObject<NearbyCitiesDialog>(dialog)->GetList().SetItemState(2, 3, 3); });
    GetAppSettings().SetNearby(NearbySettings{true, 20, 700});
    shoot("nearby_radius", [&] {
        NearbyCitiesDialog(OBData::GetCity(kKathmandu)->GetPosition(), shell.Main()->GetHandle()).DoModal();
    });
    shoot("options", [&] { shell.Command(kCmdOptions); });
    shoot(
        "fields", [&] { shell.Command(OBControls::kCmdChangeFields); },
        [&](HWND dialog) {
            auto* fields = DialogObject<AdjustCityGroupInfoListFieldsDialog>(dialog);
            fields->GetFieldList().SetCheck(1, false);
            fields->GetFieldList().SetItemState(4, 3, 3);
            fields->MoveRow(4, 3);
        });
}

// On a landscape screen the Options page and the About box are taller than
// the dialog: they scroll, the keyboard brings the focused control into
// view, and the bar takes it back; on a portrait screen nothing scrolls.
TEST(TallPages, ScrollWhereTheyDoNotFitAndFollowTheFocus) {
    for (const std::string screen : {"320x240", "240x320"}) {
        ShellFixture shell(screen);
        shell.WriteSettings(kThreeCities);
        ASSERT_TRUE(shell.Start());
        const bool landscape = screen == "320x240";
        const auto inside = [](int id) {
            const HWND dialog = ::GetActiveWindow();
            RECT r{}, client{};
            ::GetWindowRect(::GetDlgItem(dialog, id), &r);
            ::GetClientRect(dialog, &client);
            POINT top{0, 0};
            ::ClientToScreen(dialog, &top);
            return r.top >= top.y && r.bottom <= top.y + client.bottom;
        };
        // The dialog's own loop handles the keys, so each step ends with one.
        shell.ui.WhenIdle([&] {
            const HWND dialog = ::GetActiveWindow();
            EXPECT_EQ((::GetWindowLong(dialog, GWL_STYLE) & WS_VSCROLL) != 0, landscape) << screen;
            EXPECT_EQ(inside(1034), !landscape) << screen;
            // A drop-down keeps beside its label on a wide screen.
            RECT label{}, box{};
            ::GetWindowRect(::GetWindow(::GetDlgItem(dialog, 1031), GW_HWNDPREV), &label);
            ::GetWindowRect(::GetDlgItem(dialog, 1031), &box);
            EXPECT_LT(box.left - label.right, (box.right - box.left) / 4) << screen;
            ::SetFocus(::GetDlgItem(dialog, 1022));  // the last check box
            EXPECT_TRUE(inside(1022)) << screen;
            PressKey(VK_TAB);  // on to the last list, "Weather logging"
        });
        shell.ui.WhenIdle([&] {
            EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), 1034) << screen;
            EXPECT_TRUE(inside(1034)) << screen;
            PressKey(VK_TAB);  // round to the top again
        });
        shell.ui.WhenIdle([&] {
            const HWND dialog = ::GetActiveWindow();
            EXPECT_TRUE(inside(1031)) << screen;
            if (landscape) {
                // Taps on the bar's lower arrow scroll to the end.
                RECT client{};
                ::GetClientRect(dialog, &client);
                POINT arrow{client.right + 2, client.bottom - 2};
                ::ClientToScreen(dialog, &arrow);
                for (int tap = 0; tap < 10; ++tap)
                    shell.ui.Tap(arrow);
                EXPECT_TRUE(inside(1034));
                EXPECT_FALSE(inside(1031));
                shell.ui.Screenshot(UiDriver::OutputPath("dialog_options_scrolled_" + screen + ".png"));
            }
            ::PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        shell.Command(kCmdOptions);
        EXPECT_FALSE(shell.ui.PendingIdleSteps()) << screen;

        // The About box's credits run below a landscape screen too.
        shell.ui.WhenIdle([&] {
            const HWND dialog = ::GetActiveWindow();
            EXPECT_EQ((::GetWindowLong(dialog, GWL_STYLE) & WS_VSCROLL) != 0, landscape) << screen;
            EXPECT_EQ(::GetFocus(), dialog);
            PressKey(VK_END);
        });
        shell.ui.WhenIdle([&] {
            const HWND dialog = ::GetActiveWindow();
            RECT text{}, client{};
            ::GetWindowRect(::GetDlgItem(dialog, OBResources::kAboutTextId), &text);
            ::GetClientRect(dialog, &client);
            POINT bottom{0, client.bottom};
            ::ClientToScreen(dialog, &bottom);
            EXPECT_LE(text.bottom, bottom.y) << screen;  // the last line shows
            PressKey(VK_RETURN);
        });
        shell.Command(kCmdAbout);
        EXPECT_FALSE(shell.ui.PendingIdleSteps()) << screen;
    }
}

// Whether every shown control of the dialog lies inside its client area (a
// page that scrolls only across) and no two of them overlap; the first fault
// found, or "".
std::string LayoutFault(HWND dialog) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    const bool scrolls = (::GetWindowLong(dialog, GWL_STYLE) & WS_VSCROLL) != 0;
    std::vector<std::pair<int, RECT>> shown;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        ::GetClassName(c, cls, 32);
        const bool group = std::wstring(cls) == L"BUTTON" &&
                           (static_cast<DWORD>(::GetWindowLong(c, GWL_STYLE)) & 0x0F) == BS_GROUPBOX;
        if (!::IsWindowVisible(c) || group)
            continue;
        const RECT r = ControlRectInDialog(dialog, c);
        const int id = ::GetDlgCtrlID(c);
        if (r.left < 0 || r.right > client.right || (!scrolls && (r.top < 0 || r.bottom > client.bottom)))
            return "control " + std::to_string(id) + " is cut off";
        for (const auto& [other, o] : shown) {
            RECT both{};
            if (::IntersectRect(&both, &r, &o))
                return "controls " + std::to_string(id) + " and " + std::to_string(other) + " overlap";
        }
        shown.emplace_back(id, r);
    }
    return "";
}

// Every dialog on screens of every shape, and again after the screen turned
// under it (the desktop window resized): nothing cut off, nothing overlapping.
TEST(DialogLayouts, FitEveryScreenAndFollowANewSize) {
    const std::pair<const char*, ob::ui::ScreenMode> screens[] = {
        {"240x240", {320, 240, 96}},        {"240x400", {400, 240, 96}},  {"320x240", {240, 320, 96}},
        {"480x480", {640, 480, 192}},       {"480x800", {800, 480, 192}}, {"800x480", {480, 800, 192}},
        {"1200x900@192", {900, 1200, 192}},
    };
    for (const auto& [screen, turned] : screens) {
        ShellFixture shell(screen);
        shell.WriteSettings(kThreeCities);
        ASSERT_TRUE(shell.Start());
        shell.ActiveList()->SelectRow(1);
        const OBData::Position centre = OBData::GetCity(kNewYork)->GetPosition();
        const std::pair<const char*, std::function<void()>> dialogs[] = {
            {"cities", [&] { shell.Command(kCmdChangeCities); }},
            {"home", [&] { SelectHomeCityDialog(shell.Main()->GetHandle()).DoModal(); }},
            {"nearby", [&] { NearbyCitiesDialog(centre, shell.Main()->GetHandle()).DoModal(); }},
            {"options", [&] { shell.Command(kCmdOptions); }},
            {"fields", [&] { shell.Command(OBControls::kCmdChangeFields); }},
            {"about", [&] { shell.Command(kCmdAbout); }},
        };
        const ob::ui::ScreenMode first = ob::ui::CurrentScreenMode();
        for (const auto& [name, open] : dialogs) {
            SCOPED_TRACE(std::string(screen) + " " + name);
            shell.ui.WhenIdle([&, name = name] {
                const HWND dialog = ::GetActiveWindow();
                EXPECT_EQ(LayoutFault(dialog), "");
                ob::ui::ResizeScreen(turned);
                shell.ui.RunUntilIdle();
                EXPECT_EQ(LayoutFault(dialog), "") << "turned";
                ob::ui::ResizeScreen(first);
                shell.ui.RunUntilIdle();
                EXPECT_EQ(LayoutFault(dialog), "") << "back";
                ::PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
            });
            open();
            shell.ui.RunUntilIdle();
            EXPECT_FALSE(shell.ui.PendingIdleSteps());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Densities, DialogScreens, ::testing::Values("240x320", "480x640", "320x240"));

}  // namespace
}  // namespace shelltest
