#include "app/CityGroupInfoListFields.h"

#include <cwctype>

#include "data/City.h"
#include "geo/Position.h"
#include "model/AppSettings.h"
#include "model/CityGroup.h"
#include "resources/ResourceIds.h"
#include "time/DisplayFormats.h"
#include "time/TimeZone.h"
#include "wnd/Library.h"

namespace OBControls {

namespace {

using ZEP_Utility::DateTime;

DateTime LocalTime(const OBData::City& city, const DateTime& utc) { return city.GetLocalTime(utc); }

// Polar day and night have no sunrise or sunset: the value stays empty.
std::wstring SunTime(const DateTime& time) {
    return time.IsEmpty() ? std::wstring()
                          : OBData::FormatClockTime(GetAppSettings().GetMainTimeFormat(), time);
}

std::wstring DateText(const OBData::CityGroup&, const OBData::City& city, const DateTime& utc) {
    const DateTime local = LocalTime(city, utc);
    return local.FormatDate(L"ddd") + L" " + local.GetShortDate();
}

std::wstring DialText(const OBData::CityGroup& group, const OBData::City& city, const DateTime&) {
    return ZEP_Wnd::LoadString(OBResources::kDialLabel) + group.GetDialCode(&city);
}

std::wstring DistanceText(const OBData::CityGroup& group, const OBData::City& city, const DateTime&) {
    const OBData::City* home = group.GetHomeCity();
    if (!home)
        return std::wstring();
    const OBData::Distance distance = OBData::GreatCircleDistance(home->GetPosition(), city.GetPosition());
    return ZEP_Wnd::LoadString(OBResources::kDistanceLabel) +
           distance.Format(GetAppSettings().GetUnits(), true);
}

std::wstring SunriseText(const OBData::CityGroup&, const OBData::City& city, const DateTime& utc) {
    return ZEP_Wnd::LoadString(OBResources::kSunriseLabel) + SunTime(city.GetSunrise(LocalTime(city, utc)));
}

std::wstring SunsetText(const OBData::CityGroup&, const OBData::City& city, const DateTime& utc) {
    return ZEP_Wnd::LoadString(OBResources::kSunsetLabel) + SunTime(city.GetSunset(LocalTime(city, utc)));
}

std::wstring SummerTimeText(const OBData::CityGroup&, const OBData::City& city, const DateTime& utc) {
    bool summer = false;
    if (const OBData::TimeZone* zone = city.GetTimeZone())
        summer = zone->IsSummerTimeAt(utc);
    return ZEP_Wnd::LoadString(OBResources::kSummerLabel) + (summer ? L"Yes" : L"No");
}

std::wstring AirportText(const OBData::CityGroup&, const OBData::City& city, const DateTime&) {
    return ZEP_Wnd::LoadString(OBResources::kAirportLabel) + city.GetAirport();
}

// How far the city's clock stands from home's: "Offset: 5 hours behind", and
// "Offset: none" on the home row.
std::wstring OffsetText(const OBData::CityGroup& group, const OBData::City& city, const DateTime& utc) {
    const OBData::City* home = group.GetHomeCity();
    if (!home)
        return std::wstring();
    return ZEP_Wnd::LoadString(OBResources::kOffsetLabel) + home->GetOffsetText(city, utc);
}

// Reads an integer as "%d" does: blanks, an optional sign, digits.
bool ReadInt(const std::wstring& text, size_t& pos, long long& value) {
    size_t p = pos;
    while (p < text.size() && std::iswspace(static_cast<wint_t>(text[p])))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == L'+' || text[p] == L'-'))
        negative = text[p++] == L'-';
    const size_t digits = p;
    long long v = 0;
    while (p < text.size() && text[p] >= L'0' && text[p] <= L'9') {
        if (v < 1000000000LL)
            v = v * 10 + (text[p] - L'0');
        ++p;
    }
    if (p == digits)
        return false;
    value = negative ? -v : v;
    pos = p;
    return true;
}

}  // namespace

