// The HTML viewer: any page is parsed, laid out at 240 pixels and drawn.
#include "fuzz/FuzzInput.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Windows.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/html/HtmlDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static HDC dc = [] {
        ob::ui::SetScreenDpi(96);
        HDC memory = ::CreateCompatibleDC(nullptr);
        ::SelectObject(memory, ::CreateCompatibleBitmap(memory, 240, 320));
        // The font caches fill once, before any input is judged for leaks.
        ob::ui::HtmlDocument warm;
        warm.SetHtml(L"<p>a <b>b</b> <i>c</i> <small>d</small> <h1>e</h1></p>");
        warm.Layout(240);
        const RECT area{0, 0, 240, 320};
        warm.Draw(memory, area, 0);
        return memory;
    }();
    ob::ui::HtmlDocument page;
    page.SetBaseFolder("/nonexistent");
    page.SetHtml(ob::ui::KeepBlankLines(ob::fuzz::Wide(ob::fuzz::AsText(data, size))));
    page.Layout(240);
    const RECT area{0, 0, 240, 320};
    page.Draw(dc, area, 0);
    page.Draw(dc, area, page.ContentHeight() / 2);
    page.Title();
    return 0;
}
