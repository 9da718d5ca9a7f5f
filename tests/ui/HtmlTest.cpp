// The HTML viewer: layout of the master stylesheet's elements, local
// pictures only, and the control's messages, painting and scrolling.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/kernel/WideText.h"
#include "platform/ui/Controls.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/html/HtmlControl.h"
#include "platform/ui/html/HtmlDocument.h"
#include "platform/ui/image/ImageCodec.h"
#include "platform/ui/testing/UiDriver.h"
#include "support/TempFolder.h"

using ob::ui::HtmlDocument;
using ob::ui::testing::UiDriver;

namespace {

// A 24x24 orange disc with a transparent surround, as a PNG file.
std::string SunPicture() {
    static const ob::test::TestFolder folder;
    const std::filesystem::path path = folder.File("sun.png");
    ob::ui::Surface s(24, 24, true);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            if ((x - 12) * (x - 12) + (y - 12) * (y - 12) < 100)
                s.At(x, y) = 0xFFFF8000u;
    ob::ui::SavePng(s, path.string());
    return path.string();
}

int HeightOf(const std::wstring& html, int width = 200) {
    HtmlDocument doc;
    doc.SetHtml(html);
    return doc.Layout(width);
}

// The page drawn on white into a width x height bitmap: its pixels, row by row.
std::vector<COLORREF> Drawn(HtmlDocument& doc, int width, int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, width, height);
    SelectObject(dc, bmp);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    doc.Draw(dc, all, 0);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    DeleteDC(dc);
    DeleteObject(bmp);
    return pixels;
}

// How many pixels of a 100x60 drawing of the page, within the box, have the colour.
constexpr COLORREF kOrange = RGB(255, 128, 0);
int PixelsIn(HtmlDocument& doc, COLORREF colour, RECT box = {0, 0, 100, 60}) {
    const std::vector<COLORREF> pixels = Drawn(doc, 100, 60);
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            count += pixels[y * 100 + x] == colour;
    return count;
}

TEST(Html, BreaksSmallTextAndBlankLinesLayOutAsInBrowsers) {
    ob::ui::SetScreenDpi(96);
    const int one = HeightOf(L"<body>One</body>");
    const int two = HeightOf(L"<body>One<br>Two</body>");
    const int blank = HeightOf(L"<body>One<br><br>Two</body>");
    EXPECT_GT(one, 0);
    EXPECT_GT(two, one);
    EXPECT_NEAR(blank - two, two - one, 2);  // the blank line is a full line
    // A break after inline markup breaks too.
    EXPECT_EQ(HeightOf(L"<body><b>One</b><br>Two</body>"), two);
    // <small> is smaller than body text.
    auto width = [](const std::wstring& html) {
        // The rightmost inked column of the drawn page.
        HtmlDocument doc;
        doc.SetHtml(html);
        doc.Layout(400);
        const std::vector<COLORREF> pixels = Drawn(doc, 400, 30);
        int right = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i)
            if (pixels[i] != RGB(255, 255, 255))
                right = std::max(right, static_cast<int>(i % 400));
        return right;
    };
    const std::wstring word = L"Wolverhampton-Birmingham-Coventry";
    EXPECT_LT(width(L"<body><small>" + word + L"</small></body>"), width(L"<body>" + word + L"</body>"));
    // Text sizes follow the density.
    ob::ui::SetScreenDpi(192);
    EXPECT_GT(HeightOf(L"<body>One<br>Two</body>"), two * 3 / 2);
    ob::ui::SetScreenDpi(96);
    EXPECT_EQ(ob::ui::KeepBlankLines(L"a<br> <BR/>b"), L"a<br> &nbsp;<BR/>b");
    EXPECT_EQ(ob::ui::KeepBlankLines(L"a<br>b<br>c"), L"a<br>b<br>c");
}

