// Fills an HTML page template (well-formed XML) from a forecast document.
//
// The template's own markup: <orbelline-value select="xpath"/>,
// <orbelline-template match="xpath"> with an optional <orbelline-nomatch>
// child, <orbelline-days start="n" count="n">, and brace expressions in text
// and attribute values: {DAY}, {MONTH}, {YEAR}, {WEATHER_FILES},
// {DATE(picture)}, {DATE_T(picture)}, {TEMPERATURE(value,unit)} and
// {xpath} or {xpath,%format}.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <string>

#include "time/DateTime.h"
#include "util/XMLDoc.h"

namespace OBWeather {

class TemplateRenderer {
public:
    // baseUrl: the html folder as a file URL; date: the day treated as
    // today; unit: 0 Celsius, 1 Fahrenheit, anything else shows "***".
    TemplateRenderer(const std::wstring& baseUrl, const ZEP_Utility::DateTime& date, int unit);

    // What one expansion may bring into a page. A text field (a node's text
    // or one formatted value) longer than kMaxFieldChars is cut there with an
    // ellipsis. Past kMaxWork steps (nodes processed, plus the data
    // document's node count for every path evaluated), kMaxOutputNodes
    // nodes (elements, attributes, texts) or kMaxOutputChars characters
    // (texts, names, attribute values; a name twice) the expansion stops and
    // the page is kTooLargePage. A forecast page takes a few hundred of each.
    // Nodes nested too deep to be processed are counted too, copies included,
    // so no page comes out larger than the caps allow.
    static constexpr std::size_t kMaxFieldChars = 1000;
    static constexpr long long kMaxWork = 20'000'000;
    static constexpr long long kMaxOutputNodes = 100'000;
    static constexpr long long kMaxOutputChars = 512 * 1024;
    static constexpr const wchar_t* kTooLargePage =
        L"<html><body><p>This forecast is too large to be shown.</p></body></html>";

    // The filled page, the template text unchanged when it is not
    // well-formed, or kTooLargePage past a cap.
    std::wstring Render(ZEP_Utility::XMLDoc& data, const std::wstring& templateText);
    // Whether the last Render stopped at a cap.
    bool WasCut() const { return m_overLimit; }

    // One formatted value; exposed for tests. Formats are printf conversions
    // of one value; anything else gives the empty text.
    static std::wstring ApplyFormat(const std::wstring& value, const std::wstring& format);
    // Replaces every brace expression; `found` tells whether there was one.
    std::wstring ExpandText(const std::wstring& text, const pugi::xpath_node& data, bool& found);

private:
    void ProcessChildren(pugi::xml_node parent, const pugi::xpath_node& data);
    void ProcessNode(pugi::xml_node parent, pugi::xml_node node, const pugi::xpath_node& data);
    void ValueRule(pugi::xml_node parent, pugi::xml_node element, const pugi::xpath_node& data);
    void TemplateRule(pugi::xml_node parent, pugi::xml_node element, const pugi::xpath_node& data);
    void DaysRule(pugi::xml_node parent, pugi::xml_node element, const pugi::xpath_node& data);
    void CopyChildrenBefore(pugi::xml_node parent, pugi::xml_node source, pugi::xml_node insertionPoint,
                            const pugi::xpath_node& data);
    std::wstring Evaluate(const std::wstring& expression, const pugi::xpath_node& data);
    bool EvaluateSpecial(const std::wstring& expression, const pugi::xpath_node& data, std::wstring& value);
    // Counts work and output against the caps; false once one is passed.
    bool Spend(long long work, long long nodes, long long chars);
    std::wstring NodeText(const pugi::xpath_node& data, const std::wstring& xpath);

    ZEP_Utility::XMLDoc* m_data = nullptr;
    ZEP_Utility::XMLDoc m_templateDoc;
    std::wstring m_baseUrl;
    ZEP_Utility::DateTime m_currentDate;
    ZEP_Utility::DateTime m_referenceDate;
    int m_unit;
    int m_depth = 0;
    long long m_dataNodes = 0;
    long long m_work = 0;
    long long m_outputNodes = 0;
    long long m_outputChars = 0;
    bool m_overLimit = false;
};

}  // namespace OBWeather
