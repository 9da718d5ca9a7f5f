#include "geo/Sun.h"

#include <algorithm>
#include <cmath>

#include "time/TimeZone.h"

using ZEP_Utility::DateTime;

namespace OBData {
namespace {

constexpr double kDayAngle = 0.01721420602739726;  // 2 x 3.1415926 / 365
constexpr double kZenith = 1.5853348924211113;     // 90.833 degrees in radians
constexpr double kRadToDegSun = 57.29578049044297;

// cos(zenith) / (cos phi cos delta) - tan phi tan delta: the cosine of the
// sunrise hour angle. Above 1 the sun stays down, below -1 it stays up.
double HourAngleCosine(double latitude, double declination) {
    const double phi = latitude * kDegToRad;
    return std::cos(kZenith) / (std::cos(phi) * std::cos(declination)) -
           std::tan(phi) * std::tan(declination);
}

// One estimate of a sunrise or sunset from the day angle of `day`.
std::optional<double> RiseSetPass(int day, double latitude, double westLongitude, bool rising) {
    const double gamma = DayAngle(day);
    const auto h = SunriseHourAngle(latitude, DayDeclination(gamma), rising);
    if (!h)
        return std::nullopt;
    return 720.0 + 4.0 * (westLongitude - *h * kRadToDeg) - EquationOfTime(gamma);
}

std::optional<double> RiseSetUtcMinutes(int n, double latitude, double westLongitude, bool rising) {
    const auto first = RiseSetPass(rising ? n - 1 : n, latitude, westLongitude, rising);
    if (!first)
        return std::nullopt;
    const int day2 = n + static_cast<int>(*first) / 1440 - 1;
    return RiseSetPass(day2, latitude, westLongitude, rising);
}

int DayNumber(int day, int month, int year) {
    int dn = 365 * year + 31 * month + day - 46;
    if (month > 2)
        dn += static_cast<int>(year * 0.25) - static_cast<int>(month * 0.4 + 2.3);
    else
        dn += (year - 1) / 4;
    return dn;
}

double TerminatorHours(const DateTime& utc) {
    return utc.GetSecond() * 0.0002777777777777778 + utc.GetMinute() * 0.016666666666666666 + utc.GetHour();
}

}  // namespace

double DayAngle(int n) { return n * kDayAngle; }

double EquationOfTime(double g) {
    return 229.18 * (0.000075 + 0.001868 * std::cos(g) - 0.032077 * std::sin(g) - 0.014615 * std::cos(2 * g) -
                     0.040849 * std::sin(2 * g));
}

double DayDeclination(double g) {
    return 0.006918 - 0.399912 * std::cos(g) + 0.070257 * std::sin(g) - 0.006758 * std::cos(2 * g) +
           0.000907 * std::sin(2 * g);
}

std::optional<double> SunriseHourAngle(double latitude, double declination, bool rising) {
    const double c = HourAngleCosine(latitude, declination);
    if (!(c >= -1.0 && c <= 1.0))  // also false for NaN at the poles
        return std::nullopt;
    const double h = std::acos(c);
    return rising ? h : -h;
}

std::optional<double> SunriseUtcMinutes(int n, double latitude, double westLongitude) {
    return RiseSetUtcMinutes(n, latitude, westLongitude, true);
}

std::optional<double> SunsetUtcMinutes(int n, double latitude, double westLongitude) {
    return RiseSetUtcMinutes(n, latitude, westLongitude, false);
}

double SolarNoonUtcMinutes(int n, double westLongitude) {
    const double c = westLongitude * -0.06666666666666667;
    const int day = n + static_cast<int>(12 - c) / 24 - 1;
    return 720.0 + 4.0 * westLongitude - EquationOfTime(DayAngle(day));
}

DateTime UtcMinutesToLocal(const DateTime& date, double minutes, const TimeZone* zone) {
    if (!std::isfinite(minutes) || date.IsEmpty())
        return DateTime();
    int offset = 0;
    if (zone && zone->GetDatabaseZone()) {
        // The offset in force at the event itself, on the UTC day of the date.
        const DateTime event(date.GetYear(), date.GetMonth(), date.GetDay());
        const auto span = zone->GetUtcOffsetAt(event.AddMinutes(static_cast<std::int64_t>(minutes)));
        offset = span.GetHours() * 60 + span.GetMinutes();
    } else if (zone) {
        const auto span = zone->GetUtcOffset(date);
        offset = span.GetHours() * 60 + span.GetMinutes();
    }
    // Wrap into the day; the day itself is not moved. 1440 is 00:00.
    double t = std::fmod(offset + minutes, 1440.0);
    if (t < 0)
        t += 1440.0;
    if (t >= 1440.0)
        t -= 1440.0;
    const int hours = static_cast<int>(t / 60);
    const double r = t / 60 - hours;
    const int mins = static_cast<int>(r * 60);
    const int secs = static_cast<int>((r * 60 - mins) * 60);
    return DateTime(date.GetYear(), date.GetMonth(), date.GetDay(), hours, mins, secs);
}

DateTime LocalSunrise(const DateTime& localDate, const Position& where, const TimeZone* zone) {
    const auto m = SunriseUtcMinutes(localDate.GetDayOfYear(), where.GetLatitude(), -where.GetLongitude());
    return m ? UtcMinutesToLocal(localDate, *m, zone) : DateTime();
}

DateTime LocalSunset(const DateTime& localDate, const Position& where, const TimeZone* zone) {
    const auto m = SunsetUtcMinutes(localDate.GetDayOfYear(), where.GetLatitude(), -where.GetLongitude());
    return m ? UtcMinutesToLocal(localDate, *m, zone) : DateTime();
}

DateTime LocalSolarNoon(const DateTime& localDate, const Position& where, const TimeZone* zone) {
    return UtcMinutesToLocal(localDate, SolarNoonUtcMinutes(localDate.GetDayOfYear(), -where.GetLongitude()),
                             zone);
}

bool IsNight(const Position& where, const TimeZone* zone, const DateTime& utc) {
    const DateTime local = zone ? zone->ToLocalTime(utc) : utc;
    const DateTime sunrise = LocalSunrise(local, where, zone);
    const DateTime sunset = LocalSunset(local, where, zone);
    if (sunrise.IsEmpty() || sunset.IsEmpty()) {
        // No sunrise or sunset today: night when the sun stays (or nearly
        // stays) below the horizon all day.
        const double declination = DayDeclination(DayAngle(local.GetDayOfYear()));
        return HourAngleCosine(where.GetLatitude(), declination) > 0;
    }
    if (local > sunset)
        return true;
    return local < sunrise;
}

double TerminatorDeclination(int day, int month, int year, double hours) {
    const double d = DayNumber(day, month, year) - 693960;
    const double q = d * 0.0006844626967830253;
    const double k = std::trunc(q);
    const double f = q - k;
    const double m = f * 1440.02509 + k * 0.0307572 + hours * 0.04106935416666667 + 356.6498973;
    const double l = m + 1.91233 * std::sin(m * 0.017452986789608334) +
                     0.02 * std::sin(m * 0.03490597357921667) + 282.55462;
    const double turns = l * 0.002777777777777778;
    const double lambda = (turns - std::trunc(turns)) * 360 * kDegToRad;
    const double t = (year - 2000) * 0.01;
    const double epsilon =
        (23.43929111 - (46.815 + (0.00059 - 0.001813 * t) * t) * t * 0.0002777777777777778) * kDegToRad;
    const double s = std::sin(epsilon) * std::sin(lambda);
    return std::atan(s / std::sqrt(1 - s * s)) * kRadToDegSun + 0.00075;
}

double SunGreenwichHourAngle(int day, int month, int year, double hours) {
    const double d = DayNumber(day, month, year) + hours * 0.041666666666666664 - 722449;
    const double l = (d * 0.98564734 + 279.306) * kDegToRad;
    const double e = 595.63 * std::sin(2 * l) - (429.266 * std::cos(l) + 104.55 * std::sin(l)) -
                     2.283 * std::cos(2 * l) + 18.7333 * std::cos(3 * l) + 4.6 * std::sin(3 * l) -
                     13.2 * std::sin(4 * l) - std::cos(5 * l) - 0.3333333333333333 * std::sin(5 * l) +
                     0.5 * std::sin(6 * l) + 0.231;
    double g = e * 0.004166666666666667 + (hours * 0.041666666666666664 + 0.5) * 360;
    if (g > 360)
        g -= 360;
    return g;
}

double TerminatorLatitude(double x, double declination) {
    double t = std::tan(declination * kDegToRad);
    // At a declination of exactly 0 the terminator is the two meridians 90
    // degrees from the sun; a vanishing tangent gives those +-90 latitudes.
    if (t == 0.0)
        t = 1e-12;
    return std::atan(std::cos(x * kDegToRad) * (-1.0 / t)) * kRadToDegSun;
}

LatitudeSpan DarkLatitudes(double x, double declination, double depression) {
    // The sine of the sun's altitude along the meridian is
    //   sin(lat) sin(dec) + cos(lat) cos(dec) cos(x) = r sin(lat + psi),
    // and it is dark where that falls below -sin(depression): an arc of
    // lat + psi centred on -90 degrees, cut to the meridian's -90 .. +90.
    constexpr double kPi = 3.14159265358979323846;
    const double a = std::sin(declination * kDegToRad);
    const double b = std::cos(declination * kDegToRad) * std::cos(x * kDegToRad);
    const double r = std::hypot(a, b);
    const double level = -std::sin(depression * kDegToRad);
    if (!(r > 0) || level / r <= -1.0)
        return LatitudeSpan{};
    const double psi = std::atan2(b, a);
    const double halfWidth = kPi / 2 + std::asin(std::min(level / r, 1.0));
    // The arc's centre as a latitude, brought within -pi .. pi.
    double centre = -kPi / 2 - psi;
    centre -= 2 * kPi * std::round(centre / (2 * kPi));
    // The arc and the meridian are each at most half the circle, so at most
    // one of the arc's turns meets the meridian in more than a point.
    for (double turn : {0.0, -2 * kPi, 2 * kPi}) {
        const double south = std::max(centre + turn - halfWidth, -kPi / 2);
        const double north = std::min(centre + turn + halfWidth, kPi / 2);
        if (north > south)
            return LatitudeSpan{south * kRadToDegSun, north * kRadToDegSun};
    }
    return LatitudeSpan{};
}

void ComputeTerminator(const DateTime& utc, int n, Terminator& out) {
    out.points.clear();
    const double hours = TerminatorHours(utc);
    const int day = utc.GetDay(), month = utc.GetMonth(), year = utc.GetYear();
    const double declination = TerminatorDeclination(day, month, year, hours);
    out.southDeclination = declination < 0;
    out.declination = declination;
    const int g = static_cast<int>(SunGreenwichHourAngle(day, month, year, hours) + 0.5);
    double s = 180 - g;
    if (s < 0)
        s += 360;
    if (s > 360)
        s -= 360;
    out.subsolar = s;
    if (n <= 0)
        return;
    out.points.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        // Real division, so that every pixel column of any map width gets a point.
        const double x = i * 360.0 / n;
        out.points.emplace_back(TerminatorLatitude(x - s, declination), x - 180);
    }
}

Terminator ComputeTerminator(const DateTime& utc, int n) {
    Terminator result;
    ComputeTerminator(utc, n, result);
    return result;
}

}  // namespace OBData