TEST(Html, TablesAndLocalPicturesButNeverTheNetwork) {
    ob::ui::SetScreenDpi(96);
    const std::string sun = SunPicture();
    const std::wstring url = L"file://" + ob::kernel::FromUtf8(sun);
    // A picture in a table cell beside text: one row as tall as the picture.
    const int row = HeightOf(L"<table><tr><td><img src=\"" + url + L"\"></td><td>Sunny</td></tr></table>");
    EXPECT_GE(row, 24);
    EXPECT_LE(row, 24 + 16);
    // Network addresses are not fetched; the page still lays out.
    const int net = HeightOf(L"<body><img src=\"http://example.invalid/x.png\">x</body>");
    EXPECT_LT(net, 24);
    // Relative addresses start at the base folder.
    HtmlDocument doc;
    doc.SetBaseFolder(std::filesystem::path(sun).parent_path().string());
    doc.SetHtml(L"<body><img src=\"" + ob::kernel::FromUtf8(std::filesystem::path(sun).filename().string()) +
                L"\"></body>");
    EXPECT_GE(doc.Layout(200), 24);
    // Drawing lays the picture over the page with its transparency.
    EXPECT_GT(PixelsIn(doc, kOrange), 200);
    EXPECT_GT(PixelsIn(doc, RGB(255, 255, 255)), 5000);
    std::remove(sun.c_str());
}

TEST(Html, BackgroundPicturesTileOnlyWhereTheyCanBeSeen) {
    ob::ui::SetScreenDpi(96);
    const std::string sun = SunPicture();
    const std::wstring url = ob::kernel::FromUtf8(sun);
    auto page = [&](const std::wstring& style) {
        auto doc = std::make_unique<HtmlDocument>();
        doc->SetHtml(
            L"<body style=\"margin:0\"><div style=\"width:100px;height:60px;background:url('file://" + url +
            L"') " + style + L"\"></div></body>");
        doc->Layout(100);
        return doc;
    };
    // Repeated, the disc shows in every tile, the partial ones at the edges too;
    // not repeated, only in the first.
    auto tiled = page(L"repeat");
    EXPECT_GT(PixelsIn(*tiled, kOrange, {72, 48, 100, 60}), 20);
    EXPECT_GT(PixelsIn(*tiled, kOrange, {24, 24, 48, 48}), 250);
    auto across = page(L"repeat-x");
    EXPECT_GT(PixelsIn(*across, kOrange, {72, 0, 96, 24}), 250);
    EXPECT_EQ(PixelsIn(*across, kOrange, {0, 24, 100, 60}), 0);
    auto once = page(L"no-repeat 30px 20px");
    EXPECT_GT(PixelsIn(*once, kOrange, {30, 20, 54, 44}), 250);
    EXPECT_EQ(PixelsIn(*once, kOrange), PixelsIn(*once, kOrange, {30, 20, 54, 44}));
    // A box far larger than any screen with a one-pixel tile draws what is seen, at once.
    HtmlDocument huge;
    huge.SetHtml(
        L"<body style=\"margin:0\"><div style=\"width:2000000000px;height:2000000000px;"
        L"background:url('file://" +
        url + L"') repeat -1000000001px -7px;background-size:1px 1px\"></div></body>");
    huge.Layout(100);
    EXPECT_GE(PixelsIn(huge, kOrange), 0);
    std::remove(sun.c_str());
}

// A page much taller than the screen, with bold, small text, a table and a picture.
std::wstring LongPage(const std::wstring& picture) {
    std::wstring page =
        L"<html><head><title>Aberdeen</title></head><body><b>Aberdeen</b>, United Kingdom<br>"
        L"<small>57.15 N, 2.10 W - time zone (GMT) Dublin, Edinburgh, Lisbon, London</small><br><br>"
        L"<table width=100%><tr><td><img src=\"" +
        picture +
        L"\"></td>"
        L"<td><b>Monday</b><br>Sunny, 14&deg;C<br><small>Wind 12 km/h</small></td></tr>"
        L"<tr><td><img src=\"" +
        picture + L"\"></td><td><b>Tuesday</b><br>Showers later</td></tr></table>";
    for (int i = 1; i <= 30; ++i)
        page += L"Line " + std::to_wstring(i) + L" of the forecast.<br>";
    return page + L"</body></html>";
}

