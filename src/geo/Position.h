// Geographic positions, great-circle distances and their display texts.
#pragma once

#include <string>

namespace OBData {

// Degrees <-> radians with the program's own constants (pi as 3.1415926).
constexpr double kDegToRad = 0.017453292222222222;
constexpr double kRadToDeg = 57.295780490442965;

// Latitude and longitude in degrees, north and east positive. Both are
// clamped into -180..180 when made; a plain value, copied as it is.
class Position {
public:
    Position() = default;
    Position(double latitude, double longitude);

    double GetLatitude() const { return m_latitude; }
    double GetLongitude() const { return m_longitude; }

    std::wstring FormatLatitude() const;   // "51° 30' N"
    std::wstring FormatLongitude() const;  // "0° 7' W"
    std::wstring ToString() const;         // "33° 52' S, 151° 12' E"

private:
    double m_latitude = 0.0;
    double m_longitude = 0.0;
};

// The unit of the "units" setting.
enum DistanceUnit { kKilometres = 0, kMiles = 1, kNauticalMiles = 2 };

// A length, held in kilometres.
class Distance {
public:
    Distance() = default;
    // A value in the given unit; an unknown unit gives 0.
    Distance(double value, int unit)
        : m_km(unit == kKilometres      ? value
               : unit == kMiles         ? value * 1.61
               : unit == kNauticalMiles ? value * 1.852
                                        : 0.0) {}

    // 0 for an unknown unit.
    double InUnits(int unit) const {
        return unit == kKilometres      ? m_km
               : unit == kMiles         ? m_km * 0.62
               : unit == kNauticalMiles ? m_km * 0.5399568034557235
                                        : 0.0;
    }
    // Rounded to a whole number, grouped by thousands ("12,401"), with the
    // unit's suffix (" KM", " Miles", " NM", " UNKNOWN") when asked.
    std::wstring Format(int unit, bool withSuffix) const;

    bool operator<(const Distance& other) const { return m_km < other.m_km; }
    bool operator>(const Distance& other) const { return m_km > other.m_km; }

private:
    double m_km = 0.0;
};

// Spherical law of cosines on a sphere of 60 nautical miles per degree. The
// distance from a position to itself is exactly 0.
Distance GreatCircleDistance(const Position& from, const Position& to);

// Decimal digits grouped by three from the right: 1234567 -> "1,234,567".
std::wstring FormatThousands(int value, wchar_t separator);

}  // namespace OBData
