#include "model/CityGroup.h"

#include <algorithm>
#include <climits>

#include "data/City.h"
#include "data/ReferenceLookup.h"
#include "model/AppSettings.h"
#include "model/Settings.h"

namespace OBData {

void CityGroup::Assign(const CityGroup& other) {
    if (&other != this)
        m_cities = other.m_cities;
}

bool CityGroup::IsHomeCity(const City* city) const {
    return city && !m_cities.empty() && m_cities.front()->GetId() == city->GetId();
}

int CityGroup::IndexOf(int id) const {
    for (std::size_t i = 0; i < m_cities.size(); ++i)
        if (m_cities[i]->GetId() == id)
            return static_cast<int>(i);
    return -1;
}

int CityGroup::AddCity(int id) {
    const int present = IndexOf(id);
    if (present >= 0)
        return present;
    City* city = GetCity(id);
    if (!city)
        return -1;
    m_cities.push_back(city);
    return GetCount() - 1;
}

void CityGroup::RemoveCity(int id) {
    const int at = IndexOf(id);
    if (at >= 0)
        m_cities.erase(m_cities.begin() + at);
}

bool CityGroup::SetHomeCity(int position) {
    if (position < 0 || position >= GetCount())
        return false;
    std::rotate(m_cities.begin(), m_cities.begin() + position, m_cities.begin() + position + 1);
    return true;
}

bool CityGroup::SetHomeCity(const City* city) { return city && SetHomeCity(IndexOf(city->GetId())); }

void CityGroup::MoveCity(int from, int to) {
    if (from < 0 || to < 0 || from >= GetCount() || to >= GetCount() || from == to)
        return;
    City* city = m_cities[from];
    m_cities.erase(m_cities.begin() + from);
    m_cities.insert(m_cities.begin() + to, city);
}

std::wstring CityGroup::GetDialCode(const City* city) const {
    if (m_cities.empty() || !city)
        return L"***";
    return m_cities.front()->GetDialCode(*city);
}

std::wstring CityGroup::ToText() const {
    std::wstring text;
    for (std::size_t i = 0; i < m_cities.size(); ++i) {
        if (i > 0)
            text += L';';
        text += std::to_wstring(m_cities[i]->GetId());
    }
    return text;
}

std::vector<int> CityGroup::ParseIds(const std::wstring& text) {
    std::vector<int> ids;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t next = text.find(L';', pos);
        int id = 0;
        // A number too large for an int stops at INT_MAX, which is dropped,
        // rather than wrapping round to an id that names a real city.
        ZEP_Utility::Settings::ParseInt(
            text.substr(pos, next == std::wstring::npos ? std::wstring::npos : next - pos), id);
        if (id > 0 && id != INT_MAX && std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
        if (next == std::wstring::npos)
            break;
        pos = next + 1;
    }
    return ids;
}

void CityGroup::Parse(const std::wstring& text) {
    Clear();
    for (int id : ParseIds(text))
        AddCity(id);
}

bool CityGroup::Save(ZEP_Utility::Settings& settings, const std::wstring& key) const {
    return settings.SetString(key, ToText());
}

void CityGroup::Load(const ZEP_Utility::Settings& settings, const std::wstring& key) {
    std::wstring text;
    settings.GetString(key, text);
    Parse(text);
}

bool CityGroup::Save(const std::wstring& key) const { return Save(GetSettingsStore(), key); }

void CityGroup::Load(const std::wstring& key) { Load(GetSettingsStore(), key); }

}  // namespace OBData
