// Finding gazetteer cities by what the user types: any part of a city's
// name, ignoring case, accents, hyphens, apostrophes and dots. The dialogs,
// the command line's --find and the names given to --cities and --info all
// use the same matching and the same order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace OBData {

class City;

// The form both sides are compared in: lower case, Latin letters without
// their accents ("São" -> "sao", "Straße" -> "strasse"), apostrophes and dots
// dropped, hyphens and other separators as one blank, no leading blank. A
// single trailing blank is kept, so that "new " finds the words that follow.
std::wstring FoldForFind(std::wstring_view text);

// How well a city's name holds the text: the whole name starts with it, a
// later word starts with it, or it is somewhere inside.
enum class FindRank { NameStart, WordStart, Inside, None };
FindRank RankName(const std::wstring& foldedName, const std::wstring& foldedText);

// Every city whose name holds the text, best first: by rank, then by name,
// then by country name. Empty for a text that folds to nothing.
std::vector<City*> FindCities(std::wstring_view text);

// What a name given on the command line stands for. A city is named by its
// whole name ("sao paulo"), optionally followed by a comma and its country's
// name or code ("Kingston, Jamaica", "Kingston, JM"); failing a whole name,
// a text that only one city's name holds names that city.
struct CityNameLookup {
    City* city = nullptr;           // set when the name names one city
    std::vector<City*> candidates;  // when it names several, or none holds it: empty
};
CityNameLookup LookUpCityName(std::wstring_view name);

// "Tokyo, Japan": a found city as the lists show it.
std::wstring CityWithCountry(const City& city);

}  // namespace OBData

namespace OBData {

// The city a first start offers the user: of the cities in the IANA zone
// `zone`, the one the zone is named after ("Europe/Berlin" gives Berlin,
// "America/Sao_Paulo" Sao Paulo), else the zone's first by name; failing
// that the first city by name of the locale's country (a two-letter code,
// "GB" read as the gazetteer's "UK"); null when neither gives one.
City* CityForMachine(const std::string& zone, const std::string& localeCountry);

}  // namespace OBData
