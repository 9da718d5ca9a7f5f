// The viewer's master stylesheet and the source fixes made before a page
// is parsed. Text sizes are in points so they follow the screen's density;
// pixel lengths are taken as pixels of the low-density screen and scaled.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cwctype>
#include <iterator>
#include <string>
#include <utility>

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

namespace {

// A number attribute at `i` of a tag (`name=12`, `name = "12"`): the span of
// its digits, and the end of the attribute (past a closing quote). Values
// such as 100% or 2em do not count.
struct NumericAttribute {
    std::size_t digits = 0;
    std::size_t digitsEnd = 0;
    std::size_t end = 0;
};

bool MatchNumericAttribute(const std::wstring& html, std::size_t i, const std::wstring& name,
                           NumericAttribute& found) {
    if (i + name.size() > html.size())
        return false;
    for (std::size_t k = 0; k < name.size(); ++k)
        if (static_cast<wchar_t>(std::towlower(html[i + k])) != name[k])
            return false;
    std::size_t j = i + name.size();
    while (j < html.size() && std::iswspace(html[j]))
        ++j;
    if (j >= html.size() || html[j] != L'=')
        return false;
    ++j;
    while (j < html.size() && std::iswspace(html[j]))
        ++j;
    const bool quoted = j < html.size() && (html[j] == L'"' || html[j] == L'\'');
    std::size_t k = quoted ? j + 1 : j;
    const std::size_t digits = k;
    while (k < html.size() && std::iswdigit(html[k]))
        ++k;
    if (k == digits)
        return false;
    const bool ends =
        k >= html.size() ||
        (quoted ? html[k] == html[j] : (std::iswspace(html[k]) || html[k] == L'>' || html[k] == L'/'));
    if (!ends)
        return false;
    found = NumericAttribute{digits, k, quoted && k < html.size() ? k + 1 : k};
    return true;
}

}  // namespace

std::wstring ClampTableSpans(const std::wstring& html) {
    // The layout engine reads a span with atoi once the parser has decoded
    // it, and fails on numbers beyond an int. Rather than follow the parser's
    // rules for where an attribute starts, every "colspan=" and "rowspan="
    // in the text is looked at; browsers cap spans at these values anyway.
    static const std::pair<std::wstring, int> kLimits[] = {{L"colspan", 1000}, {L"rowspan", 65534}};
    const auto isSpace = [](wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); };
    std::wstring out;
    out.reserve(html.size());
    std::size_t i = 0;
    while (i < html.size()) {
        int limit = 0;
        std::size_t j = i;
        for (const auto& [name, max] : kLimits) {
            if (html.size() - i >= name.size() &&
                std::equal(
                    name.begin(), name.end(), html.begin() + static_cast<std::ptrdiff_t>(i),
                    [](wchar_t a, wchar_t b) { return a == static_cast<wchar_t>(std::towlower(b)); })) {
                limit = max;
                j = i + name.size();
            }
        }
        if (limit == 0) {
            out += html[i++];
            continue;
        }
        while (j < html.size() && isSpace(html[j]))
            ++j;
        if (j < html.size() && html[j] == L'=') {
            ++j;
            while (j < html.size() && isSpace(html[j]))
                ++j;
            if (j < html.size() && (html[j] == L'"' || html[j] == L'\''))
                ++j;
            const std::size_t value = j;  // what atoi starts on
            while (j < html.size() && isSpace(html[j]))
                ++j;
            if (j < html.size() && (html[j] == L'+' || html[j] == L'-'))
                ++j;
            const std::size_t digits = j;
            while (j < html.size() && html[j] >= L'0' && html[j] <= L'9')
                ++j;
            std::size_t first = digits;  // leading zeros aside
            while (first + 1 < j && html[first] == L'0')
                ++first;
            if (html.find(L'&', value) < j + 1) {
                // A character reference the parser would turn into more
                // digits: a letter in front makes the value 0.
                out.append(html, i, value - i);
                out += L'x';
                i = value;
                continue;
            }
            if (j > digits && (j - first > 9 || std::stoi(html.substr(first, j - first)) > limit)) {
                out.append(html, i, digits - i);
                out += std::to_wstring(limit);
                i = j;
                continue;
            }
        }
        out.append(html, i, j - i);
        i = j;
    }
    return out;
}

namespace {

// Where `what` (lower case) next stands in `text` from `from`, in any case.
std::size_t FindNoCase(const std::wstring& text, const std::wstring& what, std::size_t from) {
    for (std::size_t at = from; at + what.size() <= text.size(); ++at) {
        if (std::equal(what.begin(), what.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                       [](wchar_t a, wchar_t b) { return a == static_cast<wchar_t>(std::towlower(b)); }))
            return at;
    }
    return std::wstring::npos;
}

// Ends a tag name, as the parser sees it.
bool EndsTagName(const std::wstring& text, std::size_t at) {
    return at >= text.size() || std::iswspace(text[at]) || text[at] == L'/' || text[at] == L'>';
}

// Whether the layout engine's comment removal would meet a comment that is
// never closed. It removes them one at a time, searching again from the
// start, so a removal can join a '/' before it and a '*' after it into a new
// opening; this follows the same removals in one pass over the text.
bool LeavesCommentOpen(const std::wstring& css) {
    std::wstring kept;
    for (std::size_t i = 0; i < css.size(); ++i) {
        if (!kept.empty() && kept.back() == L'/' && css[i] == L'*') {
            const std::size_t close = css.find(L"*/", i + 1);
            if (close == std::wstring::npos)
                return true;
            kept.pop_back();  // the comment goes, its '/' with it
            i = close + 1;
            continue;
        }
        kept += css[i];
    }
    return false;
}

}  // namespace

std::wstring CloseStyleComments(const std::wstring& html) {
    // The layout engine's removal of an unclosed comment can loop for ever
    // (when the comment stands second in what remains); an open comment is
    // closed at the end of its style element instead.
    std::wstring out;
    std::size_t copied = 0;
    for (std::size_t tag = FindNoCase(html, L"<style", 0); tag != std::wstring::npos;
         tag = FindNoCase(html, L"<style", tag + 1)) {
        if (!EndsTagName(html, tag + 6))
            continue;
        const std::size_t startTagEnd = html.find(L'>', tag + 6);
        if (startTagEnd == std::wstring::npos)
            break;
        std::size_t end = startTagEnd + 1;
        while ((end = FindNoCase(html, L"</style", end)) != std::wstring::npos && !EndsTagName(html, end + 7))
            ++end;
        if (end == std::wstring::npos)
            end = html.size();
        if (LeavesCommentOpen(html.substr(startTagEnd + 1, end - startTagEnd - 1))) {
            out.append(html, copied, end - copied);
            out += L"*/";
            copied = end;
        }
        tag = end;
    }
    if (copied == 0)
        return html;
    out.append(html, copied);
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
            NumericAttribute found;
            const auto matches = [&](const std::wstring& name) {
                return MatchNumericAttribute(html, i, name, found);
            };
            if (std::any_of(std::begin(kSizeAttributes), std::end(kSizeAttributes), matches)) {
                out.append(html, i, found.digits - i);
                out += scaled(html.substr(found.digits, found.digitsEnd - found.digits));
                out.append(html, found.digitsEnd, found.end - found.digitsEnd);  // the closing quote
                i = found.end;
                continue;
            }
        }
        if (inTag && (c == L'"' || c == L'\''))
            quote = quote == c ? 0 : (quote ? quote : c);
        out += c;
        ++i;
    }
    return out;
}

}  // namespace ob::ui
