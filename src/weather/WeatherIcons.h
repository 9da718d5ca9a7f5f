// The process-wide weather icon table: icon names (the picture file names
// without extension) mapped to picture files in the images folder, decoded
// into bitmaps on first use and owned by the table.
//
// Pictures are decoded by the display layer, which installs a decoder at
// start-up; without one, icons are simply absent.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace OBWeather {

// An opaque bitmap made by the installed decoder (the display layer's own handle).
using IconBitmap = void*;

class IIconDecoder {
public:
    virtual ~IIconDecoder() = default;
    // The decoded picture, or null when the file cannot be decoded.
    virtual IconBitmap Decode(const std::wstring& path) = 0;
    virtual void Free(IconBitmap bitmap) = 0;
    virtual std::pair<int, int> GetSize(IconBitmap bitmap) = 0;  // (width, height)
};

// Installs the decoder (null: none). Free the icons before replacing it.
void SetIconDecoder(IIconDecoder* decoder);
IIconDecoder* GetIconDecoder();

// Whether `name` is one of the icon names the downloader writes (the 21 of
// weather/README.md). A forecast file is not trusted: only these names are
// ever turned into file names, anything else stands for "no_report".
bool IsKnownIconName(std::wstring_view name);
inline constexpr const wchar_t* kNoReportIcon = L"no_report";

// The most icons the table takes from one folder.
constexpr int kMaxIcons = 50;

// Fills the table from the images folder of the screen's icon set: the first
// 50 files listed; for two files with one name, the first listed.
void LoadIcons();
// Fills the table from a given folder (LoadIcons with the icon set's folder).
void LoadIconsFrom(const std::wstring& folder);
// Frees every decoded bitmap and empties the table.
void FreeIcons();
// The bitmap of an icon name (exact, case-sensitive), decoding it on first
// use; null when the name is unknown or its picture cannot be decoded (the
// next call tries again).
IconBitmap FindIcon(const std::wstring& name);
// The size of the first icon in name order whose picture decodes; (0, 0)
// when there is none. All icons of a set are drawn at one size.
std::pair<int, int> GetIconSize();
int IconCount();

}  // namespace OBWeather
