// The world clock as text for people, as tab-separated values and as JSON.
#pragma once

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "info/CityClock.h"

namespace ob::cli {

// The columns of the tsv and json forms, in order.
extern const std::vector<std::string> kClockColumns;

std::string FormatClockTsv(const std::vector<OBData::CityClockRow>& rows);
std::string FormatClockJson(const std::vector<OBData::CityClockRow>& rows);
// `timeFormat` is the "main_time_format" setting for the local time column.
std::string FormatClockText(const std::vector<OBData::CityClockRow>& rows, int timeFormat);
std::string FormatClock(const std::vector<OBData::CityClockRow>& rows, OutputFormat format, int timeFormat);

}  // namespace ob::cli
