// Window-system costs: a whole VGA screen of windows repainted through the
// message loop (invalidation, WM_PAINT order, erasing, the DCs on the
// screen), and the plain cost of posting and dispatching messages.
#include "platform/ui/Windows.h"
#include "platform/ui/testing/UiDriver.h"

#include <benchmark/benchmark.h>

namespace {

LRESULT RowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        SetBkMode(dc, TRANSPARENT);
        DrawText(dc, L"Amsterdam  14:05  Tue 8 Dec", -1, &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        MoveToEx(dc, 0, rc.bottom - 1, nullptr);
        LineTo(dc, rc.right, rc.bottom - 1);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

// A full-screen frame with twelve child rows, each erased by its class brush
// and drawing a line of text and a rule.
void BM_RepaintVgaThroughTheLoop(benchmark::State& state) {
    ob::ui::testing::UiDriver ui("480x640");
    WNDCLASS wc{};
    wc.lpfnWndProc = RowProc;
    wc.lpszClassName = L"BenchRow";
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClass(&wc);
    HWND frame = CreateWindowEx(0, L"BenchRow", L"Bench", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    RECT rc;
    GetClientRect(frame, &rc);
    int rowHeight = rc.bottom / 12;
    for (int i = 0; i < 12; ++i)
        CreateWindowEx(0, L"BenchRow", L"", WS_CHILD | WS_VISIBLE, 0, i * rowHeight, rc.right, rowHeight,
                       frame, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(100 + i)), nullptr,
                       nullptr);
    ui.RunUntilIdle();
    for (auto _ : state) {
        RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        benchmark::DoNotOptimize(ui.RunUntilIdle());
    }
}
BENCHMARK(BM_RepaintVgaThroughTheLoop)->Unit(benchmark::kMicrosecond);

void BM_PostAndDispatch1000(benchmark::State& state) {
    ob::ui::testing::UiDriver ui("240x320");
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = L"BenchSink";
    RegisterClass(&wc);
    HWND sink = CreateWindowEx(0, L"BenchSink", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i)
            PostMessage(sink, WM_USER, static_cast<WPARAM>(i), 0);
        benchmark::DoNotOptimize(ui.RunUntilIdle());
    }
}
BENCHMARK(BM_PostAndDispatch1000)->Unit(benchmark::kMicrosecond);

}  // namespace
