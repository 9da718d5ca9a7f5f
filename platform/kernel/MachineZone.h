// Where the machine says it is: the IANA name of its time zone and the
// country of the user's locale, for a first start that offers the user's
// own city.
#pragma once

#include <string>

namespace ob::kernel {

// "Europe/Berlin": from TZ when it is set (":Europe/Berlin" and a path into
// a zone database, "/usr/share/zoneinfo/Europe/Berlin", read the same; an
// empty TZ is UTC), else from the zone /etc/localtime links to, else from
// /etc/timezone. Empty when none of them names a zone. A TZ that is a rule
// of its own ("CET-1CEST") is returned as it stands and names no city.
std::string MachineTimeZoneName();

// The same from given sources, for the tests: `tz` null when TZ is unset.
std::string TimeZoneNameFrom(const char* tz, const std::string& localtimeLink,
                             const std::string& timezoneFile);

// "DE" from an LC_TIME locale of "de_DE.UTF-8"; empty for "C" and "POSIX".
std::string LocaleCountryCode();

}  // namespace ob::kernel
