#include "model/MeasurementLocale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <string>

namespace ob::model {

namespace {

std::string MeasurementLocaleName() {
    for (const char* var : {"LC_ALL", "LC_MEASUREMENT", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value)
            return value;
    }
    return "C";
}

}  // namespace

bool LocaleUsesUsMeasurement() {
    const std::string name = MeasurementLocaleName();
    if (locale_t loc = ::newlocale(LC_MEASUREMENT_MASK, name.c_str(), static_cast<locale_t>(nullptr))) {
        // glibc reports 1 for metric and 2 for the US system.
        const char* system = ::nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, loc);
        const bool us = system && system[0] == 2;
        ::freelocale(loc);
        return us;
    }
    // "en_US.UTF-8", "es_US@euro": the territory sits between '_' and '.' or '@'.
    const auto underscore = name.find('_');
    if (underscore == std::string::npos)
        return false;
    const auto end = name.find_first_of(".@", underscore);
    return name.substr(underscore + 1, end == std::string::npos ? std::string::npos : end - underscore - 1) == "US";
}

}  // namespace ob::model
