#include "time/DisplayFormats.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace OBData {

const wchar_t* GetTimePicture(int format) { return format == kTime24Hour ? L"HH:mm" : L"h:mm tt"; }

std::wstring FormatClockTime(int format, const ZEP_Utility::DateTime& time) {
    return time.FormatTime(GetTimePicture(format));
}

bool IsSaneCelsius(double celsius) { return std::isfinite(celsius) && celsius >= -150.0 && celsius <= 100.0; }

double ToCelsius(double value, int unit) {
    if (unit != kFahrenheit)
        return value;
    return (value - 32) * 5.0 * (1.0 / 9.0);
}

double CelsiusToFahrenheit(double celsius) { return celsius * 9.0 * 0.2 + 32.0; }

int RoundToInt(double value) {
    const double v = value + 0.5;
    // A value no int can hold (or NaN from a broken forecast) reads as 0
    // rather than as whatever the conversion would make of it.
    if (!(v > static_cast<double>(std::numeric_limits<int>::min()) - 1.0 &&
          v < static_cast<double>(std::numeric_limits<int>::max()) + 1.0))
        return 0;
    return static_cast<int>(std::floor(v));
}

std::wstring FormatCelsius(double celsius) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"%d C", RoundToInt(celsius));
    return buffer;
}

std::wstring FormatFahrenheit(double celsius) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"%d F", RoundToInt(CelsiusToFahrenheit(celsius)));
    return buffer;
}

std::wstring FormatTemperature(double celsius, int unit) {
    switch (unit) {
    case kCelsius: return FormatCelsius(celsius);
    case kFahrenheit: return FormatFahrenheit(celsius);
    default: return L"***";
    }
}

}  // namespace OBData
