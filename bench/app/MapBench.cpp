// The world map's costs: decoding the two pictures, composing the night
// (terminator, region and clipped copy; or the twilight steps), one paint
// with twelve dots, a resize (both pictures scaled again), the program's
// start to its first painted frame on the map view against the time planner,
// and the desktop window resized at 1200x900 (the screen, every window's
// layout, a repaint).
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>

#include "app/AppMainWindow.h"
#include "app/ImageLoaders.h"
#include "app/MapImage.h"
#include "app/OrbellineApp.h"
#include "data/ReferenceLookup.h"
#include "data/ReferenceTables.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "platform/kernel/WideText.h"
#include "platform/ui/display/Display.h"
#include "platform/ui/testing/UiDriver.h"
#include "resources/Resources.h"
#include "wnd/Paint.h"

namespace {

HBITMAP Picture(unsigned id) {
    const HRSRC resource =
        ::FindResource(nullptr, MAKEINTRESOURCE(static_cast<int>(id)), OBResources::kImageResourceType);
    OBControls::MemImageLoader loader;
    return loader.Load(::LockResource(::LoadResource(nullptr, resource)),
                       ::SizeofResource(nullptr, resource));
}

std::unique_ptr<OBControls::MapImage> MakeMap(int width, int height) {
    auto map = std::make_unique<OBControls::MapImage>(Picture(OBResources::kWorldDayImage),
                                                      Picture(OBResources::kWorldNightImage));
    map->SetTime(ZEP_Utility::DateTime(2026, 6, 21, 18, 0, 0));
    map->SetRect(RECT{0, 0, width, height});
    return map;
}

void BM_MapDecodeBothPictures(benchmark::State& state) {
    ob::ui::testing::UiDriver ui("480x640");
    OBResources::RegisterResources();
    for (auto _ : state) {
        ZEP_Wnd::OwnedBitmap day(Picture(OBResources::kWorldDayImage));
        ZEP_Wnd::OwnedBitmap night(Picture(OBResources::kWorldNightImage));
        benchmark::DoNotOptimize(day.Get());
        benchmark::DoNotOptimize(night.Get());
    }
}
BENCHMARK(BM_MapDecodeBothPictures)->Unit(benchmark::kMillisecond);

// A new shadow time: the terminator, the night region and the two copies.
void BM_MapRecompose480x240(benchmark::State& state) {
    ob::ui::testing::UiDriver ui("480x640");
    OBResources::RegisterResources();
    auto map = MakeMap(480, 240);
    ZEP_Utility::DateTime t(2026, 6, 21, 18, 0, 0);
    for (auto _ : state) {
        t = t.AddMinutes(7);
        map->SetTime(t);
    }
    state.counters["composed"] = map->GetComposeCount();
}
BENCHMARK(BM_MapRecompose480x240)->Unit(benchmark::kMicrosecond);

// The same with twilight: four dark spans a column, the blended steps and
// the sun mark.
void BM_MapRecomposeTwilight480x240(benchmark::State& state) {
    ob::ui::testing::UiDriver ui("480x640");
    OBResources::RegisterResources();
    auto map = MakeMap(480, 240);
    map->SetTwilight(true);
    ZEP_Utility::DateTime t(2026, 6, 21, 18, 0, 0);
    for (auto _ : state) {
        t = t.AddMinutes(7);
        map->SetTime(t);
    }
    state.counters["composed"] = map->GetComposeCount();
}
BENCHMARK(BM_MapRecomposeTwilight480x240)->Unit(benchmark::kMicrosecond);

void BM_MapPaintWith12Dots(benchmark::State& state) {
    ob::ui::testing::UiDriver ui("480x640");
    OBResources::RegisterResources();
    OBData::LoadReferenceTables();
    OBData::CityGroup group;
    for (int id = 1; group.GetCount() < 12; ++id)
        group.AddCity(id);
    auto map = MakeMap(480, 240);
    map->SetCityGroup(&group);
    map->SetDotSizes(2, 2);
    map->SetHighlightedRows({3});
    map->SetSelectedCity(group.GetCities()[5]);
    ZEP_Wnd::WindowDC screen(nullptr);
    ZEP_Wnd::OffscreenBuffer target;
    target.EnsureSize(screen, 480, 240);
    for (auto _ : state)
        map->Draw(target.GetDC(), 0, 0);
}
BENCHMARK(BM_MapPaintWith12Dots)->Unit(benchmark::kMicrosecond);

// One resize: both pictures scaled to the new size, then composed. The map
// goes back and forth between the given size and one pixel narrower, as a
// rotation would move it between two sizes.
void BM_MapResize(benchmark::State& state) {
    ob::ui::testing::UiDriver ui("480x640");
    OBResources::RegisterResources();
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    auto map = MakeMap(width, height);
    bool narrow = false;
    for (auto _ : state) {
        narrow = !narrow;
        map->SetRect(RECT{0, 0, width - (narrow ? 1 : 0), height});
    }
}
BENCHMARK(BM_MapResize)->Args({240, 120})->Args({480, 240})->Args({640, 200})->Unit(benchmark::kMillisecond);

// The program from its start to the first painted frame, headless at VGA
// with twelve cities: argument 0 the map view, 1 the time planner.
void BM_StartToFirstFrame(benchmark::State& state) {
    ob::ui::testing::UiDriver ui("480x640");
    std::ofstream(ob::kernel::ToUtf8(GetSettingsFilePath())) << "cities,1;2;3;4;5;6;7;8;9;10;11;12\r\n";
    const int view = static_cast<int>(state.range(0));
    for (auto _ : state) {
        GetAppSettings() = AppSettings();
        auto app = std::make_unique<OrbellineApp>();
        app->SetSingleInstance(false);
        app->SetStartDownloader(false);
        app->SetAskForHomeCity(false);
        app->SetStartView(view);
        if (!app->InitInstance()) {
            state.SkipWithError("the main window could not be made");
            break;
        }
        ui.RunUntilIdle();
        state.PauseTiming();
        // File > Exit, then the rest of the shut-down.
        ::SendMessage(app->GetAppMainWindow()->GetHandle(), WM_COMMAND, kCmdExit, 0);
        app->ExitInstance();
        app.reset();
        MSG msg;
        while (::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        ui.RunUntilIdle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToFirstFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The desktop window dragged a few pixels at 1200x900 and 192 dpi with twelve
// cities: the screen takes the new size, the shell, the main window and the
// view lay themselves out (the map scales its pictures again) and everything
// is repainted. Argument 0 the map view, 1 the time planner. A frame is 16 ms.
void BM_WindowResize1200x900(benchmark::State& state) {
    ob::ui::testing::UiDriver ui("1200x900@192");
    std::ofstream(ob::kernel::ToUtf8(GetSettingsFilePath())) << "cities,1;2;3;4;5;6;7;8;9;10;11;12\r\n";
    GetAppSettings() = AppSettings();
    OrbellineApp app;
    app.SetSingleInstance(false);
    app.SetStartDownloader(false);
    app.SetAskForHomeCity(false);
    app.SetStartView(static_cast<int>(state.range(0)));
    if (!app.InitInstance()) {
        state.SkipWithError("the main window could not be made");
        return;
    }
    ui.RunUntilIdle();
    bool smaller = false;
    for (auto _ : state) {
        smaller = !smaller;
        ob::ui::ResizeScreen(ob::ui::ScreenMode{smaller ? 1192 : 1200, smaller ? 894 : 900, 192});
        ui.RunUntilIdle();
    }
    ::SendMessage(app.GetAppMainWindow()->GetHandle(), WM_COMMAND, kCmdExit, 0);
    app.ExitInstance();
}
BENCHMARK(BM_WindowResize1200x900)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
