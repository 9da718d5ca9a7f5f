#include "geo/Position.h"

#include <cmath>
#include <cstdio>

namespace OBData {
namespace {

double Clamp180(double value) {
    if (std::isnan(value))
        return 0.0;
    return value < -180.0 ? -180.0 : value > 180.0 ? 180.0 : value;
}

std::wstring FormatCoordinate(double value, const wchar_t* positive, const wchar_t* negative) {
    const int degrees = static_cast<int>(value);
    const int minutes = static_cast<int>((value - degrees) * 60.0);
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%d\u00B0 %d' %ls", std::abs(degrees), std::abs(minutes),
                  value < 0 ? negative : positive);
    return buffer;
}

}  // namespace

Position::Position(double latitude, double longitude)
    : m_latitude(Clamp180(latitude)), m_longitude(Clamp180(longitude)) {}

std::wstring Position::FormatLatitude() const { return FormatCoordinate(m_latitude, L"N", L"S"); }

std::wstring Position::FormatLongitude() const { return FormatCoordinate(m_longitude, L"E", L"W"); }

std::wstring Position::ToString() const { return FormatLatitude() + L", " + FormatLongitude(); }

std::wstring Distance::Format(int unit, bool withSuffix) const {
    const double v = InUnits(unit) + 0.5;
    // Negative, NaN or absurd lengths have no sensible text; show 0.
    const int n = (v >= 0.0 && v < 2147483647.0) ? static_cast<int>(v) : 0;
    std::wstring text = FormatThousands(n, L',');
    if (withSuffix) {
        switch (unit) {
        case kKilometres: text += L" KM"; break;
        case kMiles: text += L" Miles"; break;
        case kNauticalMiles: text += L" NM"; break;
        default: text += L" UNKNOWN"; break;
        }
    }
    return text;
}

Distance GreatCircleDistance(const Position& from, const Position& to) {
    if (from.GetLatitude() == to.GetLatitude() && from.GetLongitude() == to.GetLongitude())
        return Distance(0.0, kNauticalMiles);
    const double phi1 = from.GetLatitude() * kDegToRad;
    const double phi2 = to.GetLatitude() * kDegToRad;
    const double dLambda = to.GetLongitude() * kDegToRad - from.GetLongitude() * kDegToRad;
    double c = std::cos(dLambda) * std::cos(phi2) * std::cos(phi1) + std::sin(phi2) * std::sin(phi1);
    // Rounding can push the cosine just past +-1, where acos has no value.
    c = c > 1.0 ? 1.0 : c < -1.0 ? -1.0 : c;
    const double angle = std::acos(c) * kRadToDeg;
    return Distance(angle * 60.0, kNauticalMiles);
}

std::wstring FormatThousands(int value, wchar_t separator) {
    if (value < 0)
        value = 0;
    std::wstring reversed;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            reversed += separator;
        reversed += static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
        ++digits;
    } while (value > 0);
    return std::wstring(reversed.rbegin(), reversed.rend());
}

}  // namespace OBData
