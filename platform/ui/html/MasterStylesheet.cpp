// The viewer's master stylesheet. Text sizes are in points so they follow the
// screen's density; the few fixed lengths are scaled here.
#include <string>

#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/html/HtmlDocument.h"

namespace ob::ui {

std::string HtmlMasterStylesheet() {
    const int dpi = GetScreenDpi();
    auto px = [dpi](int at96) { return std::to_string(at96 * dpi / 96) + "px"; };
    std::string css = R"(
html { display: block; }
head, style, script, title, link, meta { display: none; }
body { display: block; margin: MARGIN; font-family: Tahoma; font-size: 8pt; color: black; background-color: white; }
div, p, center, blockquote, form, address, dl, dt, dd { display: block; }
p { margin-top: 0; margin-bottom: 1em; }
center { text-align: center; }
blockquote { margin: 0.5em INDENT; }
h1, h2, h3, h4, h5, h6 { display: block; font-weight: bold; margin-top: 0.3em; margin-bottom: 0.3em; }
h1 { font-size: 14pt; }
h2 { font-size: 12pt; }
h3 { font-size: 10pt; }
h4 { font-size: 9pt; }
h5, h6 { font-size: 8pt; }
b, strong, th { font-weight: bold; }
i, em, cite, var, dfn, address { font-style: italic; }
u, ins { text-decoration: underline; }
s, strike, del { text-decoration: line-through; }
small { font-size: 7pt; }
big { font-size: 10pt; }
sub { vertical-align: sub; font-size: 7pt; }
sup { vertical-align: super; font-size: 7pt; }
tt, code, pre, kbd, samp { font-family: monospace; }
pre { display: block; white-space: pre; margin-bottom: 1em; }
a { color: #0000EE; text-decoration: underline; }
font { display: inline; }
br { display: block; }

hr { display: block; border-style: inset; border-width: 1px; margin: 0.3em 0; color: gray; }
img { display: inline-block; }
ul, ol { display: block; margin-top: 0; margin-bottom: 0.5em; padding-left: INDENT; }
ul { list-style-type: disc; }
ol { list-style-type: decimal; }
li { display: list-item; }
table { display: table; border-collapse: separate; border-spacing: 2px; }
thead { display: table-header-group; }
tbody { display: table-row-group; }
tfoot { display: table-footer-group; }
tr { display: table-row; vertical-align: inherit; }
td, th { display: table-cell; vertical-align: inherit; padding: 1px; text-align: left; }
th { text-align: center; }
caption { display: table-caption; text-align: center; }
col { display: table-column; }
colgroup { display: table-column-group; }
)";
    auto replaceAll = [&css](const std::string& from, const std::string& to) {
        for (std::size_t at = css.find(from); at != std::string::npos; at = css.find(from, at + to.size()))
            css.replace(at, from.size(), to);
    };
    replaceAll("MARGIN", px(4));
    replaceAll("INDENT", px(20));
    return css;
}

std::wstring KeepBlankLines(const std::wstring& html) {
    // litehtml lets an empty line between two breaks collapse to nothing; a
    // no-break space on that line gives it the height of a line of text.
    auto isBr = [&html](std::size_t at, std::size_t& end) {
        if (at + 3 > html.size() || html[at] != L'<') return false;
        if ((html[at + 1] | 0x20) != L'b' || (html[at + 2] | 0x20) != L'r') return false;
        std::size_t i = at + 3;
        if (i < html.size() && html[i] != L'>' && html[i] != L'/' && html[i] != L' ') return false;
        const std::size_t close = html.find(L'>', i);
        if (close == std::wstring::npos) return false;
        end = close + 1;
        return true;
    };
    std::wstring out;
    out.reserve(html.size());
    bool afterBr = false;
    for (std::size_t i = 0; i < html.size();) {
        std::size_t end;
        if (isBr(i, end)) {
            if (afterBr) out += L"&nbsp;";
            out.append(html, i, end - i);
            i = end;
            afterBr = true;
            continue;
        }
        if (!(html[i] == L' ' || html[i] == L'\t' || html[i] == L'\r' || html[i] == L'\n')) afterBr = false;
        out += html[i++];
    }
    return out;
}

}  // namespace ob::ui
