// The information line of the city info list: which pieces of information
// (date, dialling code, distance, sunrise, sunset, summer time, airport,
// offset from home) the
// user chose, which one every row shows now, and the text of each for a
// city. Kept in the settings as "current;selected;selected;...;".
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "data/Forward.h"
#include "time/DateTime.h"

namespace OBControls {

// The text of one piece of information for a city of a group at a UTC moment.
using CityInfoTextFunction = std::function<std::wstring(
    const OBData::CityGroup& group, const OBData::City& city, const ZEP_Utility::DateTime& utc)>;

struct CityInfoFieldDefinition {
    std::wstring name;
    CityInfoTextFunction text;
    CityInfoTextFunction homeText;  // empty: the home city's line stays empty
};

enum CityInfoField {
    kFieldDate,
    kFieldDial,
    kFieldDistance,
    kFieldSunrise,
    kFieldSunset,
    kFieldSummerTime,
    kFieldAirport,
    kFieldOffset
};

// The eight pieces of information, in their fixed order. Offset came last, so
// a stored choice from before it keeps showing what it showed.
std::vector<CityInfoFieldDefinition> MakeCityInfoFieldDefinitions();

class CityInfoFieldSet {
public:
    // All definitions selected, the first current.
    explicit CityInfoFieldSet(
        std::vector<CityInfoFieldDefinition> definitions = MakeCityInfoFieldDefinitions());

    int GetCurrentField() const { return m_currentField; }  // position in the selected fields
    // The definition index shown now, or -1 when nothing is selected.
    int GetCurrentDefinition() const;
    const std::vector<int>& GetSelectedFields() const { return m_selectedFields; }
    const std::vector<CityInfoFieldDefinition>& GetDefinitions() const { return m_definitions; }

    void SelectAll();
    // Replaces the selection (invalid indexes are dropped; none left selects
    // all) and makes the first current.
    void SetSelectedFields(const std::vector<int>& indexes);

    // The stored form: "0;0;1;2;3;4;5;6;7;" for all eight with the first shown.
    std::wstring ToText() const;
    // Reads a stored form; a text that does not start with a number changes
    // nothing, a bad field index selects all.
    void LoadFromText(const std::wstring& text);

    // Steps the current field by -1 or +1, wrapping. With `homeOnly` (the
    // group holds fewer than two cities) fields with no text for the home
    // city are passed over.
    void Step(int delta, bool homeOnly);

    // The current field's text for a city (the home text for the home city).
    std::wstring GetText(const OBData::CityGroup& group, const OBData::City& city,
                         const ZEP_Utility::DateTime& utc) const;

private:
    bool HasHomeText(int position) const;

    int m_currentField = 0;
    std::vector<CityInfoFieldDefinition> m_definitions;
    std::vector<int> m_selectedFields;
};

}  // namespace OBControls
