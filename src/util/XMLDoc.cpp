#include "util/XMLDoc.h"

#include <sstream>
#include <vector>

#include "platform/kernel/AppPaths.h"
#include "platform/kernel/ExecutablePath.h"
#include "platform/kernel/WideText.h"
#include "util/XmlFileStream.h"

namespace ZEP_Utility {

using ob::kernel::FromUtf8;
using ob::kernel::ToUtf8;

XMLDoc::XMLDoc() {
    Reset();
    m_document.reset(CreateDocument());
}

XMLDoc::~XMLDoc() = default;

void XMLDoc::Reset() {
    m_notLoaded = true;
    m_status = L"Not Loaded";
    m_source.clear();
    // Every load starts here, so a load that fails before parsing (a missing
    // or oversized file) leaves no content rather than the last document's.
    if (m_document)
        m_document->reset();
}

pugi::xml_document* XMLDoc::CreateDocument() { return new (std::nothrow) pugi::xml_document; }

bool XMLDoc::CheckParseError() {
    if (!m_document)
        return false;
    if (!m_lastResult)
        return true;
    m_notLoaded = false;
    m_status.clear();
    return false;
}

const wchar_t* XMLDoc::GetEntityText(wchar_t character) {
    switch (character) {
    case L'&': return L"&amp;";
    case L'<': return L"&lt;";
    case L'>': return L"&gt;";
    case L'"': return L"&quot;";
    case L'\'': return L"&apos;";
    default: return nullptr;
    }
}

bool XMLDoc::Parse(const void* data, size_t size, pugi::xml_encoding encoding) {
    unsigned options = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi |
                       pugi::parse_doctype;
    if (m_preserveWhiteSpace)
        options |= pugi::parse_ws_pcdata;
    try {
        m_lastResult = m_document->load_buffer(data, size, options, encoding);
    } catch (const std::bad_alloc&) {
        m_lastResult.status = pugi::status_out_of_memory;
    }
    // The parser accepts fragments; a document has exactly one root element.
    if (m_lastResult) {
        int roots = 0;
        for (pugi::xml_node child : m_document->children())
            roots += child.type() == pugi::node_element;
        if (roots != 1)
            m_lastResult.status = pugi::status_no_document_element;
    }
    // A document that did not parse keeps nothing of what was read before the error.
    if (!m_lastResult)
        m_document->reset();
    return !CheckParseError();
}

bool XMLDoc::Load(const std::wstring& path, bool relativeToExe) {
    if (!m_document)
        return false;
    Reset();
    m_source = relativeToExe ? ob::kernel::GetAppPaths().contentFolder + L"/" + path : path;
    FileStream stream;
    if (!stream.Open(m_source, true))
        return false;
    std::vector<char> bytes;
    char chunk[65536];
    for (;;) {
        std::uint32_t n = 0;
        const auto result = stream.Read(chunk, sizeof chunk, &n);
        if (result == FileStream::kFail)
            return false;
        if (result == FileStream::kEndOfFile)
            break;
        if (bytes.size() + n > kMaxFileBytes) {
            // Larger than any document the program reads: refused unread.
            m_status = L"File too large";
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    stream.Close();
    return Parse(bytes.data(), bytes.size(), pugi::encoding_auto);
}

bool XMLDoc::LoadXml(const std::wstring& text) {
    if (!m_document)
        return false;
    Reset();
    m_source = L"<STRING>";
    return Parse(text.data(), text.size() * sizeof(wchar_t), pugi::encoding_wchar);
}

std::wstring XMLDoc::GetXml() const {
    if (!m_document)
        return {};
    std::ostringstream out;
    m_document->save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return FromUtf8(out.str());
}

std::wstring XMLDoc::GetNodeText(const pugi::xpath_node& context, const std::wstring& xpath) {
    if (!context)
        return {};
    if (xpath.empty())
        return GetNodeText(context);
    return GetNodeText(SelectSingleNode(context, xpath));
}

std::wstring XMLDoc::GetNodeText(const pugi::xpath_node& selected) {
    if (selected.attribute())
        return FromUtf8(selected.attribute().value());
    const pugi::xml_node root = selected.node();
    if (!root)
        return {};
    if (root.type() == pugi::node_pcdata || root.type() == pugi::node_cdata)
        return FromUtf8(root.value());
    if (root.type() != pugi::node_element && root.type() != pugi::node_document)
        return FromUtf8(root.value());
    // Walk the subtree without recursion: documents may nest very deeply.
    std::string text;
    pugi::xml_node node = root.first_child();
    while (node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            text += node.value();
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != root && !node.next_sibling())
            node = node.parent();
        if (!node || node == root)
            break;
        node = node.next_sibling();
    }
    return FromUtf8(text);
}

namespace {
// Compiling fails on a syntax error; evaluating fails when the value is not
// a node set. Both select nothing.
template <typename Use>
auto RunXPath(const pugi::xpath_node& context, const std::wstring& xpath, Use use)
    -> decltype(use(std::declval<const pugi::xpath_query&>())) {
    if (!context || xpath.empty())
        return {};
    try {
        const pugi::xpath_query query(ToUtf8(xpath).c_str());
        if (query.return_type() != pugi::xpath_type_node_set)
            return {};
        return use(query);
    } catch (const pugi::xpath_exception&) {
        return {};
    } catch (const std::bad_alloc&) {
        return {};
    }
}
}  // namespace

pugi::xpath_node_set SelectNodes(const pugi::xpath_node& context, const std::wstring& xpath) {
    return RunXPath(context, xpath, [&](const pugi::xpath_query& q) {
        pugi::xpath_node_set set = q.evaluate_node_set(context);
        set.sort();
        return set;
    });
}

pugi::xpath_node SelectSingleNode(const pugi::xpath_node& context, const std::wstring& xpath) {
    return RunXPath(context, xpath, [&](const pugi::xpath_query& q) { return q.evaluate_node(context); });
}

}  // namespace ZEP_Utility
