// What the city list looks like: highlight, separators, pictures, the empty
// text, repainting only the information lines, and screenshots at both
// densities with 0, 1 and 12 cities to look at.
#include "tests/app/ListFixture.h"

#include <string>

#include "app/DayNightImageList.h"

using namespace listtest;
using OBControls::CityGroupInfoList;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSeparator = RGB(192, 192, 192);

// Pixels of a client rectangle of the list, row by row.
std::vector<COLORREF> Pixels(ob::ui::testing::UiDriver& driver, const CityGroupInfoList& list, RECT area) {
    POINT origin{0, 0};
    ::ClientToScreen(list.GetHandle(), &origin);
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(driver.Pixel(origin.x + x, origin.y + y));
    return pixels;
}

bool AnyNot(const std::vector<COLORREF>& pixels, COLORREF colour) {
    for (COLORREF p : pixels)
        if (p != colour)
            return true;
    return false;
}

class ListPaint : public ListTest {
protected:
    explicit ListPaint(const char* screen = "240x320") : ListTest(screen) {}
    COLORREF At(const CityGroupInfoList& list, int x, int y) {
        const POINT p = ScreenPoint(list, x, y);
        return driver.Pixel(p.x, p.y);
    }
    void Shot(const std::string& name) {
        EXPECT_TRUE(driver.Screenshot(ob::ui::testing::UiDriver::OutputPath(name)));
    }
};

class ListPaintVga : public ListPaint {
protected:
    ListPaintVga() : ListPaint("480x640") {}
};

void CheckRows(ListPaint& test, ob::ui::testing::UiDriver& driver, CityGroupInfoList& list) {
    (void)test;
    driver.RunUntilIdle();
    const RECT first = list.GetRowRect(0);
    const RECT second = list.GetRowRect(1);
    const int buttons = 2 * list.GetPreviousInfoButton().GetSize().cx;
    const int x = (list.GetImageList() ? list.GetImageList()->GetImageSize().cx : 0) + buttons + 6;
    POINT origin{0, 0};
    ::ClientToScreen(list.GetHandle(), &origin);
    // The selected row on the highlight, the next on the window colour,
    // a grey separator under each.
    EXPECT_EQ(driver.Pixel(origin.x + x, origin.y + first.bottom - 3), ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(driver.Pixel(origin.x + x, origin.y + second.bottom - 3), kWhite);
    EXPECT_EQ(driver.Pixel(origin.x + x, origin.y + first.bottom - 1), kSeparator);
    EXPECT_EQ(driver.Pixel(origin.x + 2, origin.y + second.bottom - 1), kSeparator);
    // Something is written on both lines of a row.
    const std::vector<COLORREF> name =
        Pixels(driver, list, RECT{x, second.top, first.right, second.top + list.GetLineHeight()});
    const std::vector<COLORREF> info =
        Pixels(driver, list, RECT{x, second.top + list.GetLineHeight(), first.right, second.bottom - 1});
    EXPECT_TRUE(AnyNot(name, kWhite));
    EXPECT_TRUE(AnyNot(info, kWhite));
}

}  // namespace

TEST_F(ListPaint, RowsAreHighlightedSeparatedAndWrittenAndTheEmptyListSaysSo) {
    OBControls::DayNightImageList pictures;
    ASSERT_TRUE(pictures.Create());
    EXPECT_EQ(pictures.GetImageSize().cx, 16);
    OBData::CityGroup group = MakeGroup(12);
    auto list = MakeList(group);
    list->SetImageList(&pictures);
    EXPECT_GE(list->GetLineHeight(), 16);
    CheckRows(*this, driver, *list);
    Shot("list_qvga_12.png");

    OBData::CityGroup one = MakeGroup(1);
    list->SetCityGroup(&one, true);
    driver.RunUntilIdle();
    EXPECT_EQ(At(*list, 5, list->GetRowRect(1).top + 5), kWhite);  // below the only row
    Shot("list_qvga_1.png");

    OBData::CityGroup none;
    list->SetEmptyText(16);
    list->SetCityGroup(&none, true);
    driver.RunUntilIdle();
    EXPECT_FALSE(list->GetPreviousInfoButton().IsVisible());
    EXPECT_FALSE(list->GetNextInfoButton().IsVisible());
    const RECT client = list->GetClientRect();
    EXPECT_TRUE(AnyNot(Pixels(driver, *list, RECT{0, 0, client.right, client.bottom / 2}), kWhite));
    EXPECT_EQ(list->GetSelectedCity(), nullptr);
    Shot("list_qvga_0.png");
}

