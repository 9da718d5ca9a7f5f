// Change Cities and Home City, driven as the user would: typing a country,
// tapping rows and buttons, answering with OK, Cancel or Return.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "data/City.h"
#include "data/Country.h"
#include "data/DataView.h"
#include "data/ReferenceLookup.h"
#include "dialogs/PickCitiesDialog.h"
#include "dialogs/SelectHomeCityDialog.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/ListBox.h"
#include "tests/app/ShellFixture.h"

namespace shelltest {
namespace {

using ob::ui::testing::UiDriver;
using P = PickCitiesDialog;

// Drives whichever dialog is open through the UI driver.
struct DialogHand {
    UiDriver& ui;

    HWND Item(int id) const { return ::GetDlgItem(::GetActiveWindow(), id); }
    bool IsEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    void Press(int id) const { ui.Tap(Item(id)); }
    std::vector<std::wstring> Texts(int listId) const {
        std::vector<std::wstring> texts;
        const HWND list = Item(listId);
        for (int i = 0; i < ::SendMessage(list, LB_GETCOUNT, 0, 0); ++i) {
            std::wstring text(static_cast<std::size_t>(::SendMessage(list, LB_GETTEXTLEN, i, 0)), L'\0');
            ::SendMessage(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            texts.push_back(text);
        }
        return texts;
    }
    int Current(int listId) const {
        return static_cast<int>(::SendMessage(Item(listId), LB_GETCURSEL, 0, 0));
    }
    // Taps a row, scrolling it into view first.
    void TapRow(int listId, int row) const {
        const HWND list = Item(listId);
        ::SendMessage(list, LB_SETTOPINDEX, row, 0);
        RECT r{};
        ::SendMessage(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ClientToScreen(list, &p);
        ui.Tap(p);
    }
    // Types the country's name into the focused drop-down.
    void ChooseCountry(int comboId, const std::wstring& name) const {
        ::SetFocus(Item(comboId));
        ui.Type(name);
        ui.Advance(ob::ui::TypeAhead::kPauseMs + 1);
    }
    std::wstring ComboText(int comboId) const {
        const HWND combo = Item(comboId);
        const auto at = ::SendMessage(combo, CB_GETCURSEL, 0, 0);
        std::wstring text(
            static_cast<std::size_t>(std::max<LRESULT>(0, ::SendMessage(combo, CB_GETLBTEXTLEN, at, 0))),
            L'\0');
        ::SendMessage(combo, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(text.data()));
        return text;
    }
};

std::wstring Name(int id) { return OBData::GetCity(id)->GetDisplayName(); }
std::wstring Home(int id) { return Name(id) + L" [HOME]"; }

class CityDialogs : public ::testing::Test, public ShellFixture {
protected:
    DialogHand hand{ui};
};

TEST_F(CityDialogs, ChangeCitiesAddsRemovesMovesAndSetsHomeAndOkAppliesAndSaves) {
    WriteSettings("cities,1;2;3;4\r\n");
    ASSERT_TRUE(Start());
    const std::wstring a = Name(1), b = Name(2), c = Name(3), d = Name(4);
    std::vector<std::wstring> australia;
    bool ran = false;
    ui.WhenIdle([&] {
        ran = true;
        EXPECT_EQ(hand.Texts(P::kSelectedId), (std::vector<std::wstring>{Home(1), b, c, d}));
        EXPECT_FALSE(hand.IsEnabled(P::kAddId));
        EXPECT_FALSE(hand.IsEnabled(P::kRemoveId));

        // A city already listed is not added twice; Add takes its row's selection away.
        hand.ChooseCountry(P::kCountriesId, OBData::GetCity(2)->GetCountry()->GetDisplayName());
        const auto cities = hand.Texts(P::kCitiesId);
        hand.TapRow(P::kCitiesId,
                    static_cast<int>(std::find(cities.begin(), cities.end(), b) - cities.begin()));
        EXPECT_TRUE(hand.IsEnabled(P::kAddId));
        hand.Press(P::kAddId);
        EXPECT_EQ(hand.Texts(P::kSelectedId).size(), 4u);
        EXPECT_FALSE(hand.IsEnabled(P::kAddId));

        // Several cities go to the end in the list's order, whatever the order of the taps.
        hand.ChooseCountry(P::kCountriesId, L"australia");
        EXPECT_EQ(hand.ComboText(P::kCountriesId), L"Australia");
        australia = hand.Texts(P::kCitiesId);
        ASSERT_GE(australia.size(), 3u);
        EXPECT_TRUE(std::is_sorted(australia.begin(), australia.end()));
        hand.TapRow(P::kCitiesId, 2);
        hand.TapRow(P::kCitiesId, 0);
        hand.Press(P::kAddId);
        EXPECT_EQ(hand.Texts(P::kSelectedId),
                  (std::vector<std::wstring>{Home(1), b, c, d, australia[0], australia[2]}));

        // Down on home and Up on the second swap the home city.
        hand.TapRow(P::kSelectedId, 0);
        EXPECT_TRUE(hand.IsEnabled(P::kRemoveId));
        EXPECT_FALSE(hand.IsEnabled(P::kUpId));
        EXPECT_FALSE(hand.IsEnabled(P::kSetHomeId));
        hand.Press(P::kDownId);
        EXPECT_EQ(hand.Texts(P::kSelectedId)[0], Home(2));
        EXPECT_EQ(hand.Texts(P::kSelectedId)[1], a);
        EXPECT_EQ(hand.Current(P::kSelectedId), 1);
        hand.Press(P::kUpId);
        EXPECT_EQ(hand.Texts(P::kSelectedId)[0], Home(1));
        EXPECT_EQ(hand.Texts(P::kSelectedId)[1], b);
        // Down in the middle just swaps; on the last it is off.
        hand.TapRow(P::kSelectedId, 4);
        hand.Press(P::kDownId);
        EXPECT_EQ(hand.Texts(P::kSelectedId)[5], australia[0]);
        EXPECT_FALSE(hand.IsEnabled(P::kDownId));
        hand.Press(P::kUpId);

        // Set as Home on the fourth: it goes to the top, the others keep their order.
        hand.TapRow(P::kSelectedId, 3);
        hand.Press(P::kSetHomeId);
        EXPECT_EQ(hand.Texts(P::kSelectedId),
                  (std::vector<std::wstring>{Home(4), a, b, c, australia[0], australia[2]}));
        EXPECT_EQ(hand.Current(P::kSelectedId), 0);

        // Removing the home city makes the next one home.
        hand.Press(P::kRemoveId);
        EXPECT_EQ(hand.Texts(P::kSelectedId),
                  (std::vector<std::wstring>{Home(1), b, c, australia[0], australia[2]}));
        EXPECT_EQ(hand.Current(P::kSelectedId), 0);
        hand.Press(IDOK);
    });
    RemoveSettings();
    Command(kCmdChangeCities);
    ASSERT_TRUE(ran);
    ASSERT_EQ(Group().GetCount(), 5);
    EXPECT_EQ(NameAt(0), a);
    EXPECT_EQ(NameAt(3), australia[0]);
    EXPECT_EQ(NameAt(4), australia[2]);
    EXPECT_EQ(StoredValue("cities"), ob::kernel::ToUtf8(Group().ToText()));
    EXPECT_EQ(ActiveList()->GetCityCount(), 5);
}

TEST_F(CityDialogs, CancelLeavesTheGroupAndTheFirstCityOfAnEmptyListBecomesHome) {
    WriteSettings("cities,1;2\r\n");
    ASSERT_TRUE(Start());
    bool ran = false;
    ui.WhenIdle([&] {
        ran = true;
        hand.TapRow(P::kSelectedId, 0);
        hand.Press(P::kRemoveId);
        EXPECT_EQ(hand.Texts(P::kSelectedId), (std::vector<std::wstring>{Home(2)}));
        hand.Press(P::kRemoveId);
        EXPECT_TRUE(hand.Texts(P::kSelectedId).empty());
        EXPECT_FALSE(hand.IsEnabled(P::kRemoveId));
        hand.ChooseCountry(P::kCountriesId, L"japan");
        const std::wstring first = hand.Texts(P::kCitiesId).at(1);
        hand.TapRow(P::kCitiesId, 1);
        hand.Press(P::kAddId);
        EXPECT_EQ(hand.Texts(P::kSelectedId), (std::vector<std::wstring>{first + L" [HOME]"}));
        hand.Press(IDCANCEL);
    });
    RemoveSettings();
    Command(kCmdChangeCities);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(SettingsExist());
    EXPECT_EQ(Group().ToText(), L"1;2");
}

// The alphabetically first country and its alphabetically first city.
std::pair<std::wstring, int> FirstCountryAndCity() {
    std::vector<std::pair<std::wstring, std::wstring>> countries;
    const OBData::DataView* view = OBData::GetCountryView();
    for (int i = 0; i < view->GetCount(); ++i) {
        std::wstring name, code;
        view->GetRow(i).GetString(L"displayName", name);
        view->GetRow(i).GetString(L"iso2Name", code);
        countries.emplace_back(name, code);
    }
    const auto less = [](const auto& x, const auto& y) {
        return ob::ui::CompareItemText(x.first, y.first) < 0;
    };
    const auto first = *std::min_element(countries.begin(), countries.end(), less);
    const std::wstring filter = L"country = '" + first.second + L"'";
    std::unique_ptr<OBData::DataView> cities(OBData::CreateCityView(nullptr, filter.c_str()));
    std::pair<std::wstring, int> best{L"", 0};
    for (int i = 0; i < cities->GetCount(); ++i) {
        std::wstring name;
        std::int32_t id = 0;
        cities->GetRow(i).GetString(L"displayName", name);
        cities->GetRow(i).GetInt(L"id", id);
        if (best.second == 0 || ob::ui::CompareItemText(name, best.first) < 0)
            best = {name, id};
    }
    return {first.first, best.second};
}

TEST_F(CityDialogs, FirstStartAsksForTheHomeCityOnTheFirstCountryAndReturnTakesIt) {
    std::wstring country;
    int city = 0;
    bool asked = false;
    ui.WhenIdle([&] {
        asked = true;
        std::tie(country, city) = FirstCountryAndCity();
        EXPECT_EQ(hand.ComboText(SelectHomeCityDialog::kCountriesId), country);
        ASSERT_EQ(hand.Current(SelectHomeCityDialog::kCitiesId), 0);
        EXPECT_EQ(hand.Texts(SelectHomeCityDialog::kCitiesId)[0], Name(city));
        PressKey(VK_RETURN);
    });
    ASSERT_TRUE(Start());
    ASSERT_TRUE(asked);
    ASSERT_EQ(Group().GetCount(), 1);
    EXPECT_EQ(Group().GetHomeCity()->GetId(), city);
    EXPECT_EQ(ActiveList()->GetCityCount(), 1);
    // Nothing is written until the program ends.
    EXPECT_FALSE(SettingsExist());
    Exit();
    EXPECT_EQ(StoredValue("cities"), std::to_string(city));
}

// Pictures to look at: both dialogs on both screens (and a landscape one)
// with the United States (many cities) chosen and twelve selected cities;
// the long lists scroll and the buttons at the bottom stay on the screen.
TEST(CityDialogPictures, BothDialogsOnBothScreensWithTheUnitedStates) {
    for (const std::string screen : {"240x320", "480x640", "320x240"}) {
        SCOPED_TRACE(screen);
        ShellFixture shell(screen);
        DialogHand hand{shell.ui};
        shell.WriteSettings(kTwelveCities);
        ASSERT_TRUE(shell.Start());
        const auto scrolls = [&](int listId) {
            SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
            ::GetScrollInfo(hand.Item(listId), SB_VERT, &info);
            return info.nMax >= static_cast<int>(info.nPage) && info.nPage > 0;
        };
        const auto onScreen = [&](int buttonId) {
            RECT button{}, dialog{};
            ::GetWindowRect(hand.Item(buttonId), &button);
            ::GetWindowRect(::GetActiveWindow(), &dialog);
            return button.bottom <= dialog.bottom;
        };
        bool ran = false;
        shell.ui.WhenIdle([&] {
            ran = true;
            hand.ChooseCountry(P::kCountriesId, L"united s");
            EXPECT_EQ(hand.ComboText(P::kCountriesId), L"United States");
            EXPECT_GT(hand.Texts(P::kCitiesId).size(), 50u);
            EXPECT_TRUE(scrolls(P::kCitiesId));
            EXPECT_TRUE(scrolls(P::kSelectedId));
            EXPECT_EQ(hand.Texts(P::kSelectedId).size(), 12u);
            EXPECT_TRUE(onScreen(IDCANCEL));
            hand.TapRow(P::kSelectedId, 0);
            EXPECT_EQ(hand.Texts(P::kSelectedId)[0], Home(1));
            shell.ui.Screenshot(UiDriver::OutputPath("change-cities-" + screen + ".png"));
            hand.Press(IDCANCEL);
        });
        shell.Command(kCmdChangeCities);
        EXPECT_TRUE(ran);
        ran = false;
        shell.ui.WhenIdle([&] {
            ran = true;
            hand.ChooseCountry(SelectHomeCityDialog::kCountriesId, L"united s");
            EXPECT_TRUE(scrolls(SelectHomeCityDialog::kCitiesId));
            EXPECT_TRUE(onScreen(IDOK));
            shell.ui.Screenshot(UiDriver::OutputPath("home-city-" + screen + ".png"));
            PressKey(VK_ESCAPE);
        });
        SelectHomeCityDialog(shell.Main()->GetHandle()).DoModal();
        EXPECT_TRUE(ran);
    }
}

}  // namespace
}  // namespace shelltest
