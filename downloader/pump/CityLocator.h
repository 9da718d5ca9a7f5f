// Where a city is: the downloader asks the built-in gazetteer for the
// position of every city id in the user's list.
#pragma once

#include <optional>
#include <string>

namespace OBPump {

struct CityPlace {
    int id = 0;
    std::string name;  // for the log
    double latitude = 0;
    double longitude = 0;
};

class ICityLocator {
public:
    virtual ~ICityLocator() = default;
    virtual std::optional<CityPlace> Find(int id) = 0;
};

// The program's own gazetteer.
class GazetteerCityLocator : public ICityLocator {
public:
    std::optional<CityPlace> Find(int id) override;
};

}  // namespace OBPump
