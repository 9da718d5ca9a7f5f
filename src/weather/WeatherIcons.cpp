#include "weather/WeatherIcons.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "util/Exception.h"
#include "util/FileSystem.h"
#include "weather/FileUtils.h"

namespace OBWeather {
namespace {

struct IconEntry {
    std::wstring path;
    IconBitmap bitmap = nullptr;
};

constexpr std::array<std::wstring_view, 21> kKnownIcons = {
    L"cloudy",           L"drizzle",      L"fog",           L"freezing_drizzle",
    L"freezing_rain",    L"heavy_rain",   L"heavy_showers", L"heavy_snow",
    L"light_rain",       L"light_snow",   L"mostly_sunny",  L"no_report",
    L"partly_cloudy",    L"rain",         L"showers",       L"snow",
    L"snow_grains",      L"snow_showers", L"sunny",         L"thunderstorm",
    L"thunderstorm_hail"};

IIconDecoder* g_decoder = nullptr;
// Ordered by exact code-unit comparison of the names.
std::map<std::wstring, IconEntry> g_icons;

}  // namespace

bool IsKnownIconName(std::wstring_view name) {
    return std::find(kKnownIcons.begin(), kKnownIcons.end(), name) != kKnownIcons.end();
}

void SetIconDecoder(IIconDecoder* decoder) { g_decoder = decoder; }
IIconDecoder* GetIconDecoder() { return g_decoder; }

void LoadIcons() { LoadIconsFrom(FileUtils::GetImagesFolder()); }

void LoadIconsFrom(const std::wstring& folder) {
    std::vector<std::wstring> files;
    try {
        ZEP_Utility::ListFiles(folder, files);
    } catch (const ZEP_Utility::Exception&) {
        files.clear();  // no folder: no icons
    }
    if (files.size() > static_cast<size_t>(kMaxIcons))
        files.resize(kMaxIcons);
    for (const auto& path : files)
        g_icons.try_emplace(ZEP_Utility::GetFileTitle(path), IconEntry{path, nullptr});
}

void FreeIcons() {
    for (auto& [name, entry] : g_icons) {
        if (entry.bitmap && g_decoder)
            g_decoder->Free(entry.bitmap);
    }
    g_icons.clear();
}

IconBitmap FindIcon(const std::wstring& name) {
    const auto found = g_icons.find(name);
    if (found == g_icons.end())
        return nullptr;
    IconEntry& entry = found->second;
    if (!entry.bitmap && g_decoder)
        entry.bitmap = g_decoder->Decode(entry.path);
    return entry.bitmap;
}

std::pair<int, int> GetIconSize() {
    // The first icon in name order that decodes: a stray file that is no
    // picture (a README) must not leave the list without icon cells.
    if (!g_decoder)
        return {0, 0};
    for (const auto& [name, entry] : g_icons) {
        if (const IconBitmap bitmap = FindIcon(name))
            return g_decoder->GetSize(bitmap);
    }
    return {0, 0};
}

int IconCount() { return static_cast<int>(g_icons.size()); }

}  // namespace OBWeather
