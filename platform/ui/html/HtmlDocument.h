// An HTML page laid out by litehtml and drawn through our GDI: fonts from
// LOGFONT, text, boxes, borders and pictures. Pictures come only from local
// files (file:// addresses or paths relative to the page's folder); nothing
// is ever fetched from the network.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/Gdi.h"

namespace ob::ui {

class HtmlDocument {
public:
    HtmlDocument();
    ~HtmlDocument();
    HtmlDocument(const HtmlDocument&) = delete;
    HtmlDocument& operator=(const HtmlDocument&) = delete;

    // Folder that relative picture addresses are taken from ("" = none).
    void SetBaseFolder(const std::string& folder);
    // Replaces the page. Layout happens on the next Layout().
    void SetHtml(const std::wstring& html);
    bool Empty() const;
    // Lays the page out for a width in pixels; returns the content height.
    int Layout(int width);
    int ContentHeight() const;
    int ContentWidth() const;
    // Draws the part of the page from `scrollY` down into `area` of the DC.
    void Draw(HDC hdc, const RECT& area, int scrollY);
    // The text of the page's <title>, if any.
    std::wstring Title() const;

private:
    class Container;
    std::unique_ptr<Container> m_container;
};

// The master stylesheet, with lengths for the current screen density.
std::string HtmlMasterStylesheet();
// Scales pixel lengths (CSS "px" and size attributes) written for the
// 96-dpi screen to `dpi`.
std::wstring ScaleCssPixels(const std::wstring& html, int dpi);
// Caps colspan at 1000 and rowspan at 65534, as browsers do; the layout
// engine fails on spans beyond an int.
std::wstring ClampTableSpans(const std::wstring& html);
// Closes a stylesheet comment left open at the end of its <style> element;
// the layout engine can loop for ever on one.
std::wstring CloseStyleComments(const std::wstring& html);
// An upper estimate of how deep the parser will nest the page's elements,
// read from its text; the scan stops once it passes `limit`.
int NestingDepthBound(const std::wstring& html, int limit);
// Makes two <br> in a row leave a blank line, as browsers do.
std::wstring KeepBlankLines(const std::wstring& html);

}  // namespace ob::ui
