#include "platform/kernel/MachineZone.h"

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <fstream>

namespace ob::kernel {

namespace {

// The part of a path into a zone database that names the zone; the path
// itself when it is none.
std::string ZoneFromPath(std::string path) {
    for (const char* root : {"/zoneinfo/posix/", "/zoneinfo/right/", "/zoneinfo/"}) {
        const auto at = path.rfind(root);
        if (at != std::string::npos)
            return path.substr(at + std::string(root).size());
    }
    return path;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::string TimeZoneNameFrom(const char* tz, const std::string& localtimeLink,
                             const std::string& timezoneFile) {
    if (tz) {
        std::string value = tz;
        if (!value.empty() && value.front() == ':')
            value.erase(0, 1);
        if (value.empty())
            return "UTC";
        return ZoneFromPath(value);
    }
    if (!localtimeLink.empty()) {
        const std::string zone = ZoneFromPath(localtimeLink);
        if (zone != localtimeLink)
            return zone;
    }
    return Trimmed(timezoneFile);
}

std::string MachineTimeZoneName() {
    std::string link;
    char target[4096];
    const ssize_t length = ::readlink("/etc/localtime", target, sizeof target - 1);
    if (length > 0)
        link.assign(target, static_cast<std::size_t>(length));
    std::string file;
    if (std::ifstream in("/etc/timezone"); in)
        std::getline(in, file);
    return TimeZoneNameFrom(std::getenv("TZ"), link, file);
}

std::string LocaleCountryCode() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    if (!name)
        return {};
    const std::string locale = name;
    // language[_TERRITORY][.codeset][@modifier]
    const auto underscore = locale.find('_');
    if (underscore == std::string::npos || underscore + 3 > locale.size())
        return {};
    std::string code = locale.substr(underscore + 1, 2);
    for (char c : code)
        if (c < 'A' || c > 'Z')
            return {};
    return code;
}

}  // namespace ob::kernel
