// ForecastPumpCF: fetches weather forecasts for the program's cities and
// writes them as forecast files beside it.
#include <cstdio>
#include <string>
#include <vector>

#include "downloader/pump/PumpMain.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return OBPump::PumpMain(arguments);
}
