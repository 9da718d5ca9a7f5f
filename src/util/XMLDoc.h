// The program's XML document: load from a file or a text, parse errors as
// false, serialization, and the text of a node chosen by XPath. Users walk
// and change the tree directly through GetDocument().
#pragma once

#include <pugixml.hpp>

#include <memory>
#include <string>

namespace ZEP_Utility {

class XMLDoc {
public:
    XMLDoc();
    virtual ~XMLDoc();
    XMLDoc(const XMLDoc&) = delete;
    XMLDoc& operator=(const XMLDoc&) = delete;

    // Not loaded, status "Not Loaded", no source.
    virtual void Reset();
    virtual pugi::xml_document* CreateDocument();
    // True when the last load failed to parse; a success marks the document loaded.
    virtual bool CheckParseError();
    // "&amp;", "&lt;", "&gt;", "&quot;" or "&apos;" for the five characters
    // XML escapes; null for any other.
    virtual const wchar_t* GetEntityText(wchar_t character);

    // Largest file Load reads. A forecast file takes a few kilobytes.
    static constexpr size_t kMaxFileBytes = 4 * 1024 * 1024;

    // Loads a file (relativeToExe: `path` names a file in the executable's
    // folder). False when it is missing, not a regular file, larger than
    // kMaxFileBytes (status "File too large"), unreadable or not well-formed.
    bool Load(const std::wstring& path, bool relativeToExe = false);
    bool LoadXml(const std::wstring& text);
    // The serialized document; empty when it has no content.
    std::wstring GetXml() const;
    pugi::xml_document* GetDocument() { return m_document.get(); }

    // The text of all descendants of the first node that `xpath` selects
    // relative to `context` (of `context` itself when `xpath` is empty).
    // Empty when the context is null, nothing is selected or the XPath is invalid.
    static std::wstring GetNodeText(const pugi::xpath_node& context, const std::wstring& xpath);
    static std::wstring GetNodeText(const pugi::xml_node& context) {
        return GetNodeText(pugi::xpath_node(context));
    }
    static std::wstring GetNodeText(const pugi::xpath_node& node);

    bool IsLoaded() const { return !m_notLoaded; }
    const std::wstring& GetStatus() const { return m_status; }
    const std::wstring& GetSource() const { return m_source; }

    // Whether text made only of white space is kept as it stands (off by
    // default: such text between elements is dropped). Templates keep it so
    // that spacing in the page survives.
    void SetPreserveWhiteSpace(bool preserve) { m_preserveWhiteSpace = preserve; }

private:
    bool Parse(const void* data, size_t size, pugi::xml_encoding encoding);

    std::unique_ptr<pugi::xml_document> m_document;
    bool m_notLoaded = true;
    std::wstring m_status;
    std::wstring m_source;
    bool m_preserveWhiteSpace = false;
    pugi::xml_parse_result m_lastResult;
};

// Runs an XPath relative to `context` (a node or an attribute). An invalid
// expression, or one whose value is not a node set, selects nothing.
pugi::xpath_node_set SelectNodes(const pugi::xpath_node& context, const std::wstring& xpath);
// The first selected node in document order.
pugi::xpath_node SelectSingleNode(const pugi::xpath_node& context, const std::wstring& xpath);

}  // namespace ZEP_Utility
