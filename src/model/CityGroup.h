// The user's ordered list of chosen cities. The first city is the home city:
// offsets, dialling codes and distances are shown relative to it. The group
// points at the shared City objects of the lookup layer and never owns them.
#pragma once

#include <string>
#include <vector>

namespace ZEP_Utility {
class Settings;
}

namespace OBData {

class City;

class CityGroup {
public:
    CityGroup() = default;
    CityGroup(const CityGroup&) = default;
    CityGroup& operator=(const CityGroup&) = default;
    virtual ~CityGroup() = default;

    void Assign(const CityGroup& other);

    int GetCount() const { return static_cast<int>(m_cities.size()); }
    const std::vector<City*>& GetCities() const { return m_cities; }
    City* GetHomeCity() const { return m_cities.empty() ? nullptr : m_cities.front(); }
    bool IsHomeCity(const City* city) const;
    int IndexOf(int id) const;

    // The city's position; an id already present keeps its place. -1 when
    // the id names no city.
    int AddCity(int id);
    void RemoveCity(int id);
    // Moves the city at `position` to the front; false for a bad position.
    bool SetHomeCity(int position);
    bool SetHomeCity(const City* city);
    // Takes the city out at `from` and inserts it so that it ends at `to`.
    void MoveCity(int from, int to);
    void Clear() { m_cities.clear(); }

    // What to dial at home to reach `city`; "***" without a home city.
    std::wstring GetDialCode(const City* city) const;

    // The stored form: ids in order separated by ';' ("234;292;414").
    std::wstring ToText() const;
    // Replaces the list from a stored form. Unknown ids, repeats and entries
    // that are not numbers above 0 are dropped.
    void Parse(const std::wstring& text);
    // The ids a stored form holds, in order, each once, before any is looked
    // up: each entry is read as a decimal integer from its start (leading
    // blanks and a sign allowed) and kept when it is above 0 and fits an int;
    // a larger number is dropped, never wrapped round. The program and the
    // weather downloader both read "cities" through this.
    static std::vector<int> ParseIds(const std::wstring& text);

    // Write or read the stored form as a setting of the given store.
    bool Save(ZEP_Utility::Settings& settings, const std::wstring& key) const;
    void Load(const ZEP_Utility::Settings& settings, const std::wstring& key);
    // The same with the application's own store.
    bool Save(const std::wstring& key) const;
    void Load(const std::wstring& key);

private:
    std::vector<City*> m_cities;
};

}  // namespace OBData
