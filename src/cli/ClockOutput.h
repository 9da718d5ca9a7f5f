// The world clock as text for people, as tab-separated values and as JSON.
#pragma once

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "info/CityClock.h"

namespace ob::cli {

// The columns of the tsv and json forms, in order.
extern const std::vector<std::string> kClockColumns;

// Helpers every table form shares: a tsv field without tabs or line ends, a
// quoted and escaped JSON string, the terminal columns a text takes, and
// lines of cells as UTF-8 text in columns two spaces apart (a line of one
// cell, a heading, stands as it is and widens no column).
std::string TsvField(std::string value);
std::string JsonString(const std::string& value);
std::size_t DisplayWidth(const std::wstring& text);
std::string AlignedColumns(const std::vector<std::vector<std::wstring>>& lines);

std::string FormatClockTsv(const std::vector<OBData::CityClockRow>& rows);
std::string FormatClockJson(const std::vector<OBData::CityClockRow>& rows);
// `timeFormat` is the "main_time_format" setting for the local time column.
std::string FormatClockText(const std::vector<OBData::CityClockRow>& rows, int timeFormat);
std::string FormatClock(const std::vector<OBData::CityClockRow>& rows, OutputFormat format, int timeFormat);

}  // namespace ob::cli
