#include "data/CityFinder.h"

#include <algorithm>
#include <cwctype>

#include "data/City.h"
#include "data/Country.h"
#include "data/DataView.h"
#include "data/ReferenceLookup.h"

namespace OBData {

namespace {

// Base letters of U+00C0..U+017F, lower case; '?' marks the letters that
// fold to two (and the two signs of the block that are no letters).
constexpr std::wstring_view kLatin1 =
    L"aaaaaa?ceeeeiiiidnooooo?ouuuuy??"   // U+00C0..U+00DF
    L"aaaaaa?ceeeeiiiidnooooo?ouuuuy?y";  // U+00E0..U+00FF
constexpr std::wstring_view kLatinA =
    L"aaaaaaccccccccdd"
    L"ddeeeeeeeeeegggg"
    L"gggghhhhiiiiiiii"
    L"ii??jjkkklllllll"
    L"lllnnnnnnnnnoooo"
    L"oo??rrrrrrssssss"
    L"ssttttttuuuuuuuu"
    L"uuuuwwyyyzzzzzzs";  // U+0100..U+017F

// Appends what one character folds to; nothing for an apostrophe, a dot or
// a combining accent, a blank for a separator.
void FoldChar(wchar_t c, std::wstring& out) {
    const auto code = static_cast<std::uint32_t>(c);
    auto put = [&out](std::wstring_view text) { out += text; };
    if (c >= L'A' && c <= L'Z') {
        out += static_cast<wchar_t>(c - L'A' + L'a');
    } else if ((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9')) {
        out += c;
    } else if (c == L'\'' || c == L'.' || c == L'`' || code == 0xB4 || code == 0x2018 || code == 0x2019 ||
               code == 0x02BB || code == 0x02BC || (code >= 0x0300 && code <= 0x036F)) {
        // Apostrophes, dots and combining accents do not count.
    } else if (code >= 0xC0 && code <= 0xFF) {
        switch (code) {
        case 0xC6:
        case 0xE6: put(L"ae"); break;
        case 0xDE:
        case 0xFE: put(L"th"); break;
        case 0xDF: put(L"ss"); break;
        case 0xD7:
        case 0xF7: out += L' '; break;
        default: out += kLatin1[code - 0xC0];
        }
    } else if (code >= 0x100 && code <= 0x17F) {
        if (code == 0x132 || code == 0x133)
            put(L"ij");
        else if (code == 0x152 || code == 0x153)
            put(L"oe");
        else
            out += kLatinA[code - 0x100];
    } else if (code == 0x1A0 || code == 0x1A1) {
        out += L'o';
    } else if (code == 0x1AF || code == 0x1B0) {
        out += L'u';
    } else if (code >= 0x218 && code <= 0x21B) {
        out += code < 0x21A ? L's' : L't';
    } else if (code >= 0x1EA0 && code <= 0x1EF9) {
        // The Vietnamese letters with two marks, in the block's order.
        out += code < 0x1EB8   ? L'a'
               : code < 0x1EC8 ? L'e'
               : code < 0x1ECC ? L'i'
               : code < 0x1EE4 ? L'o'
               : code < 0x1EF2 ? L'u'
                               : L'y';
    } else if (code > 0x7F && std::iswalnum(static_cast<wint_t>(c))) {
        out += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    } else {
        out += L' ';
    }
}

bool IsWordStart(const std::wstring& folded, std::size_t at) { return at == 0 || folded[at - 1] == L' '; }

std::wstring CountryName(const City& city) {
    return city.GetCountry() ? city.GetCountry()->GetDisplayName() : std::wstring();
}

struct Candidate {
    City* city;
    FindRank rank;
    const std::wstring* name;  // folded, so "Sao" and "São" sort together
    std::wstring country;      // folded
};

// Every city of the gazetteer with its folded name. Made afresh for each
// search (a few hundred short names): a copy kept aside would outlive the
// cities when the reference data is released.
std::vector<std::pair<City*, std::wstring>> FoldedCities() {
    std::vector<std::pair<City*, std::wstring>> cities;
    const DataView* view = GetCityView();
    for (int i = 0; view && i < view->GetCount(); ++i) {
        std::int32_t id = 0;
        if (!view->GetRow(i).GetInt(L"id", id))
            continue;
        if (City* city = GetCity(id))
            cities.emplace_back(city, FoldForFind(city->GetDisplayName()));
    }
    return cities;
}

}  // namespace

std::wstring FoldForFind(std::wstring_view text) {
    std::wstring folded;
    for (wchar_t c : text)
        FoldChar(c, folded);
    std::wstring out;
    out.reserve(folded.size());
    for (wchar_t c : folded) {
        if (c == L' ' && (out.empty() || out.back() == L' '))
            continue;
        out += c;
    }
    return out;
}

FindRank RankName(const std::wstring& foldedName, const std::wstring& foldedText) {
    if (foldedText.empty())
        return FindRank::None;
    std::size_t at = foldedName.find(foldedText);
    if (at == std::wstring::npos) {
        // A trailing blank also matches at the end of the name ("tokyo ").
        if (foldedText.back() != L' ' || foldedName.size() + 1 < foldedText.size() ||
            foldedName.compare(foldedName.size() - (foldedText.size() - 1), std::wstring::npos, foldedText, 0,
                               foldedText.size() - 1) != 0)
            return FindRank::None;
        at = foldedName.size() - (foldedText.size() - 1);
    }
    if (at == 0)
        return FindRank::NameStart;
    for (; at != std::wstring::npos; at = foldedName.find(foldedText, at + 1))
        if (IsWordStart(foldedName, at))
            return FindRank::WordStart;
    return FindRank::Inside;
}

std::vector<City*> FindCities(std::wstring_view text) {
    const std::wstring wanted = FoldForFind(text);
    std::vector<Candidate> found;
    if (wanted.empty() || wanted == L" ")
        return {};
    const auto folded = FoldedCities();
    for (const auto& [city, name] : folded) {
        const FindRank rank = RankName(name, wanted);
        if (rank != FindRank::None)
            found.push_back({city, rank, &name, FoldForFind(CountryName(*city))});
    }
    std::stable_sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        if (*a.name != *b.name)
            return *a.name < *b.name;
        return a.country < b.country;
    });
    std::vector<City*> cities;
    cities.reserve(found.size());
    for (const Candidate& c : found)
        cities.push_back(c.city);
    return cities;
}

