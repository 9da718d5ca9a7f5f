// Sunrise, sunset and solar noon (a day-of-year model), day and night, and
// the day/night terminator for the world map (a day-number model).
//
// Beyond the polar circles the sun may not rise or set on a date: the UTC
// routines then give no value and the local ones the empty DateTime, so a
// caller can always tell "none" from a time. No NaN ever leaves this file.
#pragma once

#include <optional>
#include <vector>

#include "geo/Position.h"
#include "time/DateTime.h"

namespace OBData {

class TimeZone;

// Day angle of day n: n x 2 pi / 365 (pi as 3.1415926).
double DayAngle(int n);
// Minutes.
double EquationOfTime(double gamma);
// Radians.
double DayDeclination(double gamma);
// Hour angle of sunrise (+) or sunset (-) in radians for a latitude in
// degrees and a declination in radians; none in polar day or night.
std::optional<double> SunriseHourAngle(double latitude, double declination, bool rising);

// Minutes after 00:00 UTC of the date (may fall outside 0..1440), for day of
// year n, latitude and longitude positive to the west.
std::optional<double> SunriseUtcMinutes(int n, double latitude, double westLongitude);
std::optional<double> SunsetUtcMinutes(int n, double latitude, double westLongitude);
double SolarNoonUtcMinutes(int n, double westLongitude);

// The local clock time on the date's own calendar day of `minutes` after
// 00:00 UTC, with the zone's offset in force on the date. A null zone is UTC.
ZEP_Utility::DateTime UtcMinutesToLocal(const ZEP_Utility::DateTime& date, double minutes,
                                        const TimeZone* zone);

// Local times on the calendar day of `localDate` at a place; the empty
// DateTime when the sun does not rise or set that day.
ZEP_Utility::DateTime LocalSunrise(const ZEP_Utility::DateTime& localDate, const Position& where,
                                   const TimeZone* zone);
ZEP_Utility::DateTime LocalSunset(const ZEP_Utility::DateTime& localDate, const Position& where,
                                  const TimeZone* zone);
ZEP_Utility::DateTime LocalSolarNoon(const ZEP_Utility::DateTime& localDate, const Position& where,
                                     const TimeZone* zone);

// Whether it is night at a place at a UTC instant: after sunset or before
// sunrise (an equal time is day). In polar night it is night all day, in
// polar day never.
bool IsNight(const Position& where, const TimeZone* zone, const ZEP_Utility::DateTime& utc);

// Terminator.
double TerminatorDeclination(int day, int month, int year, double hours);  // degrees
double SunGreenwichHourAngle(int day, int month, int year, double hours);  // degrees
// Latitude where the terminator crosses the meridian x degrees east of the
// subsolar meridian, for a declination in degrees.
double TerminatorLatitude(double x, double declination);

struct Terminator {
    std::vector<Position> points;   // one per requested point, longitudes from -180 up
    bool southDeclination = false;  // night lies north of the curve when set
    double declination = 0;         // degrees
    // Where the sun stands overhead, in the 0..360 frame that starts at
    // longitude -180: point i lies i x 360 / n - subsolar degrees east of it.
    double subsolar = 0;
    // The point under the sun (latitude the declination).
    Position SubsolarPoint() const { return Position(declination, subsolar - 180); }
};

// Degrees the sun stands below the horizon at the dark edge of civil,
// nautical and astronomical twilight.
inline constexpr double kTwilightDepressions[3] = {6.0, 12.0, 18.0};

// A range of latitudes in degrees; empty when north <= south.
struct LatitudeSpan {
    double south = 0;
    double north = 0;
    bool IsEmpty() const { return !(north > south); }
};

// The latitudes on the meridian x degrees east of the subsolar meridian
// where the sun stands more than `depression` degrees below the horizon, for
// a declination in degrees. The dark part of a meridian is always one span:
// it reaches a pole while the sun sinks below that pole's horizon and lies
// between the poles otherwise (around the equinoxes, for the deeper bands).
// With depression 0 its edge is TerminatorLatitude's.
LatitudeSpan DarkLatitudes(double x, double declination, double depression);

// n points at longitudes -180 + i x 360 / n; none for n <= 0.
Terminator ComputeTerminator(const ZEP_Utility::DateTime& utc, int n);
void ComputeTerminator(const ZEP_Utility::DateTime& utc, int n, Terminator& out);

}  // namespace OBData