TEST_F(ListPaintVga, LargePicturesAndButtonsAtTheHighDensity) {
    OBControls::DayNightImageList pictures;
    ASSERT_TRUE(pictures.Create());
    EXPECT_EQ(pictures.GetImageSize().cx, 32);
    OBData::CityGroup group = MakeGroup(12);
    auto list = MakeList(group);
    list->SetImageList(&pictures);
    EXPECT_EQ(list->GetPreviousInfoButton().GetSize().cx, 28);
    EXPECT_GE(list->GetLineHeight(), 32);
    CheckRows(*this, driver, *list);
    Shot("list_vga_12.png");

    OBData::CityGroup one = MakeGroup(1);
    list->SetCityGroup(&one, true);
    driver.RunUntilIdle();
    Shot("list_vga_1.png");

    OBData::CityGroup none;
    list->SetEmptyText(16);
    list->SetCityGroup(&none, true);
    driver.RunUntilIdle();
    Shot("list_vga_0.png");

    // One-line rows with the day name before the time.
    OBData::CityGroup twelve = MakeGroup(12);
    list->SetCityGroup(&twelve, false);
    list->SetFlags(OBControls::CityGroupListCtrl::kSeparatorLines |
                   OBControls::CityGroupListCtrl::kOneLineRows);
    driver.RunUntilIdle();
    Shot("list_vga_12_one_line.png");
}

TEST_F(ListPaint, SteppingTheFieldRedrawsOnlyTheInformationLines) {
    OBData::CityGroup group = MakeGroup(4);
    auto list = MakeList(group);
    const RECT row = list->GetRowRect(1);
    const int line = list->GetLineHeight();
    const RECT firstLine{0, row.top, row.right, row.top + line};
    const RECT infoLine{0, row.top + line, row.right, row.bottom};
    const auto namesBefore = Pixels(driver, *list, firstLine);
    const auto infoBefore = Pixels(driver, *list, infoLine);

    list->SetSelectedFields({OBControls::kFieldDate, OBControls::kFieldAirport});
    driver.RunUntilIdle();
    const auto dateLine = Pixels(driver, *list, infoLine);
    list->ShowNextInfo();  // Airport, drawn at once without a paint message
    const auto airportLine = Pixels(driver, *list, infoLine);
    EXPECT_NE(dateLine, airportLine);
    EXPECT_EQ(Pixels(driver, *list, firstLine), namesBefore);
    list->ShowNextInfo();
    EXPECT_EQ(Pixels(driver, *list, infoLine), dateLine);
    EXPECT_EQ(infoBefore, dateLine);  // the date is the first field of a fresh list too
}

TEST_F(ListPaint, APictureChosenByDayOrNightIsDrawnAtTheStartOfTheRow) {
    OBControls::DayNightImageList pictures;
    ASSERT_TRUE(pictures.Create());
    OBData::CityGroup group;
    group.AddCity(kLondon);
    group.AddCity(kSydney);
    auto list = MakeList(group);
    list->SetImageList(&pictures);
    // Midnight in London, eleven in the morning in Sydney.
    list->SetTime(ZEP_Utility::DateTime(2026, 1, 1, 0, 0, 0), true);
    driver.RunUntilIdle();
    EXPECT_TRUE(OBData::IsNight(*group.GetCities()[0], list->GetTime()));
    EXPECT_FALSE(OBData::IsNight(*group.GetCities()[1], list->GetTime()));

    // The same pictures drawn by hand on white.
    auto drawn = [&](int index) {
        HDC screen = ::GetDC(nullptr);
        HDC dc = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        RECT all{0, 0, 16, 16};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        pictures.Draw(dc, index, 0, 0);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                pixels.push_back(::GetPixel(dc, x, y));
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
        ::ReleaseDC(nullptr, screen);
        return pixels;
    };
    const auto day = drawn(OBControls::DayNightImageList::kDay);
    const auto night = drawn(OBControls::DayNightImageList::kNight);
    ASSERT_NE(day, night);
    // London's row is selected (highlight behind the picture), so compare Sydney's.
    const RECT sydneyRow = list->GetRowRect(1);
    std::vector<COLORREF> shown = Pixels(driver, *list, RECT{1, sydneyRow.top, 17, sydneyRow.top + 16});
    EXPECT_EQ(shown, day);
    list->SetTime(ZEP_Utility::DateTime(2026, 1, 1, 12, 0, 0), true);  // Sydney at 11 at night
    driver.RunUntilIdle();
    shown = Pixels(driver, *list, RECT{1, sydneyRow.top, 17, sydneyRow.top + 16});
    EXPECT_EQ(shown, night);
}
