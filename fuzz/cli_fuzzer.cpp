// The command lines of the program and of the downloader: arguments are the
// input's NUL-separated parts.
#include "cli/CliOptions.h"
#include "downloader/pump/CommandLine.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    for (std::string_view part : ob::fuzz::Parts(ob::fuzz::AsText(data, size), 16))
        args.emplace_back(part);
    const ob::cli::ParseResult parsed = ob::cli::ParseCommandLine(args);
    if (parsed.ok && parsed.options.hasCities)
        ob::cli::IsCityList(std::string(parsed.options.cities.begin(), parsed.options.cities.end()));
    std::int64_t ticks = 0;
    ob::cli::ParseIsoUtc(args.front(), ticks);
    OBPump::ParseCommandLine(args);
    return 0;
}
