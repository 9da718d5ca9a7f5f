// The settings store: any file content is read without harm, every value reads
// as a number or not, and what is read is written back and read again the same.
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "model/CityGroup.h"
#include "model/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ZEP_Utility::Settings settings;
    settings.LoadText(ob::fuzz::AsText(data, size));
    for (const auto& [key, value] : settings.GetPairs()) {
        int number = 0;
        double real = 0;
        settings.GetInt(key, number);
        settings.GetDouble(key, real);
        OBData::CityGroup::ParseIds(value);
    }
    const std::string text = settings.GetFileText();
    ZEP_Utility::Settings again;
    again.LoadText(text);
    if (again.GetPairs() != settings.GetPairs() || again.GetFileText() != text)
        std::abort();  // a save would not give back what was read
    return 0;
}
