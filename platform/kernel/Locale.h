// Date and time formatting from the user's locale (LC_TIME) with the
// platform's picture language, and the locale's measurement system.
//
// Pictures: d dd ddd dddd (day, zero-padded day, short and long weekday),
// M MM MMM MMMM (month), y yy yyyy (year), h hh H HH (12/24-hour), m mm,
// s ss, t tt (AM/PM designator, first letter or whole), and text in single
// quotes copied as it stands ('' is one apostrophe). A locale without AM/PM
// designators of its own (de_DE) gives "AM" and "PM" for t and tt, so a
// 12-hour time always tells morning from afternoon. Date pictures use only
// the date letters and time pictures only the time letters; any other
// character is copied.
#pragma once

#include <string>

#include "platform/kernel/Calendar.h"

namespace ob::kernel {

// Formats with the current LC_TIME locale. False only when the fields are
// not a valid date or time (the platform call fails then).
bool FormatDatePicture(const CalendarFields& fields, const std::wstring& picture, std::wstring& out);
bool FormatTimePicture(const CalendarFields& fields, const std::wstring& picture, std::wstring& out);

// The locale's own pictures, translated from its strftime formats.
std::wstring LocaleShortDatePicture();  // "MM/dd/yy" in the C locale
std::wstring LocaleLongDatePicture();   // "dddd, MMMM d, yyyy" in the C locale
std::wstring LocaleTimePicture();       // "HH:mm:ss" in the C locale
std::wstring LocaleAmDesignator();
std::wstring LocalePmDesignator();

// Whether the locale's own time format is a 12-hour one (it shows AM/PM, as
// en_US does); false for de_DE, fr_FR, ja_JP... The "C" and "C.UTF-8"
// locales, where no language was chosen, count as 12-hour.
bool LocaleUsesTwelveHourClock();

// Translates a strftime format into a picture ("%d.%m.%Y" -> "dd'.'MM'.'yyyy").
std::wstring PictureFromStrftime(const std::string& format);

enum class MeasurementSystem { Metric, US };
MeasurementSystem LocaleMeasurementSystem();

}  // namespace ob::kernel