std::vector<CityInfoFieldDefinition> MakeCityInfoFieldDefinitions() {
    return {
        {L"Date", DateText, DateText},          {L"Dial", DialText, nullptr},
        {L"Distance", DistanceText, nullptr},   {L"Sunrise", SunriseText, SunriseText},
        {L"Sunset", SunsetText, SunsetText},    {L"SummerTime", SummerTimeText, SummerTimeText},
        {L"Airport", AirportText, AirportText}, {L"Offset", OffsetText, OffsetText},
    };
}

CityInfoFieldSet::CityInfoFieldSet(std::vector<CityInfoFieldDefinition> definitions)
    : m_definitions(std::move(definitions)) {
    SelectAll();
}

void CityInfoFieldSet::SelectAll() {
    m_selectedFields.clear();
    for (int i = 0; i < static_cast<int>(m_definitions.size()); ++i)
        m_selectedFields.push_back(i);
    m_currentField = 0;
}

int CityInfoFieldSet::GetCurrentDefinition() const {
    if (m_currentField < 0 || m_currentField >= static_cast<int>(m_selectedFields.size()))
        return -1;
    return m_selectedFields[static_cast<size_t>(m_currentField)];
}

void CityInfoFieldSet::SetSelectedFields(const std::vector<int>& indexes) {
    m_selectedFields.clear();
    for (int index : indexes)
        if (index >= 0 && index < static_cast<int>(m_definitions.size()))
            m_selectedFields.push_back(index);
    if (m_selectedFields.empty())
        SelectAll();
    m_currentField = 0;
}

std::wstring CityInfoFieldSet::ToText() const {
    std::wstring text = std::to_wstring(m_currentField) + L";";
    for (int index : m_selectedFields)
        text += std::to_wstring(index) + L";";
    return text;
}

void CityInfoFieldSet::LoadFromText(const std::wstring& text) {
    size_t pos = 0;
    long long current = 0;
    if (!ReadInt(text, pos, current))
        return;
    const long long definitions = static_cast<long long>(m_definitions.size());
    m_selectedFields.clear();
    for (;;) {
        const size_t semicolon = text.find(L';', pos);
        if (semicolon == std::wstring::npos)
            break;
        pos = semicolon + 1;
        long long index = 0;
        if (!ReadInt(text, pos, index))
            break;
        if (index < 0 || index >= definitions) {
            m_selectedFields.clear();
            break;
        }
        m_selectedFields.push_back(static_cast<int>(index));
    }
    if (m_selectedFields.empty()) {
        SelectAll();
        return;
    }
    const bool valid = current >= 0 && current < static_cast<long long>(m_selectedFields.size());
    m_currentField = valid ? static_cast<int>(current) : 0;
}

bool CityInfoFieldSet::HasHomeText(int position) const {
    const int index = m_selectedFields[static_cast<size_t>(position)];
    return static_cast<bool>(m_definitions[static_cast<size_t>(index)].homeText);
}

void CityInfoFieldSet::Step(int delta, bool homeOnly) {
    const int count = static_cast<int>(m_selectedFields.size());
    if (count == 0)
        return;
    const auto wrap = [count](int position) { return ((position % count) + count) % count; };
    const int start = wrap(m_currentField);
    int position = wrap(start + delta);
    if (homeOnly)
        while (!HasHomeText(position) && position != start)
            position = wrap(position + delta);
    m_currentField = position;
}

std::wstring CityInfoFieldSet::GetText(const OBData::CityGroup& group, const OBData::City& city,
                                       const ZEP_Utility::DateTime& utc) const {
    const int index = GetCurrentDefinition();
    if (index < 0)
        return std::wstring();
    const CityInfoFieldDefinition& field = m_definitions[static_cast<size_t>(index)];
    const CityInfoTextFunction& function = group.IsHomeCity(&city) ? field.homeText : field.text;
    return function ? function(group, city, utc) : std::wstring();
}

}  // namespace OBControls
