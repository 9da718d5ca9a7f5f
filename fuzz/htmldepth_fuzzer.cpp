// The HTML viewer's depth guard against the HTML parser itself: for any page
// the guard lets through, the parser's tree must be no deeper than the
// guard's estimate (a few levels of slack cover the elements the parser
// makes on its own, such as a form for <isindex>).
#include <gumbo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "platform/ui/html/HtmlDocument.h"

namespace {

constexpr int kLimit = 256;
constexpr int kSlack = 4;

int Depth(const GumboNode* root) {
    int deepest = 0;
    std::vector<std::pair<const GumboNode*, int>> pending{{root, 1}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE)
            continue;
        deepest = std::max(deepest, depth);
        const GumboVector& children = node->v.element.children;
        for (unsigned i = 0; i < children.length; ++i)
            pending.emplace_back(static_cast<const GumboNode*>(children.data[i]), depth + 1);
    }
    return deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The viewer gives the parser the page up to its first NUL, in UTF-8.
    std::wstring page = ob::fuzz::Wide(ob::fuzz::AsText(data, size));
    page.resize(std::min(page.size(), page.find(L'\0')));
    const int bound = ob::ui::NestingDepthBound(page, kLimit);
    if (bound > kLimit)
        return 0;  // refused unparsed
    const std::string utf8 = ob::kernel::ToUtf8(page);
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.data(), utf8.size());
    const int depth = Depth(output->root);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    if (depth > bound + kSlack) {
        std::fprintf(stderr, "the parser nests %d deep, the guard said %d\n", depth, bound);
        std::abort();
    }
    return 0;
}
