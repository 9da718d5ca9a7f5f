// Change Cities and Home City, driven as the user would: typing a country,
// tapping rows and buttons, answering with OK, Cancel or Return.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "data/City.h"
#include "data/CityFinder.h"
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
    // Taps a row, scrolling it into view first (and long enough after the
    // last tap that the two are no double tap).
    void TapRow(int listId, int row) const {
        ui.Advance(600);
        const HWND list = Item(listId);
        ::SendMessage(list, LB_SETTOPINDEX, row, 0);
        RECT r{};
        ::SendMessage(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ClientToScreen(list, &p);
        ui.Tap(p);
    }
    // A tap with Ctrl held: the row joins the selection (or leaves it).
    void CtrlTapRow(int listId, int row) const {
        ob::ui::InjectKey(VK_CONTROL, true);
        TapRow(listId, row);
        ob::ui::InjectKey(VK_CONTROL, false);
        ui.RunUntilIdle();
    }
    bool Selected(int listId, int row) const {
        return ::SendMessage(Item(listId), LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
    }
    int SelectedCount(int listId) const {
        return static_cast<int>(::SendMessage(Item(listId), LB_GETSELCOUNT, 0, 0));
    }
    bool RowVisible(int listId, int row) const {
        const HWND list = Item(listId);
        RECT item{}, client{};
        ::SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        ::GetClientRect(list, &client);
        return item.top >= client.top && item.bottom <= client.bottom;
    }
    // Types into the find box, which has the keyboard when the dialog opens.
    void Find(int findId, const std::wstring& text) const {
        EXPECT_EQ(::GetFocus(), Item(findId));
        ::SendMessage(Item(findId), EM_SETSEL, 0, -1);
        ui.Type(text);
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
        hand.CtrlTapRow(P::kCitiesId, 0);
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

TEST_F(CityDialogs, HomeCityFindsAnyCountrysCityByNameAndReturnTakesTheBest) {
    using H = SelectHomeCityDialog;
    bool asked = false;
    ui.WhenIdle([&] {
        asked = true;
        // The accent-free and the accented spelling find the same city, best first, with its country.
        hand.Find(H::kFindId, L"S\u00e3o");
        const auto accented = hand.Texts(H::kCitiesId);
        hand.Find(H::kFindId, L"sao");
        EXPECT_EQ(hand.Texts(H::kCitiesId), accented);
        EXPECT_EQ(hand.Texts(H::kCitiesId).at(0), L"S\u00e3o Paulo, Brazil");
        EXPECT_EQ(hand.Current(H::kCitiesId), 0);

        // Down goes into the list and on; Escape clears the text and the country's cities come back.
        PressKey(VK_DOWN);
        ui.RunUntilIdle();
        EXPECT_EQ(::GetFocus(), hand.Item(H::kCitiesId));
        PressKey(VK_DOWN);
        ui.RunUntilIdle();
        EXPECT_EQ(hand.Current(H::kCitiesId), 1);
        PressKey(VK_ESCAPE);
        ui.RunUntilIdle();
        EXPECT_EQ(::GetFocus(), hand.Item(H::kFindId));
        EXPECT_EQ(hand.Texts(H::kCitiesId).at(0).find(L','), std::wstring::npos);
        EXPECT_TRUE(::IsWindow(hand.Item(H::kFindId)));

        hand.Find(H::kFindId, L"tok");
        EXPECT_EQ(hand.Texts(H::kCitiesId).at(0), L"Tokyo, Japan");
        PressKey(VK_RETURN);
    });
    ASSERT_TRUE(Start());
    ASSERT_TRUE(asked);
    ASSERT_EQ(Group().GetCount(), 1);
    EXPECT_EQ(Group().GetHomeCity()->GetId(), 429);
}

TEST_F(CityDialogs, ChangeCitiesAddsWhatIsSeenSelectedAndShowsWhatItAdded) {
    WriteSettings(kTwelveCities);
    ASSERT_TRUE(Start());
    bool ran = false;
    ui.WhenIdle([&] {
        ran = true;
        // It opens at the home city's country, the home city in view.
        EXPECT_EQ(hand.ComboText(P::kCountriesId), OBData::GetCity(1)->GetCountry()->GetDisplayName());
        const auto uk = hand.Texts(P::kCitiesId);
        const int aberdeen = static_cast<int>(std::find(uk.begin(), uk.end(), Name(1)) - uk.begin());
        ASSERT_LT(aberdeen, static_cast<int>(uk.size()));
        EXPECT_TRUE(hand.RowVisible(P::kCitiesId, aberdeen));
        EXPECT_FALSE(hand.IsEnabled(P::kAddId));

        // A tap, the list scrolled, another tap: only the second, the one in view, is selected and added.
        const int last = static_cast<int>(uk.size()) - 1;
        ASSERT_GT(last, 10);
        hand.TapRow(P::kCitiesId, 3);
        hand.TapRow(P::kCitiesId, last);
        EXPECT_FALSE(hand.RowVisible(P::kCitiesId, 3));
        EXPECT_EQ(hand.SelectedCount(P::kCitiesId), 1);
        hand.Press(P::kAddId);
        auto selected = hand.Texts(P::kSelectedId);
        ASSERT_EQ(selected.size(), 13u);
        EXPECT_EQ(selected.back(), uk[static_cast<std::size_t>(last)]);
        EXPECT_EQ(hand.Current(P::kSelectedId), 12);
        EXPECT_TRUE(hand.RowVisible(P::kSelectedId, 12));

        // Ctrl extends the selection; typing in the list selects what it finds, alone.
        hand.TapRow(P::kCitiesId, 5);
        hand.CtrlTapRow(P::kCitiesId, 7);
        EXPECT_EQ(hand.SelectedCount(P::kCitiesId), 2);
        ui.Type(uk[9].substr(0, 3));
        ui.Advance(ob::ui::TypeAhead::kPauseMs + 1);
        EXPECT_EQ(hand.SelectedCount(P::kCitiesId), 1);

        // Found by name: the space of "new y" is part of the text, and Return adds New York.
        ::SetFocus(hand.Item(P::kFindId));
        hand.Find(P::kFindId, L"new y");
        EXPECT_EQ(hand.SelectedCount(P::kCitiesId), 1);
        PressKey(VK_RETURN);
        ui.RunUntilIdle();
        selected = hand.Texts(P::kSelectedId);
        EXPECT_EQ(selected.back(), Name(292));
        EXPECT_TRUE(::IsWindow(hand.Item(P::kFindId)));  // Return added, it did not close the dialog

        // A double tap adds too.
        hand.Find(P::kFindId, L"kyoto");
        RECT r{};
        ::SendMessage(hand.Item(P::kCitiesId), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ClientToScreen(hand.Item(P::kCitiesId), &p);
        ui.Tap(p);
        ui.Tap(p);
        EXPECT_EQ(hand.Texts(P::kSelectedId).back(), L"Kyoto");
        EXPECT_TRUE(hand.RowVisible(P::kSelectedId, hand.Current(P::kSelectedId)));

        // Escape clears the text, then cancels.
        PressKey(VK_ESCAPE);
        ui.RunUntilIdle();
        EXPECT_TRUE(::IsWindow(hand.Item(P::kFindId)));
        EXPECT_EQ(hand.Texts(P::kCitiesId), uk);
        PressKey(VK_ESCAPE);
    });
    Command(kCmdChangeCities);
    EXPECT_TRUE(ran);
    EXPECT_EQ(Group().GetCount(), 12);
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

// TZ for one test, put back as it was.
class ScopedTz {
public:
    explicit ScopedTz(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        ::setenv("TZ", zone, 1);
    }
    ~ScopedTz() {
        if (m_old)
            ::setenv("TZ", m_old->c_str(), 1);
        else
            ::unsetenv("TZ");
    }

private:
    std::optional<std::string> m_old;
};

TEST_F(CityDialogs, FirstStartOffersTheCityOfTheMachinesZoneAndReturnTakesIt) {
    for (const auto& [zone, city] :
         {std::pair{"Asia/Tokyo", L"tokyo"}, std::pair{"America/Sao_Paulo", L"sao paulo"}}) {
        SCOPED_TRACE(zone);
        ScopedTz tz(zone);
        RemoveSettings();
        ui.WhenIdle([] { PressKey(VK_RETURN); });
        ASSERT_TRUE(Start());
        ASSERT_EQ(Group().GetCount(), 1);
        EXPECT_EQ(OBData::FoldForFind(Group().GetHomeCity()->GetDisplayName()), city);
        const int id = Group().GetHomeCity()->GetId();
        Exit();
        EXPECT_EQ(StoredValue("cities"), std::to_string(id));
    }
}

TEST_F(CityDialogs, FirstStartAsksForTheHomeCityOnTheFirstCountryAndReturnTakesIt) {
    ScopedTz utc("UTC");
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
// with the United States (many cities) chosen, then a search typed, and
// twelve selected cities; the long lists scroll and the buttons at the
// bottom stay on the screen.
TEST(CityDialogPictures, BothDialogsOnBothScreensWithTheUnitedStatesAndASearch) {
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
            ::SetFocus(hand.Item(P::kFindId));
            hand.Find(P::kFindId, L"san");
            EXPECT_TRUE(scrolls(P::kCitiesId));
            shell.ui.Screenshot(UiDriver::OutputPath("change-cities-find-" + screen + ".png"));
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
            ::SetFocus(hand.Item(SelectHomeCityDialog::kFindId));
            hand.Find(SelectHomeCityDialog::kFindId, L"san");
            EXPECT_EQ(hand.Current(SelectHomeCityDialog::kCitiesId), 0);
            shell.ui.Screenshot(UiDriver::OutputPath("home-city-find-" + screen + ".png"));
            PressKey(VK_ESCAPE);
            PressKey(VK_ESCAPE);
        });
        SelectHomeCityDialog(shell.Main()->GetHandle()).DoModal();
        EXPECT_TRUE(ran);
    }
}

}  // namespace
}  // namespace shelltest
