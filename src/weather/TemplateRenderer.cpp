#include "weather/TemplateRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <climits>
#include <cwchar>
#include <optional>
#include <regex>

#include "platform/kernel/WideText.h"
#include "time/DisplayFormats.h"
#include "util/NumberText.h"

namespace OBWeather {

using ob::kernel::FromUtf8;
using ob::kernel::ToUtf8;
using ZEP_Utility::XMLDoc;

namespace {

constexpr size_t kFormatLimit = 2047;  // characters of one formatted value
constexpr int kMaxDays = 1000;         // copies one days element makes at most
// Elements nested deeper than this are left as they stand: the walk is
// recursive, and no page needs more.
constexpr int kMaxDepth = 2000;

bool IsElementNamed(const pugi::xml_node& node, const char* name) {
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

std::wstring Decimal(int value) { return std::to_wstring(value); }

std::wstring CutField(std::wstring text) {
    if (text.size() > TemplateRenderer::kMaxFieldChars) {
        text.resize(TemplateRenderer::kMaxFieldChars);
        text += L"\u2026";
    }
    return text;
}

long long CountNodes(const pugi::xml_node& root) {
    long long count = 0;
    for (pugi::xml_node node = root.first_child(); node;) {
        ++count;
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling() && node != root)
            node = node.parent();
        if (!node || node == root)
            break;
        node = node.next_sibling();
    }
    return count;
}

// What one node costs the output caps: its text, its name twice (start and
// end tag) and each attribute's name and value; every attribute is a node.
struct NodeCost {
    long long nodes = 0;
    long long chars = 0;
};

NodeCost CostOf(const pugi::xml_node& node) {
    NodeCost cost{1, static_cast<long long>(std::strlen(node.value()) + 2 * std::strlen(node.name()))};
    for (const pugi::xml_attribute attribute : node.attributes()) {
        ++cost.nodes;
        cost.chars += static_cast<long long>(std::strlen(attribute.name()) + std::strlen(attribute.value()));
    }
    return cost;
}

}  // namespace

TemplateRenderer::TemplateRenderer(const std::wstring& baseUrl, const ZEP_Utility::DateTime& date, int unit)
    : m_baseUrl(baseUrl), m_currentDate(date), m_referenceDate(date), m_unit(unit) {
    // Spacing between inline elements is part of the page.
    m_templateDoc.SetPreserveWhiteSpace(true);
}

std::wstring TemplateRenderer::Render(XMLDoc& data, const std::wstring& templateText) {
    if (!m_templateDoc.LoadXml(templateText))
        return templateText;
    m_data = &data;
    m_depth = 0;
    m_work = m_outputNodes = m_outputChars = 0;
    m_overLimit = false;
    pugi::xml_document* dataDocument = data.GetDocument();
    m_dataNodes = dataDocument ? CountNodes(*dataDocument) : 0;
    ProcessChildren(*m_templateDoc.GetDocument(),
                    dataDocument ? pugi::xpath_node(*dataDocument) : pugi::xpath_node());
    if (m_overLimit) {
        m_templateDoc.LoadXml(L"<p/>");  // gives the memory back at once
        return kTooLargePage;
    }
    return m_templateDoc.GetXml();
}

bool TemplateRenderer::Spend(long long work, long long nodes, long long chars) {
    m_work += work;
    m_outputNodes += nodes;
    m_outputChars += chars;
    if (m_work > kMaxWork || m_outputNodes > kMaxOutputNodes || m_outputChars > kMaxOutputChars)
        m_overLimit = true;
    return !m_overLimit;
}

std::wstring TemplateRenderer::NodeText(const pugi::xpath_node& data, const std::wstring& xpath) {
    // An evaluation may visit every node of the data once.
    if (!Spend(1 + m_dataNodes, 0, 0))
        return {};
    return CutField(XMLDoc::GetNodeText(ZEP_Utility::SelectSingleNode(data, xpath)));
}

void TemplateRenderer::ProcessChildren(pugi::xml_node parent, const pugi::xpath_node& data) {
    if (m_overLimit)
        return;
    if (m_depth >= kMaxDepth) {
        // Left unprocessed, but a copy of it is still output: it counts.
        for (pugi::xml_node node = parent.first_child(); node;) {
            const NodeCost cost = CostOf(node);
            if (!Spend(cost.nodes, cost.nodes, cost.chars))
                return;
            if (node.first_child()) {
                node = node.first_child();
                continue;
            }
            while (node != parent && !node.next_sibling())
                node = node.parent();
            if (node == parent)
                break;
            node = node.next_sibling();
        }
        return;
    }
    ++m_depth;
    // Copies are inserted before the node that followed the processed one and
    // are processed as they are inserted, so the walk goes on from there.
    for (pugi::xml_node node = parent.first_child(); node;) {
        const pugi::xml_node next = node.next_sibling();
        ProcessNode(parent, node, data);
        node = next;
    }
    --m_depth;
}

void TemplateRenderer::ProcessNode(pugi::xml_node parent, pugi::xml_node node, const pugi::xpath_node& data) {
    // Every node of the page passes here once, copies included, with what
    // it holds: the caps count it.
    const NodeCost cost = CostOf(node);
    if (!Spend(cost.nodes, cost.nodes, cost.chars))
        return;
    bool found = false;
    if (node.type() == pugi::node_pcdata) {
        const std::wstring text = ExpandText(FromUtf8(node.value()), data, found);
        if (found) {
            node.set_value(ToUtf8(text).c_str());
            if (!Spend(0, 0, static_cast<long long>(text.size())))
                return;
        }
    }
    if (node.type() != pugi::node_element)
        return;
    for (pugi::xml_attribute attribute : node.attributes()) {
        const std::wstring value = ExpandText(FromUtf8(attribute.value()), data, found);
        if (found) {
            // The template's value was counted above; the expansion is what it brings.
            if (!Spend(0, 0, static_cast<long long>(value.size())))
                return;
            attribute.set_value(ToUtf8(value).c_str());
        }
    }
    if (IsElementNamed(node, "orbelline-value"))
        ValueRule(parent, node, data);
    else if (IsElementNamed(node, "orbelline-template"))
        TemplateRule(parent, node, data);
    else if (IsElementNamed(node, "orbelline-days"))
        DaysRule(parent, node, data);
    else
        ProcessChildren(node, data);
}

void TemplateRenderer::ValueRule(pugi::xml_node parent, pugi::xml_node element,
                                 const pugi::xpath_node& data) {
    const pugi::xml_attribute select = element.attribute("select");
    if (!select)
        return;
    const std::wstring text = NodeText(data, FromUtf8(select.value()));
    if (!Spend(0, 1, static_cast<long long>(text.size())))
        return;
    pugi::xml_node textNode = parent.insert_child_before(pugi::node_pcdata, element);
    textNode.set_value(ToUtf8(text).c_str());
    parent.remove_child(element);
}

void TemplateRenderer::TemplateRule(pugi::xml_node parent, pugi::xml_node element,
                                    const pugi::xpath_node& data) {
    const pugi::xml_attribute match = element.attribute("match");
    if (!match)
        return;
    // An invalid expression selects nothing and has no nomatch either.
    const std::wstring xpath = FromUtf8(match.value());
    bool valid = !xpath.empty();
    if (valid) {
        try {
            pugi::xpath_query query(match.value());
            valid = query.return_type() == pugi::xpath_type_node_set;
        } catch (const pugi::xpath_exception&) {
            valid = false;
        }
    }
    if (valid && data && Spend(1 + m_dataNodes, 0, 0)) {
        const pugi::xml_node insertionPoint = element.next_sibling();
        const pugi::xpath_node_set selection = ZEP_Utility::SelectNodes(data, xpath);
        if (!selection.empty()) {
            for (const pugi::xpath_node& selected : selection) {
                if (m_overLimit)
                    break;
                CopyChildrenBefore(parent, element, insertionPoint, selected);
            }
        } else {
            for (pugi::xml_node child : element.children()) {
                if (IsElementNamed(child, "orbelline-nomatch")) {
                    CopyChildrenBefore(parent, child, insertionPoint, data);
                    break;
                }
            }
        }
    }
    parent.remove_child(element);
}

void TemplateRenderer::DaysRule(pugi::xml_node parent, pugi::xml_node element, const pugi::xpath_node& data) {
    const int count = ZEP_Utility::ScanInteger(FromUtf8(element.attribute("count").value())).value_or(0);
    const int start = ZEP_Utility::ScanInteger(FromUtf8(element.attribute("start").value())).value_or(0);
    if (count <= 0)
        return;
    // A page of more days than this is a broken template, not a forecast.
    const int copies = std::min(count, kMaxDays);
    const pugi::xml_node insertionPoint = element.next_sibling();
    m_currentDate = m_referenceDate.AddDays(start);
    for (int i = 0; i < copies && !m_overLimit; ++i) {
        CopyChildrenBefore(parent, element, insertionPoint, data);
        m_currentDate = m_currentDate + ZEP_Utility::TimeSpan(1, 0, 0, 0);
    }
    parent.remove_child(element);
}

void TemplateRenderer::CopyChildrenBefore(pugi::xml_node parent, pugi::xml_node source,
                                          pugi::xml_node insertionPoint, const pugi::xpath_node& data) {
    for (pugi::xml_node child : source.children()) {
        if (m_overLimit)
            return;
        if (IsElementNamed(child, "orbelline-nomatch"))
            continue;
        pugi::xml_node copy =
            insertionPoint ? parent.insert_copy_before(child, insertionPoint) : parent.append_copy(child);
        if (copy)
            ProcessNode(parent, copy, data);
    }
}

std::wstring TemplateRenderer::ExpandText(const std::wstring& text, const pugi::xpath_node& data,
                                          bool& found) {
    found = false;
    std::wstring out;
    size_t position = 0;
    for (;;) {
        const size_t open = text.find(L'{', position);
        if (open == std::wstring::npos) {
            out.append(text, position, std::wstring::npos);
            break;
        }
        // The matching brace: nested braces belong to the outer expression.
        size_t close = std::wstring::npos;
        int depth = 0;
        for (size_t i = open; i < text.size(); ++i) {
            if (text[i] == L'{') {
                ++depth;
            } else if (text[i] == L'}') {
                if (depth == 1) {
                    close = i;
                    break;
                }
                --depth;
            }
        }
        if (close == std::wstring::npos) {
            out.append(text, position, std::wstring::npos);
            break;
        }
        out.append(text, position, open - position);
        out += Evaluate(text.substr(open + 1, close - open - 1), data);
        found = true;
        position = close + 1;
    }
    return out;
}

std::wstring TemplateRenderer::Evaluate(const std::wstring& full, const pugi::xpath_node& data) {
    std::wstring expression = full;
    std::wstring format;
    bool hasFormat = false;
    const size_t split = full.find(L",%");
    if (split != std::wstring::npos) {
        expression = full.substr(0, split);
        format = full.substr(split + 1);
        hasFormat = true;
    }
    std::wstring value;
    if (EvaluateSpecial(expression, data, value))
        return value;
    value = NodeText(data, expression);
    return hasFormat ? CutField(ApplyFormat(value, format)) : value;
}

bool TemplateRenderer::EvaluateSpecial(const std::wstring& expression, const pugi::xpath_node& data,
                                       std::wstring& value) {
    if (expression == L"DAY") {
        value = Decimal(m_currentDate.GetDay());
        return true;
    }
    if (expression == L"MONTH") {
        value = Decimal(m_currentDate.GetMonth());
        return true;
    }
    if (expression == L"YEAR") {
        value = Decimal(m_currentDate.GetYear());
        return true;
    }
    if (expression == L"WEATHER_FILES") {
        value = m_baseUrl;
        return true;
    }
    for (const bool today : {true, false}) {
        const std::wstring prefix = today ? L"DATE_T(" : L"DATE(";
        if (expression.compare(0, prefix.size(), prefix) != 0)
            continue;
        const size_t close = expression.find(L')', prefix.size());
        if (close == std::wstring::npos || close == prefix.size())
            return false;
        const std::wstring picture = expression.substr(prefix.size(), close - prefix.size());
        value =
            today && m_currentDate == m_referenceDate ? L"Today" : m_currentDate.FormatDate(picture.c_str());
        return true;
    }
    const std::wstring temperature = L"TEMPERATURE(";
    if (expression.compare(0, temperature.size(), temperature) == 0) {
        const size_t open = temperature.size();
        const size_t close = expression.find(L')', open);
        const size_t comma = expression.find(L',', open);
        if (close == std::wstring::npos || comma == std::wstring::npos || comma == open || comma + 1 >= close)
            return false;
        bool found = false;
        const std::wstring valueText = ExpandText(expression.substr(open, comma - open), data, found);
        const std::wstring unitText =
            ExpandText(expression.substr(comma + 1, close - comma - 1), data, found);
        const std::optional<double> reading = ZEP_Utility::ScanReal(valueText);
        const int unit = ZEP_Utility::ScanInteger(unitText).value_or(0);
        const double celsius = reading ? OBData::ToCelsius(*reading, unit) : 0.0;
        value = reading && OBData::IsSaneCelsius(celsius) ? OBData::FormatTemperature(celsius, m_unit)
                                                          : std::wstring(L"-");
        return true;
    }
    return false;
}

std::wstring TemplateRenderer::ApplyFormat(const std::wstring& value, const std::wstring& format) {
    if (format.empty())
        return value;
    if (format.find(L'*') != std::wstring::npos)
        return {};
    // One conversion with flags, width and precision; length modifiers are
    // accepted and dropped, since the value is passed at the conversion's own
    // width. Anything else (a second conversion, text after it) is refused
    // rather than handed to the formatter.
    static const std::wregex kSpec(
        LR"(%([-+ #0]*)([0-9]*)(\.[0-9]*)?(?:hh|h|ll|l|L|q|j|z|t|I64|I32)?([eEfgGdiouxXs]))");
    std::wsmatch parts;
    if (!std::regex_match(format, parts, kSpec))
        return {};
    const std::wstring width = parts[2].str();
    const std::wstring precision = parts[3].matched ? parts[3].str().substr(1) : L"";
    if (width.size() > 4 || precision.size() > 4 || (!width.empty() && std::stoi(width) > 2047) ||
        (!precision.empty() && std::stoi(precision) > 2047))
        return {};
    const wchar_t conversion = parts[4].str()[0];
    std::wstring clean = L"%" + parts[1].str() + width + (parts[3].matched ? parts[3].str() : L"");
    std::wstring buffer(8192, L'\0');
    int written = -1;
    if (conversion == L's') {
        clean += L"ls";
        const std::wstring text = value.substr(0, kFormatLimit);
        written = std::swprintf(buffer.data(), buffer.size(), clean.c_str(), text.c_str());
    } else {
        const auto number = ZEP_Utility::ScanReal(value);
        if (!number || !std::isfinite(*number))
            return {};
        clean += conversion;
        if (conversion == L'e' || conversion == L'E' || conversion == L'f' || conversion == L'g' ||
            conversion == L'G') {
            written = std::swprintf(buffer.data(), buffer.size(), clean.c_str(), *number);
        } else {
            const double rounded = std::floor(*number + 0.5);  // -2.7 is -3, not -2
            if (rounded > INT_MAX || rounded < INT_MIN)
                return {};
            const int integer = static_cast<int>(rounded);
            written = conversion == L'd' || conversion == L'i'
                          ? std::swprintf(buffer.data(), buffer.size(), clean.c_str(), integer)
                          : std::swprintf(buffer.data(), buffer.size(), clean.c_str(),
                                          static_cast<unsigned>(integer));
        }
    }
    if (written < 0)
        return {};
    buffer.resize(std::min<size_t>(static_cast<size_t>(written), kFormatLimit));
    return buffer;
}

}  // namespace OBWeather
