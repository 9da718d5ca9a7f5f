// How deep a page's elements will nest, read from its text before the parser
// sees it. The HTML parser and the layout engine both take time and memory
// growing with the square of the depth (twenty thousand nested <div>s take
// seconds to parse and gigabytes to lay out), so such a page must be refused
// unparsed.
//
// The scan follows the parser's tokenizer (tags, attributes, comments, raw
// text) exactly, and of its tree building only the part that is sure: an end
// tag closes its element when that is the innermost one, and a new paragraph,
// list item, row or cell closes the one it directly follows. An element whose
// end tag was left out otherwise stays counted, so a page that leaves out
// hundreds of them is refused too.
#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/html/HtmlDocument.h"

namespace ob::ui {
namespace {

using Names = std::initializer_list<std::wstring_view>;

bool In(std::wstring_view name, Names names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

const Names kVoid = {L"area",  L"base",  L"basefont", L"bgsound", L"br",    L"col",    L"embed",
                     L"frame", L"hr",    L"image",    L"img",     L"input", L"keygen", L"link",
                     L"meta",  L"param", L"source",   L"track",   L"wbr"};
// Elements whose content is text up to their own end tag.
const Names kRawText = {L"script", L"style",  L"textarea", L"title",
                        L"xmp",    L"iframe", L"noembed",  L"noframes"};
// Start tags that close a paragraph.
const Names kClosesParagraph = {L"address", L"article", L"aside",  L"blockquote", L"center",   L"details",
                                L"dialog",  L"dir",     L"div",    L"dl",         L"fieldset", L"figcaption",
                                L"figure",  L"footer",  L"header", L"hgroup",     L"main",     L"menu",
                                L"nav",     L"ol",      L"p",      L"section",    L"summary",  L"ul",
                                L"h1",      L"h2",      L"h3",     L"h4",         L"h5",       L"h6",
                                L"pre",     L"listing", L"form",   L"li",         L"dd",       L"dt"};
// The body and row the parser adds to a table, told from those written.
constexpr std::wstring_view kImpliedBody = L"(tbody)";
constexpr std::wstring_view kImpliedRow = L"(tr)";
// What the end of a table, of its body and of a row close on their way.
const Names kRowInside = {L"td", L"th"};
const Names kBodyInside = {L"tr", L"td", L"th", kImpliedRow};
const Names kTableInside = {L"caption", L"colgroup", L"tbody", L"thead",     L"tfoot",
                            L"tr",      L"td",       L"th",    kImpliedBody, kImpliedRow};

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// The open elements as the scan sees them. It closes an element only where
// the parser surely does; where it cannot be sure, the element stays open
// and counts, so the estimate errs high and never low.
class DepthScan {
public:
    explicit DepthScan(int limit) : m_limit(limit) {}

    void Start(const std::wstring& name) {
        if (In(name, kVoid) || In(name, {L"html", L"head", L"body"}))
            return;
        // Parts of a table outside any are dropped.
        if (In(name, {L"caption", L"colgroup", L"tbody", L"td", L"tfoot", L"th", L"thead", L"tr"}) &&
            std::find(m_open.begin(), m_open.end(), L"table") == m_open.end())
            return;
        if (name == L"isindex") {
            // Made into a form holding a label and a field.
            Push(L"form");
            Push(L"label");
            m_open.resize(m_open.size() - 2);
            return;
        }
        // Elements that a new one closes when it is the innermost (the
        // parser closes them with whatever it made inside them since).
        if (In(name, kClosesParagraph))
            PopIfInnermost({L"p"});
        if (name == L"li")
            PopIfInnermost({L"li"});
        else if (name == L"dd" || name == L"dt")
            PopIfInnermost({L"dd", L"dt"});
        else if (name == L"td" || name == L"th" || name == L"tr") {
            PopIfInnermost({L"td", L"th"});
            if (name == L"tr")
                PopIfInnermost({L"tr", kImpliedRow});
        }
        // The parser adds a body to a table and a row to a cell without one.
        if ((name == L"td" || name == L"th") &&
            Innermost({L"table", L"tbody", L"thead", L"tfoot", kImpliedBody}))
            Push(kImpliedRow);
        Push(name);
        if (name == L"table")
            Push(kImpliedBody);
    }

    // An end tag closes its element when it is the innermost: then the parser
    // surely closes it too, whatever it made inside it since. The end of a
    // table, or of a part of one, also closes the rows and cells left open in
    // it, which can only belong to it or to a table around it.
    void End(const std::wstring& name) {
        const Names* inside = name == L"table"                           ? &kTableInside
                              : name == L"tr"                            ? &kRowInside
                              : In(name, {L"tbody", L"thead", L"tfoot"}) ? &kBodyInside
                                                                         : nullptr;
        std::size_t at = m_open.size();
        while (inside && at > 0 && In(m_open[at - 1], *inside))
            --at;
        if (at > 0 && (m_open[at - 1] == name || (name == L"tbody" && m_open[at - 1] == kImpliedBody) ||
                       (name == L"tr" && m_open[at - 1] == kImpliedRow)))
            m_open.resize(at - 1);
    }

    int Deepest() const { return m_deepest; }
    bool Over() const { return m_deepest > m_limit; }

private:
    void Push(std::wstring_view name) {
        m_open.emplace_back(name);
        // <html> and <body> are always there, and an empty element may stand
        // inside the innermost.
        m_deepest = std::max(m_deepest, static_cast<int>(m_open.size()) + 3);
    }
    bool Innermost(Names names) const { return !m_open.empty() && In(m_open.back(), names); }
    void PopIfInnermost(Names names) {
        if (Innermost(names))
            m_open.pop_back();
    }

    int m_limit;
    std::vector<std::wstring> m_open;
    int m_deepest = 3;
};

// The end of the tag whose attributes start at `at`, as the tokenizer
// reads them (quoted values may hold '>'), or npos when the page ends first.
std::size_t TagEnd(const std::wstring& html, std::size_t at) {
    const std::size_t n = html.size();
    while (at < n) {
        while (at < n && (IsSpace(html[at]) || html[at] == L'/'))
            ++at;
        if (at >= n)
            return std::wstring::npos;
        if (html[at] == L'>')
            return at;
        // An attribute name (its first character may be '=') ...
        ++at;
        while (at < n && !IsSpace(html[at]) && html[at] != L'/' && html[at] != L'>' && html[at] != L'=')
            ++at;
        std::size_t next = at;
        while (next < n && IsSpace(html[next]))
            ++next;
        if (next >= n || html[next] != L'=')
            continue;
        // ... and its value.
        at = next + 1;
        while (at < n && IsSpace(html[at]))
            ++at;
        if (at >= n)
            return std::wstring::npos;
        if (html[at] == L'"' || html[at] == L'\'') {
            at = html.find(html[at], at + 1);
            if (at == std::wstring::npos)
                return at;
            ++at;
        } else {
            while (at < n && !IsSpace(html[at]) && html[at] != L'>')
                ++at;
        }
    }
    return std::wstring::npos;
}

// Where the raw text of `name` ends: at its end tag, or at the page's end.
std::size_t RawTextEnd(const std::wstring& html, std::size_t from, const std::wstring& name) {
    for (std::size_t at = html.find(L"</", from); at != std::wstring::npos; at = html.find(L"</", at + 1)) {
        std::size_t i = 0;
        while (i < name.size() && at + 2 + i < html.size() && Lower(html[at + 2 + i]) == name[i])
            ++i;
        const std::size_t after = at + 2 + i;
        if (i == name.size() &&
            (after >= html.size() || IsSpace(html[after]) || html[after] == L'/' || html[after] == L'>'))
            return at;
    }
    return std::wstring::npos;
}

// Whether the page holds an element inside which the parser may read text
// as markup or markup as text: foreign content (SVG, MathML) and selects
// and framesets (which ignore the tags that would start text) change how
// comments and raw text are read, and a script's end depends on comments
// inside it.
bool MayReadTextAsMarkup(const std::wstring& html) {
    for (std::size_t at = html.find(L'<'); at != std::wstring::npos; at = html.find(L'<', at + 1)) {
        std::wstring name;
        for (std::size_t i = at + 1; i < html.size() && IsLetter(html[i]) && name.size() < 9; ++i)
            name += Lower(html[i]);
        for (std::wstring_view tag : {L"svg", L"math", L"select", L"frameset", L"script", L"template"})
            if (name.starts_with(tag))
                return true;
    }
    return false;
}

}  // namespace

int NestingDepthBound(const std::wstring& html, int limit) {
    // Where the parser may read as markup what the scan would read as text,
    // or the other way round, only a count of all start tags is sure: each
    // may open an element, bring a table body and row with it, and have a
    // formatting element opened again.
    if (MayReadTextAsMarkup(html)) {
        int tags = 0;
        for (std::size_t at = html.find(L'<'); at != std::wstring::npos && 3 + 4 * tags <= limit;
             at = html.find(L'<', at + 1))
            tags += at + 1 < html.size() && IsLetter(html[at + 1]);
        return 3 + 4 * tags;
    }
    DepthScan scan(limit);
    const std::size_t n = html.size();
    std::size_t at = 0;
    while (!scan.Over() && (at = html.find(L'<', at)) != std::wstring::npos) {
        const wchar_t next = at + 1 < n ? html[at + 1] : L'\0';
        if (html.compare(at, 4, L"<!--") == 0) {
            // "<!-->" and "<!--->" are whole comments; others end at "-->" or "--!>".
            if (html.compare(at + 4, 1, L">") == 0 || html.compare(at + 4, 2, L"->") == 0) {
                at += 5;
                continue;
            }
            const std::size_t plain = html.find(L"-->", at + 4);
            const std::size_t bang = html.find(L"--!>", at + 4);
            if (plain == std::wstring::npos && bang == std::wstring::npos)
                break;  // the rest of the page is the comment
            at = std::min(plain == std::wstring::npos ? plain : plain + 3,
                          bang == std::wstring::npos ? bang : bang + 4);
            continue;
        }
        const bool end = next == L'/';
        const std::size_t nameAt = at + (end ? 2 : 1);
        if (nameAt >= n || !IsLetter(html[nameAt])) {
            if (next == L'!' || next == L'?' || (end && nameAt < n && html[nameAt] != L'>')) {
                // A bogus comment, to the next '>'.
                at = html.find(L'>', at + 2);
                if (at == std::wstring::npos)
                    break;
            } else if (end && nameAt < n) {
                at = nameAt;  // "</>" is dropped
            }
            ++at;
            continue;
        }
        std::size_t nameEnd = nameAt;
        std::wstring name;
        while (nameEnd < n && !IsSpace(html[nameEnd]) && html[nameEnd] != L'/' && html[nameEnd] != L'>')
            name += Lower(html[nameEnd++]);
        const std::size_t close = TagEnd(html, nameEnd);
        if (close == std::wstring::npos)
            break;  // a tag the page ends in is dropped
        at = close + 1;
        if (end) {
            scan.End(name);
            continue;
        }
        scan.Start(name);
        if (name == L"plaintext")
            break;  // the rest is text
        if (In(name, kRawText)) {
            at = RawTextEnd(html, at, name);
            if (at == std::wstring::npos)
                break;
        }
    }
    return scan.Deepest();
}

}  // namespace ob::ui