CityNameLookup LookUpCityName(std::wstring_view name) {
    std::wstring_view cityPart = name, countryPart;
    if (const auto comma = name.rfind(L','); comma != std::wstring_view::npos) {
        cityPart = name.substr(0, comma);
        countryPart = name.substr(comma + 1);
    }
    const std::wstring foldedCity = FoldForFind(cityPart);
    std::wstring foldedCountry = FoldForFind(countryPart);
    while (!foldedCountry.empty() && foldedCountry.back() == L' ')
        foldedCountry.pop_back();
    const auto inCountry = [&foldedCountry](const City& city) {
        const Country* country = city.GetCountry();
        return foldedCountry.empty() ||
               (country && (FoldForFind(country->GetDisplayName()) == foldedCountry ||
                            FoldForFind(country->GetIso2Name()) == foldedCountry));
    };
    std::wstring whole = foldedCity;
    while (!whole.empty() && whole.back() == L' ')
        whole.pop_back();

    // "Birmingham" names both "Birmingham" and "Birmingham; AL": a state
    // after the name does not make it another name.
    std::vector<City*> exact, holding;
    for (City* city : FindCities(cityPart)) {
        if (!inCountry(*city))
            continue;
        holding.push_back(city);
        const std::wstring display = city->GetDisplayName();
        if (FoldForFind(display) == whole || FoldForFind(display.substr(0, display.find(L';'))) == whole)
            exact.push_back(city);
    }
    const std::vector<City*>& named = exact.empty() ? holding : exact;
    CityNameLookup lookup;
    if (named.size() == 1)
        lookup.city = named.front();
    else
        lookup.candidates = named;
    return lookup;
}

std::wstring CityWithCountry(const City& city) {
    const std::wstring country = CountryName(city);
    return country.empty() ? city.GetDisplayName() : city.GetDisplayName() + L", " + country;
}

}  // namespace OBData

namespace OBData {

namespace {

// The first of the cities by name, as the dialogs list them.
City* FirstByName(const std::vector<City*>& cities) {
    City* first = nullptr;
    std::wstring firstName;
    for (City* city : cities) {
        const std::wstring name = FoldForFind(city->GetDisplayName());
        if (!first || name < firstName) {
            first = city;
            firstName = name;
        }
    }
    return first;
}

}  // namespace

City* CityForMachine(const std::string& zone, const std::string& localeCountry) {
    std::vector<City*> inZone, inCountry;
    std::wstring country(localeCountry.begin(), localeCountry.end());
    if (country == L"GB")
        country = L"UK";
    const std::string place = zone.substr(zone.rfind('/') == std::string::npos ? 0 : zone.rfind('/') + 1);
    const std::wstring zoneCity = FoldForFind(std::wstring(place.begin(), place.end()));
    const std::wstring wideZone(zone.begin(), zone.end());
    for (const auto& [city, name] : FoldedCities()) {
        if (!zone.empty() && city->GetIanaZone() == wideZone) {
            if (name == zoneCity)
                return city;
            inZone.push_back(city);
        }
        if (!country.empty() && city->GetCountry() && city->GetCountry()->GetIso2Name() == country)
            inCountry.push_back(city);
    }
    if (City* city = FirstByName(inZone))
        return city;
    return FirstByName(inCountry);
}

}  // namespace OBData
