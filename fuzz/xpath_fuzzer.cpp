// The XML wrapper: a document and an XPath, both arbitrary.
#include "fuzz/FuzzInput.h"
#include "util/XMLDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = ob::fuzz::Parts(ob::fuzz::AsText(data, size), 2);
    ZEP_Utility::XMLDoc doc;
    if (!doc.LoadXml(ob::fuzz::Wide(parts[0])))
        doc.LoadXml(L"<a><b x='1'>t</b><b>u<c/></b></a>");
    const std::wstring xpath = parts.size() > 1 ? ob::fuzz::Wide(parts[1]) : ob::fuzz::Wide(parts[0]);
    const pugi::xpath_node root(*doc.GetDocument());
    ZEP_Utility::XMLDoc::GetNodeText(root, xpath);
    const auto nodes = ZEP_Utility::SelectNodes(root, xpath);
    for (const auto& node : nodes)
        ZEP_Utility::XMLDoc::GetNodeText(node, L".");
    ZEP_Utility::SelectSingleNode(root, xpath);
    doc.GetXml();
    return 0;
}
