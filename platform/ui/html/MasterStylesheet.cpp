// The viewer's master stylesheet and the source fixes made before a page
// is parsed. Text sizes are in points so they follow the screen's density;
// pixel lengths are taken as pixels of the low-density screen and scaled.
#include <cctype>
#include <cmath>
#include <cwctype>
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
        if (at + 3 > html.size() || html[at] != L'<')
            return false;
        if ((html[at + 1] | 0x20) != L'b' || (html[at + 2] | 0x20) != L'r')
            return false;
        std::size_t i = at + 3;
        if (i < html.size() && html[i] != L'>' && html[i] != L'/' && html[i] != L' ')
            return false;
        const std::size_t close = html.find(L'>', i);
        if (close == std::wstring::npos)
            return false;
        end = close + 1;
        return true;
    };
    std::wstring out;
    out.reserve(html.size());
    bool afterBr = false;
    for (std::size_t i = 0; i < html.size();) {
        std::size_t end;
        if (isBr(i, end)) {
            if (afterBr)
                out += L"&nbsp;";
            out.append(html, i, end - i);
            i = end;
            afterBr = true;
            continue;
        }
        if (!(html[i] == L' ' || html[i] == L'\t' || html[i] == L'\r' || html[i] == L'\n'))
            afterBr = false;
        out += html[i++];
    }
    return out;
}

std::wstring ScaleCssPixels(const std::wstring& html, int dpi) {
    if (dpi == 96 || dpi <= 0)
        return html;
    auto scaled = [dpi](const std::wstring& number) {
        const double v = std::wcstod(number.c_str(), nullptr) * dpi / 96.0;
        return std::to_wstring(static_cast<long>(std::lround(v)));
    };
    auto lower = [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); };
    static const std::wstring kSizeAttributes[] = {L"width",       L"height", L"border", L"cellpadding",
                                                   L"cellspacing", L"hspace", L"vspace"};
    std::wstring out;
    out.reserve(html.size() + html.size() / 8);
    bool inTag = false;
    wchar_t quote = 0;
    for (std::size_t i = 0; i < html.size();) {
        const wchar_t c = html[i];
        if (!inTag && c == L'<')
            inTag = true;
        else if (inTag && !quote && c == L'>')
            inTag = false;
        // A number followed by "px", not part of a word: a CSS length.
        if (std::iswdigit(c) &&
            (i == 0 || !(std::iswalnum(html[i - 1]) || html[i - 1] == L'.' || html[i - 1] == L'#'))) {
            std::size_t j = i;
            while (j < html.size() && (std::iswdigit(html[j]) || html[j] == L'.'))
                ++j;
            if (j + 1 < html.size() && lower(html[j]) == L'p' && lower(html[j + 1]) == L'x' &&
                (j + 2 >= html.size() || !std::iswalnum(html[j + 2]))) {
                out += scaled(html.substr(i, j - i)) + L"px";
                i = j + 2;
                continue;
            }
            out.append(html, i, j - i);
            i = j;
            continue;
        }
        // Size attributes in plain pixels (not percentages).
        if (inTag && !quote && std::iswalpha(c) && i > 0 && std::iswspace(html[i - 1])) {
            bool replaced = false;
            for (const std::wstring& name : kSizeAttributes) {
                if (i + name.size() > html.size())
                    continue;
                bool same = true;
                for (std::size_t k = 0; k < name.size() && same; ++k)
                    same = lower(html[i + k]) == name[k];
                if (!same)
                    continue;
                std::size_t j = i + name.size();
                while (j < html.size() && std::iswspace(html[j]))
                    ++j;
                if (j >= html.size() || html[j] != L'=')
                    continue;
                ++j;
                while (j < html.size() && std::iswspace(html[j]))
                    ++j;
                const bool quoted = j < html.size() && (html[j] == L'"' || html[j] == L'\'');
                std::size_t k = quoted ? j + 1 : j;
                const std::size_t digits = k;
                while (k < html.size() && std::iswdigit(html[k]))
                    ++k;
                if (k == digits)
                    continue;
                const bool ends = k >= html.size() ||
                                  (quoted ? html[k] == html[j]
                                          : (std::iswspace(html[k]) || html[k] == L'>' || html[k] == L'/'));
                if (!ends)
                    continue;  // 100%, 2em: left alone
                out.append(html, i, digits - i);
                out += scaled(html.substr(digits, k - digits));
                if (quoted)
                    out += html[k++];  // the closing quote, so quotes stay paired
                i = k;
                replaced = true;
                break;
            }
            if (replaced)
                continue;
        }
        if (inTag && (c == L'"' || c == L'\''))
            quote = quote == c ? 0 : (quote ? quote : c);
        out += c;
        ++i;
    }
    return out;
}

}  // namespace ob::ui