TEST(Html, ControlTakesThePageInPartsPaintsItAndScrolls) {
    for (const char* screen : {"240x320", "480x640"}) {
        UiDriver ui(screen);
        ASSERT_TRUE(InitHTMLControl(nullptr));
        ASSERT_TRUE(InitHTMLControl(nullptr));  // registering twice is fine
        // The work area: the screen below the navigation bar.
        RECT work{};
        SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
        const SIZE size{work.right - work.left, work.bottom - work.top};
        HWND html = CreateWindowEx(0, WC_HTML, L"", WS_POPUP | WS_VISIBLE, work.left, work.top, size.cx,
                                   size.cy, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(html, nullptr);
        const std::string sun = SunPicture();
        const std::wstring page = LongPage(L"file://" + ob::kernel::FromUtf8(sun));
        // The way the program fills it: clear, add the text, end the source.
        SendMessage(html, DTM_CLEAR, 0, 0);
        EXPECT_EQ(SendMessage(html, WM_USER + 114, 0, 1), 0);
        SendMessage(html, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(page.substr(0, 100).c_str()));
        SendMessage(html, DTM_ADDTEXTW, FALSE, reinterpret_cast<LPARAM>(page.substr(100).c_str()));
        SendMessage(html, DTM_ENDOFSOURCE, 0, 0);
        ui.RunUntilIdle();
        EXPECT_GT(ob::ui::GetHtmlContentHeight(html), size.cy);
        ui.Screenshot(UiDriver::OutputPath(std::string("html_page_") + screen + ".png"));
        // Black text near the top-left, the orange picture below it.
        bool ink = false, picture = false;
        for (int y = work.top; y < work.top + size.cy / 3; ++y)
            for (int x = 0; x < size.cx / 2; ++x) {
                ink |= ui.Pixel(x, y) == RGB(0, 0, 0);
                picture |= ui.Pixel(x, y) == RGB(255, 128, 0);
            }
        EXPECT_TRUE(ink);
        EXPECT_TRUE(picture);

        SetFocus(html);
        ui.Key(VK_DOWN);
        ui.RunUntilIdle();
        const int afterKey = ob::ui::GetHtmlScroll(html);
        EXPECT_GT(afterKey, 0);
        SendMessage(html, WM_VSCROLL, SB_BOTTOM, 0);
        ui.RunUntilIdle();
        const int bottom = ob::ui::GetHtmlScroll(html);
        EXPECT_EQ(bottom, ob::ui::GetHtmlContentHeight(html) - size.cy);
        ui.Screenshot(UiDriver::OutputPath(std::string("html_page_bottom_") + screen + ".png"));
        SendMessage(html, WM_VSCROLL, SB_PAGEDOWN, 0);
        EXPECT_EQ(ob::ui::GetHtmlScroll(html), bottom);  // never past the end
        // Dragging the page down with the stylus scrolls back up.
        ui.Drag({size.cx / 3, work.top + size.cy / 4}, {size.cx / 3, work.top + size.cy / 2});
        ui.RunUntilIdle();
        EXPECT_EQ(ob::ui::GetHtmlScroll(html), bottom - (size.cy / 2 - size.cy / 4));
        SendMessage(html, WM_VSCROLL, SB_TOP, 0);
        EXPECT_EQ(ob::ui::GetHtmlScroll(html), 0);

        SendMessage(html, DTM_CLEAR, 0, 0);
        ui.RunUntilIdle();
        EXPECT_EQ(ob::ui::GetHtmlContentHeight(html), 0);
        EXPECT_EQ(ui.Pixel(10, work.top + 10), RGB(255, 255, 255));
        DestroyWindow(html);
        std::remove(sun.c_str());
    }
}

}  // namespace

