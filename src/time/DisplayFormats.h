// Short texts for clock times in the user's 12- or 24-hour style and for
// temperatures (held in degrees Celsius) in the user's unit.
#pragma once

#include <string>

#include "time/DateTime.h"

namespace OBData {

// "main_time_format": 0 = 12-hour clock, 1 = 24-hour clock, others as 0.
enum TimeFormat { kTime12Hour = 0, kTime24Hour = 1 };
// "temperature_units" and the unit of forecast values.
enum TemperatureUnit { kCelsius = 0, kFahrenheit = 1 };

const wchar_t* GetTimePicture(int format);  // "h:mm tt" or "HH:mm"
std::wstring FormatClockTime(int format, const ZEP_Utility::DateTime& time);

double ToCelsius(double value, int unit);
// Whether a reading is a temperature at all: finite and within -150 to +100
// degrees Celsius. Anything else (NaN, 1e308, a text that is no number) is
// no value, shown as "-".
bool IsSaneCelsius(double celsius);
double CelsiusToFahrenheit(double celsius);
// The nearest integer, halves rounded up: 20.5 -> 21, -2.5 -> -2, -2.7 -> -3.
// (Truncating after adding 0.5 made every negative value one warmer.)
int RoundToInt(double value);
std::wstring FormatCelsius(double celsius);                // "20 C"
std::wstring FormatFahrenheit(double celsius);             // "68 F"
std::wstring FormatTemperature(double celsius, int unit);  // "***" for an unknown unit

}  // namespace OBData
