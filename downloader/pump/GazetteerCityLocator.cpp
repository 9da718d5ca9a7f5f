#include "downloader/pump/CityLocator.h"

namespace OBPump {

// The gazetteer is not wired in yet: every id is unknown.
std::optional<CityPlace> GazetteerCityLocator::Find(int) { return std::nullopt; }

}  // namespace OBPump
