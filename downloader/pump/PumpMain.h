// The downloader's entry: options, the app folder, the log, then either one
// fetch (--once) or the service loop.
#pragma once

#include <string>
#include <vector>

namespace OBPump {

// Exit status: 0 success, 1 a city failed (--once) or another downloader
// runs, 2 a bad command line.
int PumpMain(const std::vector<std::string>& arguments);

}  // namespace OBPump
