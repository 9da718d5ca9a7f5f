// The cities --find lists, best first, as text, tab-separated values or JSON:
// id, name, country and zone.
#pragma once

#include <string>
#include <vector>

#include "cli/CliOptions.h"

namespace OBData {
class City;
}

namespace ob::cli {

std::string FormatFoundCities(const std::vector<OBData::City*>& cities, OutputFormat format);

}  // namespace ob::cli