namespace {

// Spans beyond an int crashed the layout engine (found by fuzzing); they are
// capped as browsers cap them, however the attribute is written.
TEST(Html, HugeTableSpansAreCappedAndLayOut) {
    using ob::ui::ClampTableSpans;
    EXPECT_EQ(ClampTableSpans(L"<td colspan=2 rowspan='3'>colspan=7</td>"),
              L"<td colspan=2 rowspan='3'>colspan=7</td>");
    EXPECT_EQ(ClampTableSpans(L"<td a=\"b\"COLSPAN = \" +0001111111111111111\">"),
              L"<td a=\"b\"COLSPAN = \" +1000\">");
    EXPECT_EQ(ClampTableSpans(L"<td/rowspan=70000>"), L"<td/rowspan=65534>");
    EXPECT_EQ(ClampTableSpans(L"<td colspan=\"&#49;&#49;\">"), L"<td colspan=\"x&#49;&#49;\">");
    EXPECT_EQ(ClampTableSpans(L"<td rowspan=9&#57;>"), L"<td rowspan=x9&#57;>");
    ob::ui::SetScreenDpi(96);
    for (const wchar_t* span :
         {L"colspan=1111111111111111", L"rowspan=2147483648", L"colspan=2147483647",
          L"rowspan=\"&#49;&#49;&#49;&#49;&#49;&#49;&#49;&#49;&#49;&#49;&#49;&#49;\""}) {
        const std::wstring page =
            std::wstring(L"<table><tr><td>a</td><td>b</td></tr><tr><td ") + span + L">c</td></tr></table>";
        EXPECT_GT(HeightOf(page), 0) << ob::kernel::ToUtf8(span);
    }
}

// Each box sized to its content lays out what it holds several times, so
// deep nesting made a page take minutes (found by fuzzing). Past eight
// levels the page is replaced by a one-line explanation.
TEST(Html, BoxesNestedTooDeeplyGiveAShortNoticeInsteadOfTheLayout) {
    ob::ui::SetScreenDpi(96);
    auto nested = [](int depth, const std::wstring& open, const std::wstring& close) {
        std::wstring page;
        for (int i = 0; i < depth; ++i)
            page += open;
        page += L"x";
        for (int i = 0; i < depth; ++i)
            page += close;
        return page;
    };
    auto tables = [&](int depth) { return nested(depth, L"<table><tr><td>", L"</td></tr></table>"); };
    EXPECT_GT(HeightOf(tables(8)), HeightOf(tables(7)));  // still laid out
    const int notice = HeightOf(tables(9));
    EXPECT_EQ(HeightOf(tables(40)), notice);
    EXPECT_EQ(HeightOf(nested(40, L"<div style=\"display:inline-block\">", L"</div>")), notice);
    EXPECT_EQ(HeightOf(nested(40, L"<div style=\"float:left\">", L"</div>")), notice);
}

// The parser and the layout take time and memory with the square of the
// depth: a page thousands of elements deep is refused before it is parsed.
TEST(Html, PagesNestedHundredsDeepAreRefusedBeforeParsing) {
    using ob::ui::NestingDepthBound;
    auto times = [](int n, const std::wstring& part) {
        std::wstring page;
        for (int i = 0; i < n; ++i)
            page += part;
        return page;
    };
    // Paragraphs, list items, rows and cells whose end tags are left out, and
    // markup that is text, do not deepen the page.
    EXPECT_LE(NestingDepthBound(times(500, L"<p>a<ul><li>b<li>c</li></ul><dl><dt>d<dd>e</dd></dl>"), 256), 6);
    EXPECT_LE(NestingDepthBound(times(300, L"<table><tr><td>a<td>b</td><tr><th>c</th></table>"), 256), 8);
    EXPECT_LE(NestingDepthBound(L"<style>" + times(300, L"<div>") + L"</style><title><b></title><!--" +
                                    times(300, L"<div>") + L"--><div a='>'></div>",
                                256),
              5);
    EXPECT_EQ(NestingDepthBound(times(300, L"<div>") + times(300, L"</div>"), 1000), 303);
    // An end tag that may not close its element leaves it counted.
    EXPECT_GT(NestingDepthBound(times(300, L"<span><dd></span>"), 256), 256);
    EXPECT_GT(NestingDepthBound(times(300, L"<b><i></b>"), 256), 256);
    // Where markup may be read as text (foreign content, selects), only
    // the number of tags bounds the depth.
    EXPECT_GT(NestingDepthBound(L"<svg><style><!--</style>" + times(70, L"<g>") + L"-->", 256), 256);

    ob::ui::SetScreenDpi(96);
    const int notice = HeightOf(times(40, L"<table><tr><td>"));
    EXPECT_EQ(HeightOf(times(20000, L"<b>") + L"x"), notice);
    EXPECT_EQ(HeightOf(times(8000, L"<ol><li>") + L"x"), notice);
    EXPECT_GT(HeightOf(times(200, L"<div>") + L"x"), 0);
}

// The layout engine looped for ever on a stylesheet comment left open in
// the wrong place (found by fuzzing); one is closed where its style ends.
TEST(Html, AnOpenStylesheetCommentIsClosedAtTheEndOfItsStyle) {
    using ob::ui::CloseStyleComments;
    const std::wstring closed = L"<STYLE type=x>/*<![CDATA[*/p{}/*]]>*/</STYLE><styles>a/*";
    EXPECT_EQ(CloseStyleComments(closed), closed);
    EXPECT_EQ(CloseStyleComments(L"<style>a/*b</style >x/*"), L"<style>a/*b*/</style >x/*");
    // Removing the first comment joins a '/' and a '*' into an open one.
    EXPECT_EQ(CloseStyleComments(L"<style>x//*a*/*</style>"), L"<style>x//*a*/**/</style>");
    EXPECT_EQ(CloseStyleComments(L"<style/>a/*</stylex>"), L"<style/>a/*</stylex>*/");
    ob::ui::SetScreenDpi(96);
    EXPECT_GT(HeightOf(L"<style>a/*</style><p>text</p>"), 0);
    EXPECT_GT(HeightOf(L"<style>x//*a*/*</style><p>text</p>"), 0);
    // The engine stops at a NUL, before a closing added at the end.
    EXPECT_GT(HeightOf(std::wstring(L"<p>text</p><style>a/*\0b", 24)), 0);
}

TEST(Html, PixelLengthsFollowTheDensity) {
    using ob::ui::ScaleCssPixels;
    EXPECT_EQ(ScaleCssPixels(L"<td style=\"width: 34px; margin:3px 0px\">12px</td>", 96),
              L"<td style=\"width: 34px; margin:3px 0px\">12px</td>");
    EXPECT_EQ(ScaleCssPixels(L"<td style=\"width: 34px; margin:3px 0px\">", 192),
              L"<td style=\"width: 68px; margin:6px 0px\">");
    EXPECT_EQ(
        ScaleCssPixels(
            L"<img src=\"a32px.png\" width=\"32\" height=32 alt='x'><table width=\"100%\" border=1>", 192),
        L"<img src=\"a32px.png\" width=\"64\" height=64 alt='x'><table width=\"100%\" border=2>");
    // Text between tags keeps its numbers unless they are CSS lengths.
    EXPECT_EQ(ScaleCssPixels(L"<p>width=32 and #10px, 1.5px</p>", 192), L"<p>width=32 and #10px, 3px</p>");
    ob::ui::SetScreenDpi(192);
    EXPECT_EQ(HeightOf(L"<body style=\"margin:0\"><div style=\"height:10px\"></div></body>"), 20);
    // A picture without a size grows with the density like the lengths do.
    const std::string sun = SunPicture();
    const std::wstring img =
        L"<body style=\"margin:0\"><img src=\"file://" + ob::kernel::FromUtf8(sun) + L"\"></body>";
    EXPECT_GE(HeightOf(img), 48);
    ob::ui::SetScreenDpi(96);
    EXPECT_EQ(HeightOf(L"<body style=\"margin:0\"><div style=\"height:10px\"></div></body>"), 10);
    EXPECT_LT(HeightOf(img), 48);
    std::remove(sun.c_str());
}

}  // namespace
