// Forward declarations of the gazetteer and city-list classes, for headers
// that only pass them by pointer or reference.
#pragma once

namespace OBData {

class City;
class CityGroup;
class Country;
class TimeZone;

}  // namespace OBData
