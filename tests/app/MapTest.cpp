// The world map: the night region against the sun's terminator at several
// widths, the shadow switch and the five-minute rule, the dot sizes on both
// screens, and the nearest city bar from the first tap to the last city.
#include "tests/app/ShellFixture.h"

#include <algorithm>

#include "app/MapView.h"
#include "geo/NearestCities.h"
#include "geo/Sun.h"
#include "model/AppSettings.h"
#include "time/DisplayFormats.h"
#include "data/City.h"
#include "data/Country.h"

namespace shelltest {
namespace {

using OBControls::MapControl;
using ob::ui::testing::UiDriver;
using OBControls::MapImage;
using ZEP_Utility::DateTime;

constexpr COLORREF kDay = RGB(200, 40, 40);
constexpr COLORREF kNight = RGB(20, 40, 200);

// A picture of one colour, standing in for a world picture.
HBITMAP Solid(COLORREF colour) {
    ZEP_Wnd::WindowDC screen(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 64, 32);
    ZEP_Wnd::MemoryDC dc(screen);
    ZEP_Wnd::SelectGuard select(dc, bitmap);
    ::SetDCBrushColor(dc, colour);
    const RECT all{0, 0, 64, 32};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    return bitmap;
}

// The map drawn into a surface of its own size.
struct Drawn {
    ZEP_Wnd::OffscreenBuffer surface;
    COLORREF At(int x, int y) const { return ::GetPixel(surface.GetDC(), x, y); }
};

void Draw(MapImage& map, Drawn& out) {
    ZEP_Wnd::WindowDC screen(nullptr);
    const RECT& r = map.GetRect();
    ASSERT_TRUE(out.surface.EnsureSize(screen, r.right, r.bottom));
    map.Draw(out.surface.GetDC(), 0, 0);
}

class MapPictures : public ::testing::Test {
protected:
    UiDriver ui{"240x320"};
};

TEST_F(MapPictures, EveryColumnGetsTheNightTheSunGivesItAtAnyWidth) {
    // June: night lies south of the curve; December: north of it.
    for (const DateTime& when : {DateTime(2026, 6, 21, 12, 0, 0), DateTime(2026, 12, 21, 3, 30, 0)}) {
        // 175 and 641 are widths where projecting each point's longitude
        // would put two points in one column and leave the next one out.
        for (int width : {240, 480, 175, 641}) {
            const int height = width / 2;
            MapImage map(Solid(kDay), Solid(kNight));
            map.SetTime(when);
            map.SetRect(RECT{0, 0, width, height});
            Drawn drawn;
            Draw(map, drawn);
            const OBData::Terminator sun = OBData::ComputeTerminator(when, width);
            ASSERT_EQ(static_cast<int>(sun.points.size()), width);
            const bool northDark = sun.southDeclination;
            EXPECT_EQ(northDark, when.GetMonth() == 12);
            for (int x = 0; x < width; ++x) {
                const OBData::Position& p = sun.points[static_cast<std::size_t>(x)];
                // The point of column x lies in column x (or the one before,
                // where its longitude ends a hair short of the column).
                EXPECT_NEAR(map.PositionToPixel(p).x, x, 1) << width;
                const int edge =
                    std::clamp(static_cast<int>((90 - p.GetLatitude()) * height / 180.0), 0, height);
                const int firstNight = northDark ? 0 : edge, endNight = northDark ? edge : height;
                const int pole = northDark ? 0 : height - 1;
                ASSERT_EQ(drawn.At(x, pole), kNight) << "width " << width << " column " << x;
                if (endNight > firstNight) {
                    ASSERT_EQ(drawn.At(x, firstNight), kNight) << "width " << width << " column " << x;
                    ASSERT_EQ(drawn.At(x, endNight - 1), kNight) << "width " << width << " column " << x;
                }
                if (northDark && edge < height) {
                    ASSERT_EQ(drawn.At(x, edge), kDay) << "width " << width << " column " << x;
                }
                if (!northDark && edge > 0) {
                    ASSERT_EQ(drawn.At(x, edge - 1), kDay) << "width " << width << " column " << x;
                }
            }
        }
    }
}

TEST_F(MapPictures, ShadowOffShowsTheDayPictureEverywhereAndOnlyASwitchComposes) {
    MapImage map(Solid(kDay), Solid(kNight));
    map.SetTime(DateTime(2026, 3, 20, 0, 0, 0));
    map.SetRect(RECT{0, 0, 240, 120});
    const int composed = map.GetComposeCount(), scaled = map.GetScaleCount();
    EXPECT_FALSE(map.SetShadow(true));  // already on
    EXPECT_EQ(map.GetComposeCount(), composed);
    EXPECT_TRUE(map.SetShadow(false));
    Drawn drawn;
    Draw(map, drawn);
    for (int y = 0; y < 120; y += 7)
        for (int x = 0; x < 240; ++x)
            ASSERT_EQ(drawn.At(x, y), kDay) << x << "," << y;
    EXPECT_TRUE(map.SetShadow(true));
    EXPECT_EQ(map.GetComposeCount(), composed + 2);
    EXPECT_EQ(map.GetScaleCount(), scaled) << "switching the shadow never scales the pictures";
    Draw(map, drawn);
    EXPECT_EQ(drawn.At(120, 60), kNight) << "at 00:00 UTC it is midnight at Greenwich";
    EXPECT_EQ(drawn.At(0, 60), kDay);
}

// The colour of step `level` (0 day .. 4 night) of the twilight over the two solid pictures.
COLORREF TwilightColour(int level) {
    if (level == 0)
        return kDay;
    const int share = MapImage::kTwilightShares[level - 1];
    const auto mix = [share](int day, int night) { return (day * (256 - share) + night * share) >> 8; };
    return RGB(mix(GetRValue(kDay), GetRValue(kNight)), mix(GetGValue(kDay), GetGValue(kNight)),
               mix(GetBValue(kDay), GetBValue(kNight)));
}

TEST_F(MapPictures, TwilightStepsFollowTheSunInEveryColumnAndOffIsThePlainShadowExactly) {
    for (const DateTime& when : {DateTime(2026, 3, 20, 15, 0, 0), DateTime(2026, 6, 21, 12, 0, 0),
                                 DateTime(2026, 12, 21, 3, 30, 0)}) {
        for (int width : {240, 481}) {
            const int height = width / 2;
            MapImage plain(Solid(kDay), Solid(kNight)), map(Solid(kDay), Solid(kNight));
            for (MapImage* m : {&plain, &map}) {
                m->SetTime(when);
                m->SetRect(RECT{0, 0, width, height});
            }
            EXPECT_TRUE(map.SetTwilight(true));
            Drawn lit;
            Draw(map, lit);
            const OBData::Terminator sun = OBData::ComputeTerminator(when, 0);
            const POINT mark = map.PositionToPixel(sun.SubsolarPoint());
            EXPECT_EQ(lit.At(mark.x, mark.y), MapImage::kSunFill);
            const auto row = [height](double latitude) {
                return std::clamp(static_cast<int>((90 - latitude) * height / 180.0), 0, height);
            };
            int seen[5] = {};
            for (int x = 0; x < width; ++x) {
                int top[4], bottom[4];
                for (int k = 0; k < 4; ++k) {
                    const double depression = k == 0 ? 0.0 : OBData::kTwilightDepressions[k - 1];
                    const OBData::LatitudeSpan dark =
                        OBData::DarkLatitudes(x * 360.0 / width - sun.subsolar, sun.declination, depression);
                    top[k] = dark.IsEmpty() ? 0 : dark.north >= 90 ? 0 : row(dark.north);
                    bottom[k] = dark.IsEmpty() ? 0 : dark.south <= -90 ? height : row(dark.south);
                }
                for (int y = 0; y < height; ++y) {
                    if (std::abs(x - mark.x) <= 12 && std::abs(y - mark.y) <= 12)
                        continue;  // the sun mark
                    int level = 0;
                    for (int k = 0; k < 4; ++k)
                        level += top[k] <= y && y < bottom[k];
                    ++seen[level];
                    ASSERT_EQ(lit.At(x, y), TwilightColour(level))
                        << when.GetMonth() << " width " << width << " at " << x << "," << y;
                }
            }
            for (int level = 0; level < 5; ++level)
                EXPECT_GT(seen[level], 0) << "step " << level << " in month " << when.GetMonth();
            // Off again: the single shadow, pixel for pixel.
            EXPECT_TRUE(map.SetTwilight(false));
            Drawn off, base;
            Draw(map, off);
            Draw(plain, base);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(off.At(x, y), base.At(x, y)) << x << "," << y;
        }
    }
}

TEST_F(MapPictures, UndecodablePicturesLeaveAPlainMapAndProjectionHoldsAtTheEdges) {
    MapImage map(nullptr, nullptr);
    map.SetRect(RECT{0, 0, 240, 120});
    map.SetShadow(false);
    Drawn drawn;
    Draw(map, drawn);
    EXPECT_EQ(drawn.At(10, 10), MapImage::kPlainDay);
    // Longitude +180 lies one pixel past the last column; latitude -90 on the bottom edge.
    EXPECT_EQ(map.PositionToPixel(OBData::Position(-90, 180)).x, 240);
    EXPECT_EQ(map.PositionToPixel(OBData::Position(-90, 180)).y, 120);
    EXPECT_EQ(map.PositionToPixel(OBData::Position(90, -180)).y, 0);
    const OBData::Position back = map.PixelToPosition(60, 30);
    EXPECT_DOUBLE_EQ(back.GetLongitude(), -90);
    EXPECT_DOUBLE_EQ(back.GetLatitude(), 45);
}

TEST_F(MapPictures, AMapTooLargeForItsPicturesIsDrawnPlainNotLeftUnpainted) {
    // Beyond what a bitmap may take, as when memory runs out: no scaled
    // pictures and no composite can be had.
    MapImage map(Solid(kDay), Solid(kNight));
    map.SetRect(RECT{0, 0, 12000, 6000});
    ZEP_Wnd::WindowDC screen(nullptr);
    ZEP_Wnd::OffscreenBuffer small;
    ASSERT_TRUE(small.EnsureSize(screen, 100, 50));
    map.Draw(small.GetDC(), 0, 0);
    EXPECT_EQ(::GetPixel(small.GetDC(), 50, 25), MapImage::kPlainDay);
}

TEST_F(MapPictures, TheShadowMovesOnlyAfterMoreThanFiveMinutesEitherWay) {
    ZEP_Wnd::RegisterWindowClass(L"MapTestHost", nullptr, nullptr, nullptr);
    ZEP_Wnd::Window host;
    ASSERT_TRUE(host.Create(L"MapTestHost", L"", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 240, 200}, nullptr, 0));
    MapControl control(Solid(kDay), Solid(kNight));
    ASSERT_TRUE(control.Create(host.GetHandle(), RECT{0, 0, 240, 120}, 10002));
    ui.RunUntilIdle();
    const MapImage& image = control.GetImage();
    const DateTime start = image.GetTime();
    const int composed = image.GetComposeCount();
    control.SetTime(start + ZEP_Utility::TimeSpan(0, 0, 5, 0));
    EXPECT_EQ(image.GetComposeCount(), composed);
    const DateTime later = start + ZEP_Utility::TimeSpan(0, 0, 5, 1);
    control.SetTime(later);
    EXPECT_EQ(image.GetComposeCount(), composed + 1);
    EXPECT_EQ(image.GetTime(), later);
    // Earlier times count by their distance.
    control.SetTime(later - ZEP_Utility::TimeSpan(0, 0, 5, 0));
    EXPECT_EQ(image.GetComposeCount(), composed + 1);
    control.SetTime(later - ZEP_Utility::TimeSpan(0, 0, 5, 1));
    EXPECT_EQ(image.GetComposeCount(), composed + 2);
    host.Destroy();
}

TEST_F(MapPictures, AreaScalingAveragesWhatEachPixelCovers) {
    ZEP_Wnd::WindowDC screen(nullptr);
    OBControls::PixelSurface from, to;
    ASSERT_TRUE(from.Make(screen, 3, 2));
    // Rows: red 0, 90, 180 across; the second row the same in blue.
    const std::uint32_t pixels[] = {0x000000, 0x5A0000, 0xB40000, 0x000000, 0x00005A, 0x0000B4};
    std::copy(std::begin(pixels), std::end(pixels), from.Pixels());
    ASSERT_TRUE(to.Make(screen, 2, 1));
    OBControls::AreaScale(from, to);
    // Each target pixel covers one and a half source pixels across and both rows down:
    // left (0 + 90 / 2) / 1.5 = 30 of red and of blue, right (90 / 2 + 180) / 1.5 = 150.
    EXPECT_EQ(to.Pixels()[0], 0x0F000Fu);
    EXPECT_EQ(to.Pixels()[1], 0x4B004Bu);
    // A growing side is left to the platform's stretch: nothing is written.
    OBControls::PixelSurface wide;
    ASSERT_TRUE(wide.Make(screen, 4, 1));
    OBControls::AreaScale(from, wide);
    EXPECT_EQ(wide.Pixels()[0], 0u);
}

// The bounding box of the home city's dot on the screen.
RECT HomeDotBox(ShellFixture& shell) {
    MapControl* map = shell.Main()->GetMapView().GetMapControl();
    POINT p = map->GetImage().PositionToPixel(shell.Group().GetHomeCity()->GetPosition());
    ::ClientToScreen(map->GetHandle(), &p);
    RECT box{p.x, p.y, p.x, p.y};
    for (int y = p.y - 8; y <= p.y + 8; ++y)
        for (int x = p.x - 8; x <= p.x + 8; ++x) {
            const COLORREF c = shell.ui.Pixel(x, y);
            if (c == MapImage::kHomeFill || c == MapImage::kOutline) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    return box;
}

TEST(MapDots, FiveByFiveOnTheSmallScreenAndSevenBySevenOnTheLarge) {
    for (const auto& [screen, size] : {std::pair{"240x320", 5}, std::pair{"480x640", 7}}) {
        ShellFixture shell(screen);
        shell.WriteSettings("cities,234\r\nshadow,0\r\n");  // London
        ASSERT_TRUE(shell.Start());
        const RECT box = HomeDotBox(shell);
        EXPECT_EQ(box.right - box.left, size) << screen;
        EXPECT_EQ(box.bottom - box.top, size) << screen;
    }
}

class MapBar : public ::testing::Test, public ShellFixture {
protected:
    void SetUp() override {
        WriteSettings(std::string(kTwelveCities) + "tab,0\r\n");
        ASSERT_TRUE(Start());
    }
    MapView& View() { return Main()->GetMapView(); }
    MapControl& Map() { return *View().GetMapControl(); }
    NearestCityInfoBar& Bar() { return View().GetInfoBar(); }
    // Taps the map at client pixel (x, y); returns the city the search puts first.
    int TapMap(int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(Map().GetHandle(), &p);
        ui.Tap(p);
        std::vector<OBData::NearestCity> expected;
        OBData::FindNearestCities(Map().GetImage().PixelToPosition(x, y), expected);
        return expected.front().cityId;
    }
    void Press(int button) { ui.Tap(Bar().GetButton(button).GetHandle()); }
    bool Enabled(int button) { return ::IsWindowEnabled(Bar().GetButton(button).GetHandle()) != FALSE; }
    int ListTop() { return View().GetListControl()->GetWindowRect().top; }
};

TEST_F(MapBar, TapStepsToTheFarthestCityRestartsClosesAndComesBack) {
    EXPECT_FALSE(Bar().IsVisible());
    const RECT map = Map().GetWindowRect();
    EXPECT_EQ(ListTop(), map.bottom);

    const int nearest = TapMap(60, 40);
    ASSERT_TRUE(Bar().IsVisible());
    ASSERT_NE(Bar().GetCurrentCity(), nullptr);
    EXPECT_EQ(Bar().GetCurrentCity()->GetId(), nearest);
    EXPECT_EQ(Map().GetImage().GetSelectedCity(), Bar().GetCurrentCity());
    EXPECT_FALSE(Enabled(NearestCityInfoBar::kNearerButton));
    EXPECT_TRUE(Enabled(NearestCityInfoBar::kFurtherButton));
    EXPECT_EQ(Bar().GetWindowRect().top, map.bottom);
    EXPECT_EQ(ListTop(), Bar().GetWindowRect().bottom);
    ui.Screenshot(UiDriver::OutputPath("map_bar_first_tap_qvga.png"));

    // Out to the farthest of the 578 cities.
    ASSERT_EQ(Bar().GetCandidateCount(), 578);
    std::vector<OBData::NearestCity> all;
    OBData::FindNearestCities(Map().GetImage().PixelToPosition(60, 40), all);
    const int last = static_cast<int>(all.size()) - 1;
    for (int i = 0; i < last; ++i)
        Press(NearestCityInfoBar::kFurtherButton);
    EXPECT_EQ(Bar().GetIndex(), last);
    EXPECT_EQ(Bar().GetCurrentCity()->GetId(), all.back().cityId);
    EXPECT_FALSE(Enabled(NearestCityInfoBar::kFurtherButton));
    EXPECT_TRUE(Enabled(NearestCityInfoBar::kNearerButton));
    EXPECT_EQ(Map().GetImage().GetSelectedCity(), Bar().GetCurrentCity()) << "the cross follows the steps";
    Press(NearestCityInfoBar::kNearerButton);
    EXPECT_EQ(Bar().GetIndex(), last - 1);

    // A second tap starts again from the nearest city of the new point.
    const int second = TapMap(180, 90);
    EXPECT_EQ(Bar().GetIndex(), 0);
    EXPECT_EQ(Bar().GetCurrentCity()->GetId(), second);
    EXPECT_FALSE(Enabled(NearestCityInfoBar::kNearerButton));

    // Close gives the space back to the list; the next tap brings the bar back.
    Press(NearestCityInfoBar::kCloseButton);
    EXPECT_FALSE(Bar().IsVisible());
    EXPECT_EQ(ListTop(), map.bottom);
    EXPECT_EQ(Map().GetImage().GetSelectedCity(), nullptr);
    TapMap(100, 60);
    EXPECT_TRUE(Bar().IsVisible());
    EXPECT_EQ(ListTop(), Bar().GetWindowRect().bottom);
}

TEST_F(MapBar, AddSavesOnceEvenForACityAlreadyChosenAndRowsHighlightTheirDots) {
    TapMap(120, 50);
    const OBData::City* city = Bar().GetCurrentCity();
    ASSERT_NE(city, nullptr);
    const bool chosen = Group().IndexOf(city->GetId()) >= 0;
    Press(NearestCityInfoBar::kAddButton);
    const int count = Group().GetCount();
    EXPECT_EQ(count, chosen ? 12 : 13);
    // Again: the city is in the list now, which stays as it is, and is saved.
    RemoveSettings();
    Press(NearestCityInfoBar::kAddButton);
    EXPECT_EQ(Group().GetCount(), count);
    EXPECT_TRUE(SettingsExist());
    const std::string stored = StoredValue("cities");
    EXPECT_EQ(std::count(stored.begin(), stored.end(), ';'), count - 1) << stored;
    EXPECT_EQ(Map().GetImage().GetCityGroup(), &Group());

    ActiveList()->SelectRow(3);
    EXPECT_EQ(Map().GetImage().GetHighlightedRows(), std::vector<int>{3});
}

TEST_F(MapBar, ADotTapSelectsItsRowAndTheBarTellsTimeCountryAndDistance) {
    const OBData::City* city = Group().GetCities()[5];
    const POINT dot = Map().GetImage().PositionToPixel(city->GetPosition());
    // Beside the dot, not on it, still counts.
    POINT p{dot.x + 3, dot.y - 2};
    ::ClientToScreen(Map().GetHandle(), &p);
    ui.Tap(p);
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 5);
    ASSERT_EQ(Bar().GetCurrentCity(), city);

    const DateTime now = DateTime::UtcNow();
    const int format = GetAppSettings().GetMainTimeFormat();
    NearestCityInfoBar::Facts facts = Bar().GetFacts();
    EXPECT_EQ(facts.time, OBData::FormatClockTime(format, city->GetLocalTime(now)));
    EXPECT_EQ(facts.country, city->GetCountry()->GetDisplayName());
    EXPECT_EQ(facts.distance, OBData::Distance(Group().GetHomeCity()->GetDistance(*city), OBData::kKilometres)
                                  .Format(GetAppSettings().GetUnits(), true));
    // The clock moves the bar's time with it.
    const DateTime later = now.AddMinutes(90);
    View().SetTime(later);
    EXPECT_EQ(Bar().GetFacts().time, OBData::FormatClockTime(format, city->GetLocalTime(later)));

    // The named city's dot is lit as a selected row's is, under the cross.
    ui.RunUntilIdle();
    POINT lit{dot.x + 2, dot.y + 2};
    ::ClientToScreen(Map().GetHandle(), &lit);
    EXPECT_EQ(ui.Pixel(lit.x, lit.y), MapImage::kHighlightFill);
    ui.Screenshot(UiDriver::OutputPath("map_bar_city_qvga.png"));

    // Home: no distance from itself.
    const POINT home = Map().GetImage().PositionToPixel(Group().GetHomeCity()->GetPosition());
    POINT h = home;
    ::ClientToScreen(Map().GetHandle(), &h);
    ui.Tap(h);
    EXPECT_EQ(ActiveList()->GetSelectedRow(), 0);
    EXPECT_EQ(Bar().GetFacts().distance, L"");
}

TEST_F(MapBar, TheKeyboardMovesIntoTheMapStepsNamesAndLeaves) {
    ::SetFocus(ActiveList()->GetHandle());
    ui.Key(MapView::kMapKey);
    ui.RunUntilIdle();
    ASSERT_EQ(::GetFocus(), Map().GetHandle());
    const RECT client = Map().GetClientRect();
    ASSERT_TRUE(Map().GetImage().GetCursor().has_value());
    const POINT start = *Map().GetImage().GetCursor();
    EXPECT_EQ(start.x, client.right / 2) << "with no city named the ring starts mid-map";

    const int step = Map().GetCursorStep();
    ui.Key(VK_RIGHT);
    ui.Key(VK_RIGHT);
    ui.Key(VK_UP);
    ui.RunUntilIdle();
    const POINT moved = *Map().GetImage().GetCursor();
    EXPECT_EQ(moved.x, start.x + 2 * step);
    EXPECT_EQ(moved.y, start.y - step);

    // Enter names the nearest city as a tap there would, and the ring moves onto it.
    std::vector<OBData::NearestCity> expected;
    OBData::FindNearestCities(Map().GetImage().PixelToPosition(moved.x, moved.y), expected);
    ui.Key(VK_RETURN);
    ui.RunUntilIdle();
    ASSERT_TRUE(Bar().IsVisible());
    const OBData::City* named = Bar().GetCurrentCity();
    ASSERT_NE(named, nullptr);
    if (Group().IndexOf(named->GetId()) < 0) {  // a chosen city's dot would have taken the tap
        EXPECT_EQ(named->GetId(), expected.front().cityId);
    }
    const POINT ring = *Map().GetImage().GetCursor();
    const POINT city = Map().GetImage().PositionToPixel(named->GetPosition());
    EXPECT_TRUE(ring.x == std::min<LONG>(city.x, client.right - 1) && ring.y == city.y);
    ui.Screenshot(UiDriver::OutputPath("map_keyboard_qvga.png"));

    // The ring stays in the map at its edges.
    for (int i = 0; i < 200; ++i)
        ui.Key(VK_LEFT);
    ui.RunUntilIdle();
    EXPECT_EQ(Map().GetImage().GetCursor()->x, 0);

    // Escape closes the bar, then gives the keyboard back to the list.
    ui.Key(VK_ESCAPE);
    ui.RunUntilIdle();
    EXPECT_FALSE(Bar().IsVisible());
    EXPECT_EQ(::GetFocus(), Map().GetHandle());
    ui.Key(VK_ESCAPE);
    ui.RunUntilIdle();
    EXPECT_EQ(::GetFocus(), ActiveList()->GetHandle());
    EXPECT_FALSE(Map().GetImage().GetCursor().has_value());
}

TEST(MapList, TheTwoLineOptionGivesOneLineRowsWhenOff) {
    for (const bool twoLines : {true, false}) {
        ShellFixture shell;
        shell.WriteSettings(std::string(kTwelveCities) + "cityview_extrainfo," + (twoLines ? "1" : "0") +
                            "\r\n");
        ASSERT_TRUE(shell.Start());
        OBControls::CityGroupListCtrl& list = *shell.Main()->GetMapView().GetListControl();
        EXPECT_EQ(list.GetFlags(), twoLines ? 1u : 3u);
        // Switched in Options: the list follows at once.
        GetAppSettings().SetCityViewExtraInfo(!twoLines);
        shell.Main()->GetMapView().ApplySettings();
        EXPECT_EQ(list.GetFlags(), twoLines ? 3u : 1u);
        if (twoLines)
            shell.ui.Screenshot(UiDriver::OutputPath("map_one_line_qvga.png"));
    }
}

// The bar's buttons on both screens: sizes, tips and their places.
class MapBarLayout : public ::testing::TestWithParam<std::string> {};

TEST_P(MapBarLayout, ButtonsLineUpFromTheRightWithTheArrowsStacked) {
    ShellFixture shell(GetParam());
    shell.WriteSettings(kTwelveCities);
    ASSERT_TRUE(shell.Start());
    MapView& view = shell.Main()->GetMapView();
    const RECT mapRect = view.GetMapControl()->GetWindowRect();
    POINT tap{(mapRect.left + mapRect.right) / 3, (mapRect.top + mapRect.bottom) / 3};
    shell.ui.Tap(tap);
    NearestCityInfoBar& bar = view.GetInfoBar();
    ASSERT_TRUE(bar.IsVisible());
    const int side = GetParam() == "480x640" ? 28 : 14;
    auto rect = [&](int id) { return bar.GetButton(id).GetWindowRect(); };
    const RECT barRect = bar.GetWindowRect();
    const int inset = NearestCityInfoBar::kBorder + 1;
    EXPECT_EQ(rect(1004).right, barRect.right - inset);
    for (int id : {1004, 1003, 1002, 1001}) {
        EXPECT_EQ(rect(id).right - rect(id).left, side);
        EXPECT_EQ(rect(id).bottom - rect(id).top, side);
        EXPECT_EQ(rect(id).top, barRect.top + inset);
        if (id != 1004) {
            EXPECT_EQ(rect(id).right, rect(id + 1).left - 2);
        }
    }
    EXPECT_EQ(rect(1005).right, rect(1001).left - 16);
    EXPECT_EQ(rect(1006).right, rect(1005).right);
    EXPECT_EQ(rect(1005).bottom - rect(1005).top, side / 2);
    EXPECT_EQ(rect(1006).top, rect(1005).bottom);
    EXPECT_EQ(barRect.bottom - barRect.top, bar.GetHeight());
    EXPECT_GE(bar.GetHeight(), side + 4);
    const wchar_t* tips[] = {L"City information",   L"Add this city", L"Show the nearby cities",
                             L"Close the info bar", L"Nearer city",   L"Further city"};
    for (int id = 1001; id <= 1006; ++id)
        EXPECT_EQ(bar.GetButton(id).GetToolTipText(), tips[id - 1001]);
    shell.ui.Screenshot(UiDriver::OutputPath("map_bar_" + GetParam() + ".png"));
}

INSTANTIATE_TEST_SUITE_P(Densities, MapBarLayout, ::testing::Values("240x320", "480x640"));

}  // namespace
}  // namespace shelltest
