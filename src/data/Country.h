// A country of the gazetteer, shared by its cities.
#pragma once

#include <cstdint>
#include <string>

namespace OBData {

class DataRow;

class Country {
public:
    enum DriveSide { kDriveUnknown = 0, kDriveLeft = 1, kDriveRight = 2 };

    Country(std::wstring iso2Name, std::wstring displayName, std::wstring intDialCode,
            std::wstring intAccessCode, std::wstring areaCodePrefix, std::int32_t driveSide);
    // From the country table's row.
    Country(const std::wstring& iso2Name, const DataRow& row);
    Country(const Country&) = delete;
    Country& operator=(const Country&) = delete;

    std::wstring GetIso2Name() const { return m_iso2Name; }
    std::wstring GetDisplayName() const { return m_displayName; }
    std::wstring GetIntDialCode() const { return m_intDialCode; }
    std::wstring GetIntAccessCode() const { return m_intAccessCode; }
    std::wstring GetAreaCodePrefix() const { return m_areaCodePrefix; }
    std::int32_t GetDriveSide() const { return m_driveSide; }
    // "Left", "Right" or "Unknown".
    std::wstring GetDriveSideText() const;

private:
    std::wstring m_iso2Name;
    std::wstring m_displayName;
    std::wstring m_intDialCode;
    std::wstring m_intAccessCode;
    std::wstring m_areaCodePrefix;
    std::int32_t m_driveSide = kDriveUnknown;
};

}  // namespace OBData
