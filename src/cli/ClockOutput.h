// The world clock as text for people, as tab-separated values and as JSON.
#pragma once

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/TableWriter.h"
#include "info/CityClock.h"

namespace ob::cli {

// The columns of the tsv form, in order: display texts, as the window shows them.
extern const std::vector<std::string> kClockColumns;
// The keys of the json form, in order: typed values for scripts.
extern const std::vector<std::string> kClockJsonKeys;

// "2026-12-09T10:27:00", and with an offset in minutes "2026-12-09T10:27:00+09:00".
std::string IsoLocalTime(const ZEP_Utility::DateTime& local);
std::string IsoLocalTime(const ZEP_Utility::DateTime& local, int utcOffsetMinutes);

std::string FormatClockTsv(const std::vector<OBData::CityClockRow>& rows);
std::string FormatClockJson(const std::vector<OBData::CityClockRow>& rows);
// `timeFormat` is the "main_time_format" setting for the local time column.
std::string FormatClockText(const std::vector<OBData::CityClockRow>& rows, int timeFormat);
std::string FormatClock(const std::vector<OBData::CityClockRow>& rows, OutputFormat format, int timeFormat);
// The line over the text form of a time chosen on the home clock (--home-time,
// and the time planner's Copy): "Planned for 3:00 PM Wed 2026-12-09 in London".
std::string FormatHomeTimeHeading(const OBData::CityClockRow& home, int timeFormat);

}  // namespace ob::cli
