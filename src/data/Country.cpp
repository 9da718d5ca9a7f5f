#include "data/Country.h"

#include "data/DataRow.h"

namespace OBData {

Country::Country(std::wstring iso2Name, std::wstring displayName, std::wstring intDialCode,
                 std::wstring intAccessCode, std::wstring areaCodePrefix, std::int32_t driveSide)
    : m_iso2Name(std::move(iso2Name)),
      m_displayName(std::move(displayName)),
      m_intDialCode(std::move(intDialCode)),
      m_intAccessCode(std::move(intAccessCode)),
      m_areaCodePrefix(std::move(areaCodePrefix)),
      m_driveSide(driveSide) {}

Country::Country(const std::wstring& iso2Name, const DataRow& row) : m_iso2Name(iso2Name) {
    row.GetString(L"displayName", m_displayName);
    row.GetString(L"intDialCode", m_intDialCode);
    row.GetString(L"intAccessCode", m_intAccessCode);
    row.GetString(L"areaCodePrefix", m_areaCodePrefix);
    row.GetIntChecked(L"driveSide", m_driveSide);
}

std::wstring Country::GetDriveSideText() const {
    switch (m_driveSide) {
    case kDriveLeft: return L"Left";
    case kDriveRight: return L"Right";
    default: return L"Unknown";
    }
}

}  // namespace OBData
