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

#include <string>

#include "time/DateTime.h"
#include "util/XMLDoc.h"

namespace OBWeather {

class TemplateRenderer {
public:
    // baseUrl: the html folder as a file URL; date: the day treated as
    // today; unit: 0 Celsius, 1 Fahrenheit, anything else shows "***".
    TemplateRenderer(const std::wstring& baseUrl, const ZEP_Utility::DateTime& date, int unit);

    // The filled page, or the template text unchanged when it is not well-formed.
    std::wstring Render(ZEP_Utility::XMLDoc& data, const std::wstring& templateText);

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

    ZEP_Utility::XMLDoc* m_data = nullptr;
    ZEP_Utility::XMLDoc m_templateDoc;
    std::wstring m_baseUrl;
    ZEP_Utility::DateTime m_currentDate;
    ZEP_Utility::DateTime m_referenceDate;
    int m_unit;
    int m_depth = 0;
};

}  // namespace OBWeather
